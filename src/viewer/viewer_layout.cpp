#include "viewer/viewer_layout.h"

#include "core/fit_to_box.h"
#include "platform/ui/vb.h"

#include <algorithm>
#include <cmath>

namespace mosswick::viewer {

namespace {

constexpr double k_twips_per_pixel = ui::k_twips_per_pixel;

int to_pixels(double twips)
{
    return ui::twips_to_px(twips);
}

} // namespace

QSize design_window_size()
{
    return QSize(to_pixels(k_design_width_twips), to_pixels(k_design_height_twips));
}

QSize viewer_window_size(QSize natural, QSize work_area)
{
    if (natural.isEmpty() || work_area.isEmpty())
        return {};
    // The window has no border, so the whole work area is available.
    const FitResult fit = fit_to_box(false, work_area.width() * k_twips_per_pixel,
                                     work_area.height() * k_twips_per_pixel,
                                     natural.width() * k_twips_per_pixel,
                                     natural.height() * k_twips_per_pixel);
    // A sliver of a picture would round to nothing: keep one pixel.
    return QSize(std::max(1, to_pixels(fit.display_width)), std::max(1, to_pixels(fit.display_height)));
}

} // namespace mosswick::viewer
