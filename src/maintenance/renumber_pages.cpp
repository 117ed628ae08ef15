// The window's renumbering and the "Renumber pages" button.
#include "catalogue/frm_browser.h"
#include "pageview/page_view_part.h"
#include "maintenance/messages.h"
#include "maintenance/renumber.h"
#include "maintenance/window_steps.h"

#include "platform/ui/vb.h"

#include <QPushButton>

namespace mosswick {

namespace {

// The renumbering with its progress and messages; returns how it ended.
RenumberOutcome renumber_shown(frmBrowser& w)
{
    maintenance::RenumberView view(w);
    view.started();
    if (!w.session().db_conn) {
        w.set_message(QString::fromLatin1(maintenance::k_msg_no_catalogue));
        return RenumberOutcome::Failed;
    }
    store::Error error;
    const RenumberOutcome outcome = renumber_rows(
        *w.session().db_conn, w.renumber_keep_order == 1, [&view](qint64 done, qint64 total) { return view.progress(done, total); },
        error);
    view.report(outcome, error);
    return outcome;
}

} // namespace

void frmBrowser::RenumberPages()
{
    renumber_shown(*this);
}

void frmBrowser::renumber_pages_Click()
{
    if (!m_session.db_conn || m_session.db_read_only)
        return;
    ui::BusyLock lock(busy_state());
    maintenance::DisabledFor button(renumber_pages, [this] { return m_session.db_open && !m_session.db_read_only; });
    const bool timed = edition().features.times_long_actions;
    const qint64 start = ui::tick_count();
    if (timed)
        set_timing({});
    renumber_keep_order = 0;   // the button always numbers by file name
    const RenumberOutcome outcome = renumber_shown(*this);
    // A stop or a failure (rolled back) must stay readable over page 1's own texts.
    const QString ended = message_text();
    // Reopened whatever the renumbering did, so that page 1 shows the rows as they are.
    m_session.db_table_open = false;
    open_database();
    if ((outcome == RenumberOutcome::Stopped || outcome == RenumberOutcome::Failed) && m_session.db_open)
        set_message(m_page_view->page_warning().isEmpty() ? ended : ended + u' ' + m_page_view->page_warning());
    // Untimed, the panel keeps the time of the page-1 load.
    if (timed)
        set_timing(maintenance::elapsed_text(ui::tick_count() - start));
}

} // namespace mosswick
