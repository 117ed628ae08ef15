// Zoom requests: a cell's picture opened in a zoom window.
#include "pageview/page_view_part.h"

#include "core/catalogue_logic.h"
#include "core/status_line.h"
#include "pageview/frm_zoom.h"
#include "pageview/page_logic.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QFileInfo>
#include <QLabel>

namespace mosswick {

frmZoom* PageView::open_zoom(const ZoomRequest& request)
{
    // It fits into the screen's free area.
    auto* zoom = new frmZoom(request);
    zoom->show();
    return zoom;
}

void PageView::im_DblClick(int index)
{
    if (index < 1 || index > 6 || !m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    im_Click(index);
    ZoomRequest request =
        ZoomRequest::file(m_session.data_folder() + lbl_filePic[size_t(index)]->text(), m_session.zoom_quality());
    if (!m_session.edition().features.stored_pictures) {
        // Every picture is a file of the data folder: the zoom window draws
        // the path it is given, or says the file is gone and closes.
        lock.release();
        open_zoom(request);
        return;
    }
    const std::optional<qint64> numpic = parse_number(Label5[size_t(index)]->text());
    if (!numpic)
        return;
    StatusLine& status = m_session.status();
    store::Error error;
    const std::optional<store::Row> row = m_session.db_conn()->find_row(*numpic, error);
    if (error || !row) {
        status.set_message(error ? ui::error_message(error.code, error.text)
                                 : QStringLiteral("The picture %1 is not in the catalogue: refresh the page.").arg(*numpic));
        return;
    }
    // A page older than the catalogue (after an exchange, a delete ...) must
    // not show another picture under the name the cell shows.
    if (row->value(store::col_picfile).toString() != lbl_filePic[size_t(index)]->text()) {
        status.set_message(QStringLiteral("The picture %1 has changed in the catalogue: refresh the page.").arg(*numpic));
        return;
    }
    if (store::picture_stored_inside(row->value(store::col_inoutpic))) {
        request.picture_in_db = true;
        request.bytes = m_session.db_conn()->read_picture_bytes(*numpic, error);
        if (error) {
            status.set_message(ui::error_message(error.code, error.text));
            return;
        }
    } else {
        const QString path = m_session.data_folder() + row->value(store::col_picfile).toString();
        if (!QFileInfo(path).isFile()) {
            ui::dialogs().message(this, QStringLiteral("Picture file not found."), QStringLiteral("Error"),
                                  ui::MessageIcon::None, ui::MessageButtons::Ok);
            return;
        }
        request.file_path = path;
    }
    lock.release();
    open_zoom(request);
}

// The picture type's label: the cell is selected, then its picture zoomed.
void PageView::Label7_Click(int index)
{
    ui::BusyLock lock(m_session.busy());
    im_Click(index);
    lock.release();
    im_DblClick(index);
}

} // namespace mosswick
