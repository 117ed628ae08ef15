#pragma once

// Drawing a decoded picture at a new size with one of the draw-quality codes
// the menus store. Every code produces an image of exactly the target size.

#include <QImage>
#include <QSize>

namespace mosswick::picture {

inline constexpr int k_quality_nearest = 1;      // nearest neighbour
inline constexpr int k_quality_bilinear = 2;     // bilinear, no prefilter
inline constexpr int k_quality_bicubic = 3;      // bicubic, no prefilter
inline constexpr int k_quality_hq_bilinear = 4;  // bilinear widened by the reduction (area-like)
inline constexpr int k_quality_hq_bicubic = 5;   // bicubic widened by the reduction
inline constexpr int k_quality_thumbnail = 6;    // scaled decode, then a smooth scale

// The code actually used: 1 to 6 stay, anything else becomes 2.
int effective_quality(int quality);

// Draws the whole image into exactly target pixels with the quality code.
// Code 6 on an image already decoded is the smooth scale of code 4. Large
// jobs are split over several threads. Null when the image is null, the
// target is empty or the result would exceed the allocation limit. Alpha is
// kept (the result is RGB32 or ARGB32_Premultiplied).
QImage draw_picture(const QImage& image, QSize target, int quality);

// The device pixels of a drawing laid out at `logical` pixels on a screen of
// this device pixel ratio: each side rounded, at least 1 when it was. A ratio
// of 0 or less counts as 1.
QSize device_pixels(QSize logical, qreal device_pixel_ratio);

} // namespace mosswick::picture
