// A cell's movie, handed to the desktop's program.
#include "pageview/page_view_part.h"

#include "core/status_line.h"
#include "pageview/movie_check.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

namespace mosswick {

void PageView::lbl_fileName_Click(int index)
{
    if (index < 1 || index > 6)
        return;
    ui::BusyLock lock(m_session.busy());
    if (lbl_fileName[size_t(index)]->text().isEmpty())
        return;
    im_Click(index);
    // The movie is the stored movie file in the data folder, and only a
    // plain movie file there: nothing else is handed to the desktop.
    const QString movfile = cell_movfile[size_t(index)];
    const MovieCheck check = check_movie(m_session.data_folder(), movfile);
    if (!check.ok()) {
        m_session.status().set_message(movie_refusal(check, movfile));
        return;
    }
    if (!ui::dialogs().open_with_desktop(check.path))
        m_session.status().set_message(ui::error_message(store::k_err_path_file_access,
                                                         QStringLiteral("No program could open %1").arg(check.path)));
}

} // namespace mosswick
