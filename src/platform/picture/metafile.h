#pragma once

// Enhanced metafiles (EMF, the plain records of EMF+ files included) and
// Windows metafiles (WMF, with or without the placeable header), played onto
// a QPainter by our own parser. Every length, count and offset is checked
// against its record and the file; a file that breaks the rules or the
// player's limits ends as Undecodable (Truncated when it is cut short),
// never as a crash, a hang or a huge allocation.

#include "platform/picture/picture.h"

#include <QByteArrayView>
#include <QImage>
#include <QRectF>
#include <QSize>

class QPainter;

namespace mosswick::picture {

// Largest metafile read into memory.
inline constexpr qint64 k_max_metafile_bytes = qint64(256) << 20;

// Bytes a header read looks at: EMF needs 88, a WMF without the placeable
// header is searched this far for its window extent.
inline constexpr qint64 k_metafile_head_bytes = qint64(1) << 20;

struct MetafileHeader {
    PictureStatus status = PictureStatus::Undecodable;
    QSize size;  // natural size in pixels
};

// Reads the natural size from the start of a metafile of file_size bytes:
// EMF from its frame (0.01 mm) in its reference device's pixels, WMF from
// the placeable header's box and units per inch, else from its window
// extent, else from the extent of its drawing records. Truncated when the
// file is shorter than its header says; TooLarge when the natural size is
// beyond the allocation limit.
MetafileHeader read_metafile_header(QByteArrayView head, qint64 file_size, PictureFormat format);

// True when the file is shorter than its header announces.
bool metafile_looks_truncated(QByteArrayView head, qint64 file_size, PictureFormat format);

struct MetafilePlay {
    PictureStatus status = PictureStatus::Undecodable;
    int records = 0;  // records read
    int skipped = 0;  // records read but not drawn (unknown, unsupported, or a damaged bitmap)
    bool ok() const { return status == PictureStatus::Ok; }
};

// Plays the whole metafile so that its frame fills target (painter units).
// The painter's state is restored afterwards. Block transfers combine with
// what is drawn by their raster operation when the painter draws on an RGB32
// or ARGB32_Premultiplied image (render_metafile's): where nothing is drawn
// yet they read white, the blank page the file was made on. On other
// devices only and, or and xor of the source are approached.
MetafilePlay play_metafile(QByteArrayView data, PictureFormat format, QPainter& painter, const QRectF& target);

struct RenderedMetafile {
    MetafilePlay play;
    QImage image;  // ARGB32_Premultiplied, transparent where nothing is drawn; null unless ok
};

// Draws the metafile into a new image of exactly size pixels.
RenderedMetafile render_metafile(QByteArrayView data, PictureFormat format, QSize size);

// True for the formats this player draws.
inline bool is_metafile(PictureFormat format)
{
    return format == PictureFormat::Emf || format == PictureFormat::Wmf;
}

} // namespace mosswick::picture
