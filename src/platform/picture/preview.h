#pragma once

// The sampled preview shrink behind the light edition's preview box. Pure:
// no widgets, no state.

#include <QImage>
#include <QString>

namespace mosswick::picture {

// Printed in the box when ViewImage cannot draw.
inline const QString k_no_preview_text = QStringLiteral("No Preview Available");

struct ViewImageResult {
    bool drawn = false;  // false: the "No Preview Available" path was taken
    int width = 0;       // the drawn picture's width in pixels (0 when not drawn)
    int height = 0;      // its height in pixels
    QImage target;       // the box, its twips at 15 per pixel, transparent where nothing was set
};

// Fits source (its size in twips is source_width x source_height, 15 twips a
// pixel) into a box of box_width x box_height twips by averaging sampled
// pixels: the smaller of the two ratios scales it (a smaller picture is
// enlarged), every stride-th position of a window around each sample centre
// is read, positions outside the source are skipped, and the picture is
// centred in the box. Only columns and rows 1 to size - 1 are drawn. A zero
// or negative size, or a result too large to compute, prints
// k_no_preview_text centred in the target instead.
ViewImageResult ViewImage(const QImage& source, qint32 source_width, qint32 source_height,
                          qint32 box_width, qint32 box_height);

} // namespace mosswick::picture
