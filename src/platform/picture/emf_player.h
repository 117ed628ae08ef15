#pragma once

// Internal to the metafile player: the two record formats.

#include "platform/picture/metafile.h"
#include "platform/picture/metafile_bytes.h"

namespace mosswick::picture::metafile {

// The EMF header's facts; ok false when it is no EMF header.
struct EmfHeader {
    bool ok = false;
    QRectF frame_px;   // the frame in reference device pixels
    QSizeF px_per_mm;  // reference device pixels per millimetre
    QSize natural;     // the frame in reference device pixels, rounded
    qint64 bytes = 0;  // the file size the header announces
    int handles = 0;
};
EmfHeader read_emf_header(const Bytes& data);
MetafilePlay play_emf(const Bytes& data, QPainter& painter, const QRectF& target);

struct WmfHeader {
    bool ok = false;
    qint64 records_at = 0;  // after the placeable and the standard header
    QRectF window;          // the placeable box, else the first window origin and extent
    QPointF device_offset;  // where the window starts in device units, when sized by its records
    bool has_window = false;
    QSize natural;
    qint64 bytes = 0;  // the file size the header announces
    int objects = 0;
};
WmfHeader read_wmf_header(const Bytes& data);
MetafilePlay play_wmf(const Bytes& data, QPainter& painter, const QRectF& target);

} // namespace mosswick::picture::metafile
