#pragma once

// Fitting a picture into a box, shared by the thumbnails, the loader's
// preview, the details panel, the zoom window and the viewer.

namespace mosswick {

struct FitResult {
    double min_zoom = 0;       // smallest zoom the slider offers, per cent (<= 0)
    double max_zoom = 0;       // largest zoom the slider offers, per cent
    double cur_zoom = 0;       // zoom of the display size, per cent
    double display_width = 0;  // size at which to draw, same unit as the inputs
    double display_height = 0;
};

// Minimum box used when no_minimum is false, in twips.
inline constexpr double k_min_box_width = 787.5;
inline constexpr double k_min_box_height = 525.0;

// Fits a picture of picture_width x picture_height into box_width x box_height
// keeping its aspect ratio; never enlarges. A zoom z draws at (1 + z/100) times
// the natural size. A zero or negative size gives a zero display and zero zooms.
FitResult fit_to_box(bool no_minimum, double box_width, double box_height,
                     double picture_width, double picture_height);

} // namespace mosswick
