#pragma once

// The viewer's start-up: which picture to show, asked for when not given.

#include "viewer/frm_zoom.h"

#include <QRect>
#include <QStringList>

#include <memory>

namespace mosswick::viewer {

struct ViewerStart {
    std::unique_ptr<frmZoom> window;  // null: the program ends with exit_code
    int exit_code = 0;
};

// Decides what the viewer shows. The first argument (if any) names the
// picture: one surrounding pair of double quotes is dropped when both are
// there and the path is made absolute against cwd. Without an argument the
// Open dialog asks; a cancelled dialog shows "File name must be entered."
// (titled "Tallowby-Error") and ends the program. Dialogs go through the
// dialog seam. The window is built for work_area but not shown.
ViewerStart start_viewer(const QStringList& arguments_after_program, const QString& cwd,
                         const QRect& work_area);

} // namespace mosswick::viewer
