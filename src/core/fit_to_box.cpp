#include "core/fit_to_box.h"

#include <algorithm>

namespace mosswick {

FitResult fit_to_box(bool no_minimum, double W, double H, double w, double h)
{
    FitResult r;
    // Callers measure a loaded picture first; a degenerate size must still
    // not divide by zero.
    if (!(w > 0) || !(h > 0) || !(W > 0) || !(H > 0))
        return r;

    const double mw = no_minimum ? 0.0 : k_min_box_width;
    const double mh = no_minimum ? 0.0 : k_min_box_height;

    r.max_zoom = 100;
    r.cur_zoom = 0;
    r.min_zoom = -100;

    if (w < W && h < H) {
        r.display_width = w;
        r.display_height = h;
        const double zw = (W / w - 1) * 100;
        const double zh = (H / h - 1) * 100;
        if (h + h * zw / 100 >= H)
            r.max_zoom = zh;
        else if (w + w * zh / 100 >= W)
            r.max_zoom = zw;
        else
            r.max_zoom = w > h ? zw : zh;
    } else if (w > h) {
        r.display_width = W;
        r.display_height = h * (1 - (w - W) / w);
        if (r.display_height > H) {
            r.display_height = H;
            r.display_width = w * (1 - (h - H) / h);
        }
        r.cur_zoom = r.display_height / h * 100 - 100;
        r.max_zoom = r.cur_zoom;
    } else {
        r.display_height = H;
        r.display_width = w * (1 - (h - H) / h);
        if (r.display_width > W) {
            r.display_width = W;
            r.display_height = h * (1 - (w - W) / w);
        }
        r.cur_zoom = r.display_width / w * 100 - 100;
        r.max_zoom = r.cur_zoom;
    }

    const double zwm = 100 - mw * 100 / w;
    const double zhm = 100 - 100 * mh / h;
    double taken;
    if (h - h * zwm / 100 <= mh)
        taken = zhm;
    else if (w - w * zhm / 100 <= mw)
        taken = zwm;
    else
        taken = w > h ? zwm : zhm;
    r.min_zoom = -taken;
    if (w <= mw || h <= mh)
        r.min_zoom = 0;

    // A slider whose minimum lies above its maximum would be unusable.
    r.min_zoom = std::min(r.min_zoom, r.max_zoom);
    return r;
}

} // namespace mosswick
