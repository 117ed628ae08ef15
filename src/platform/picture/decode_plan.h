#pragma once

// Internal to the picture layer: how large a picture is decoded for a drawing
// of a given size, and how much memory that decode holds at its peak.

#include "platform/picture/picture_io.h"

#include <QSize>

namespace mosswick::picture::detail {

struct DecodePlan {
    QSize scaled;      // the size to ask the decoder for; invalid: the full picture
    qint64 bytes = 0;  // memory held while decoding and reducing, at the peak
};

// Plans the decode of a probed picture for a drawing of target pixels with a
// quality code (1 to 6). A jpg is reduced by its decoder in steps of 1/8:
// code 6 to the smallest such size at or above the target (one smooth scale
// follows); codes 1 to 5 to the smallest at or above twice the target, so
// their own kernels still read at least two source pixels per target pixel
// in each direction and keep their look. An EMF or WMF is drawn at the
// target itself. Other formats decode at full size.
DecodePlan plan_decode(const Probe& probe, QSize target, int quality);

} // namespace mosswick::picture::detail
