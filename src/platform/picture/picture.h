#pragma once

// Loading and measuring pictures from a file or from bytes. The format is
// identified by content, never by the file name: bmp (RLE included), gif
// (first frame), jpg (CMYK and progressive too), png, tif (first page) and
// ico (its largest image), emf and wmf (drawn by the layer's metafile player
// at their natural size). Failures are values; nothing here throws.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace mosswick::picture {

// Why a picture could not be had; Ok is the only success.
enum class PictureStatus {
    Ok,
    NotFound,     // no file at the path (an empty path included)
    Unreadable,   // the path exists but cannot be opened or read (a folder, no rights)
    Empty,        // 0 bytes
    Truncated,    // a known format whose data ends too early
    Undecodable,  // not a format we read or corrupt data
    TooLarge,     // decoding would need more memory than the allocation limit
};

// Formats told apart by their first bytes.
enum class PictureFormat { Unknown, Bmp, Gif, Jpeg, Png, Tiff, Ico, Emf, Wmf };

// Largest decoded picture accepted, in MiB, counted at 4 bytes per pixel.
inline constexpr int k_allocation_limit_mib = 1024;

// Raises Qt's image allocation limit to k_allocation_limit_mib. Programs call
// it once at start-up; the layer also calls it before its first decode, so
// forgetting it cannot shrink the limit.
void init_picture_layer();

// Where a picture comes from: a file path or bytes held in memory (a picture
// stored in the catalogue). Cheap to copy; bytes are shared, not copied.
class PictureSource {
public:
    PictureSource() = default;
    // A picture file; the path is used as given.
    static PictureSource file(const QString& path);
    // A picture's complete bytes.
    static PictureSource bytes(const QByteArray& data);

    bool is_file() const { return m_is_file; }
    const QString& path() const { return m_path; }
    const QByteArray& data() const { return m_data; }

private:
    bool m_is_file = true;
    QString m_path;
    QByteArray m_data;
};

// Header facts of a picture. size is filled whenever the header could be
// read, TooLarge included.
struct PictureInfo {
    PictureStatus status = PictureStatus::Undecodable;
    PictureFormat format = PictureFormat::Unknown;
    QSize size;
    bool ok() const { return status == PictureStatus::Ok; }
};

// A decoded picture: Format_RGB32 when opaque, Format_ARGB32_Premultiplied
// when the file has an alpha channel; null unless status is Ok.
struct Picture {
    PictureStatus status = PictureStatus::Undecodable;
    PictureFormat format = PictureFormat::Unknown;
    QImage image;
    bool ok() const { return status == PictureStatus::Ok; }
};

// Returns the picture's format and size in pixels, reading the header only
// (sizes are the file's own: EXIF orientation is ignored). It does not look
// at the pixel data, so a truncated body still measures Ok.
PictureInfo measure_picture(const PictureSource& source);

// Decodes the whole picture (ico: its largest image).
Picture load_picture(const PictureSource& source);

// A short sentence for the user; NotFound gives "Picture file not found.".
QString status_text(PictureStatus status);

// Lower-case name of a format ("jpg", "png", ...; "" for Unknown).
QString format_name(PictureFormat format);

// True when a picture of this size would exceed the allocation limit.
bool exceeds_allocation_limit(QSize size);

} // namespace mosswick::picture
