#pragma once

// Start-up rules of the stand-alone viewer that need no window: texts, the
// design size and the fit of the picture into the screen's work area.

#include <QSize>
#include <QString>

namespace mosswick::viewer {

// The window's design client area, in twips.
inline constexpr double k_design_width_twips = 4665;
inline constexpr double k_design_height_twips = 2805;

inline const QString k_program_name = QStringLiteral("Tallowby");
inline const QString k_open_title = QStringLiteral("Select the graphic file to open");
inline const QString k_open_filter = QStringLiteral(
    "Graphic file (jpg, gif, bmp, png, emf, rle, tif, ico, wmf) "
    "(*.jpg *.gif *.bmp *.png *.emf *.rle *.tif *.ico *.wmf)");
inline const QString k_no_file_text = QStringLiteral("File name must be entered.");
inline const QString k_no_file_title = QStringLiteral("Tallowby-Error");

// The empty window's size in pixels: the design client area.
QSize design_window_size();

// The window's size in pixels for a picture of `natural` pixels on a work
// area of `work_area` pixels: the natural size when it fits, else the
// largest size of the same aspect that fits; never enlarged, never below
// 1 x 1. Empty when either size is empty.
QSize viewer_window_size(QSize natural, QSize work_area);

} // namespace mosswick::viewer
