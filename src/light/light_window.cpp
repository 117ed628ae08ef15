// The main window's procedures that only the light window uses: the
// compaction, the search grid's jump to a page, and the two public helpers
// of the light window's interface.
#include "catalogue/frm_browser.h"
#include "light/compaction.h"
#include "pageview/page_logic.h"
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

void frmBrowser::show_page_of_found_picture(qint64 page, qint64 numpic)
{
    Label3->setText(QString::number(page));
    {
        const QSignalBlocker block(Slider1);
        Slider1->setValue(int(std::clamp<qint64>(page, Slider1->minimum(), Slider1->maximum())));
    }
    if (page == m_session.current_page) {
        // The page is shown already: select the picture's cell where the
        // search tab stays in front.
        show_page->setEnabled(false);
        reselect_pending = false;
        reselect_numpic = 0;
        for (int i = 1; i <= 6; ++i)
            if (Label5[size_t(i)]->text() == QString::number(numpic)) {
                im_Click(i);
                break;
            }
        return;
    }
    show_page->setEnabled(true);
    reselect_pending = true;
    reselect_numpic = numpic;
    show_page_Click();
    // A page that could not be shown must not select a cell on a later one.
    reselect_pending = false;
    reselect_numpic = 0;
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
