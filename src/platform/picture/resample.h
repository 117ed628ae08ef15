#pragma once

// Internal to the picture layer: the separable resampler behind the quality
// codes. Sample centres sit at pixel centres; weights falling outside the
// picture are dropped and the rest renormalised, so edges do not darken and a
// uniform colour stays exactly that colour.

#include <QImage>
#include <QSize>

namespace mosswick::picture::detail {

enum class Filter {
    Nearest,
    Bilinear,      // triangle kernel, 2 taps
    Bicubic,       // Catmull-Rom (a = -0.5), 4 taps
    AreaBilinear,  // triangle widened by the reduction factor when shrinking
    AreaBicubic,   // Catmull-Rom widened by the reduction factor when shrinking
};

// The filter of a quality code (other codes as 2).
Filter filter_for_quality(int quality);

// Threads worth using on this machine (1 to 8).
int hardware_threads();

// Resamples an RGB32 or ARGB32_Premultiplied image to exactly target, over
// up to max_threads row bands shared by the calling thread and whatever
// threads of Qt's global pool are idle (never waiting for a busy pool).
// Null on an empty target, a null image or when memory runs out.
QImage resample(const QImage& image, QSize target, Filter filter, int max_threads);

// Halves an image in both directions by averaging 2 x 2 blocks (an odd last
// row or column averages with itself): one level of a reduction pyramid.
QImage halve(const QImage& image, int max_threads);

// True for the filters that widen with the reduction (codes 4, 5 and 6).
bool is_smooth(Filter filter);

// Halves the image (halve) as long as the result stays at least twice the
// target in both directions; the image itself when no halving fits. The
// smooth filters then read 2 to 4 source pixels per target pixel and
// direction, whatever the picture's size.
QImage reduced_for(const QImage& image, QSize target, int max_threads);

} // namespace mosswick::picture::detail
