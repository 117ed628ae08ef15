#pragma once

// Internal to the picture layer: opening a source, telling its format by
// content, reading its header and telling truncated data from corrupt data.

#include "platform/picture/picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <memory>

namespace mosswick::picture::detail {

// A source opened for reading: a QFile or a QBuffer over the bytes.
class OpenedSource {
public:
    explicit OpenedSource(const PictureSource& source);
    OpenedSource(const OpenedSource&) = delete;
    OpenedSource& operator=(const OpenedSource&) = delete;

    // Ok, NotFound, Unreadable or Empty.
    PictureStatus status() const { return m_status; }
    // The open device, positioned at 0; null unless status() is Ok.
    QIODevice* device() const { return m_device; }
    // Total length in bytes.
    qint64 size() const { return m_size; }

private:
    PictureStatus m_status = PictureStatus::Unreadable;
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QBuffer> m_buffer;
    QIODevice* m_device = nullptr;
    qint64 m_size = 0;
};

// Tells the format from the first bytes (at least 44 are looked at when there).
PictureFormat sniff_format(const QByteArray& head);

// Header of an opened source: format, size, the image to decode (ico).
struct Probe {
    PictureStatus status = PictureStatus::Undecodable;
    PictureFormat format = PictureFormat::Unknown;
    QSize size;
    int image_index = 0;
    bool progressive = false;  // jpg: every coefficient is held while decoding
};

// Sniffs and reads the header of an opened source (status Ok); leaves the
// device at position 0. Never decodes pixels.
Probe probe(const OpenedSource& source);

// True when the data stops before the end its format announces (jpg: no end
// marker after the first scan; png: no IEND; gif: no trailer; bmp: shorter
// than its pixel rows; ico: an image beyond the end). tif cannot tell.
bool looks_truncated(const OpenedSource& source, PictureFormat format);

// Decodes the probed picture from position 0; scaled_size, when valid, asks
// the decoder to scale while decoding (jpg does so without a full-size image;
// emf and wmf are drawn at that size).
// Null when the decoder fails.
QImage decode(const OpenedSource& source, const Probe& probe, QSize scaled_size = {});

// Status of a decode: Truncated when the data is cut short, Undecodable when
// the decoder failed otherwise, Ok when the image is usable.
PictureStatus classify_decoded(const OpenedSource& source, PictureFormat format, const QImage& image);

// All bytes of an opened source, at most limit; empty when longer.
QByteArray read_all(const OpenedSource& source, qint64 limit);

// Turns any decoded image into RGB32 (opaque) or ARGB32_Premultiplied.
QImage normalized(QImage image);

} // namespace mosswick::picture::detail
