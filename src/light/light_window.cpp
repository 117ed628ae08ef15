// The main window's procedures that only the light window uses: the
// compaction, the search grid's jump to a page, and the two public helpers
// of the light window's interface.
#include "catalogue/frm_browser.h"
#include "light/compaction.h"
#include "pageview/page_view_part.h"
#include "pageview/page_logic.h"
#include "search/messages.h"
#include "search/search_grid.h"
#include "viewer/preview.h"

#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

namespace mosswick {

void frmBrowser::compact_database_Click()
{
    if (!m_session.db_open || !m_session.db_conn)
        return;
    ui::BusyLock lock(m_session.busy());
    compact_database->setEnabled(false);
    if (m_session.db_read_only || m_session.db_conn->read_only()) {
        set_message(QStringLiteral("The database is Read-Only."));
        return;
    }
    const QString path = m_session.db_path();
    const QString temp = store::compaction_temp_path(path);
    const store::Protection protection = light::compaction_protection(path);
    set_message(QStringLiteral("Compating database..."));
    ui::EventPump().pump();

    // The catalogue is closed first: the copy is made from the file alone.
    show_closed_state();
    SSTab_main->setTabEnabled(1, false);
    SSTab_main->setTabEnabled(2, true);
    const store::Error error = store::Connection::compact(path, QString(), protection, temp);
    if (error) {
        // The catalogue file is as it was; say what went wrong.
        set_message(ui::error_message(error.code, error.text));
        return;
    }
    set_message(QStringLiteral("Database compacted, now you can open the database."));
}

void frmBrowser::show_page_of_grid_row(int row)
{
    const search::GridModel* model = search::search_grid(MSFlexGrid1)->rows();
    if (row < 0 || row >= model->rowCount())
        return;
    const QString numpic_text = model->text(row, 0);
    const QString numpage_text = model->text(row, 1);
    set_message(search::movie_message(model->text(row, 3), !model->text(row, 2).isEmpty()));
    const std::optional<qint64> numpic = parse_number(numpic_text);
    const std::optional<qint64> page = parse_number(numpage_text);
    if (!numpic || !page)
        return;   // a row without numbers names no page

    // A page shown already: only the picture's cell is selected, where the
    // search tab stays in front.
    if (!m_page_view->show_page_of_picture(*page, numpic_text))
        return;
    // A page that could not be shown must not select a cell on a later one.
    m_page_view->forget_reselect();
    SSTab_main->setCurrentIndex(0);
}

QStringList frmBrowser::GetCommandLine(const QString& command_line, int max_args) const
{
    return mosswick::GetCommandLine(command_line, max_args);
}

void frmBrowser::ViewImage(const QString&, QLabel* picTemp, QLabel* picTarget, qint32& x1, qint32& y1, qint32 x,
                           qint32 y)
{
    if (!picTemp || !picTarget)
        return;
    const QImage source = picTemp->pixmap().toImage();
    const ViewImageResult r = mosswick::ViewImage(source, source.isNull() ? 0 : x1, source.isNull() ? 0 : y1, x, y);
    picTarget->setPixmap(QPixmap::fromImage(r.target));
    if (!r.drawn) {
        picTemp->clear();
        return;
    }
    x1 = r.width;
    y1 = r.height;
}

} // namespace mosswick
