#include "viewer/viewer_app.h"

#include "core/catalogue_logic.h"
#include "platform/ui/dialogs.h"
#include "viewer/viewer_layout.h"

#include <QCoreApplication>

namespace mosswick::viewer {

ViewerStart start_viewer(const QStringList& arguments_after_program, const QString& cwd,
                         const QRect& work_area)
{
    ViewerStart start;
    QString path;
    if (!arguments_after_program.isEmpty()) {
        path = command_line_path(arguments_after_program.front(), cwd);
    } else {
        path = ui::dialogs().open_file(nullptr, k_open_title, k_open_filter, QString());
        if (path.isEmpty()) {
            ui::dialogs().message(nullptr, k_no_file_text, k_no_file_title, ui::MessageIcon::None,
                                  ui::MessageButtons::Ok);
            start.exit_code = 1;
            return start;
        }
        QCoreApplication::processEvents();  // let the dialog's window go before drawing
    }
    // A path that names nothing (or nothing showable) gives the empty window.
    start.window = std::make_unique<frmZoom>(path, work_area);
    return start;
}

} // namespace mosswick::viewer
