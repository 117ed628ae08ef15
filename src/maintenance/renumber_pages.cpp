// The window's renumbering and the "Renumber pages" button.
#include "core/catalogue_logic.h"
#include "core/status_line.h"
#include "maintenance/maintenance_tab.h"
#include "maintenance/messages.h"
#include "maintenance/renumber.h"
#include "maintenance/window_steps.h"

#include "platform/ui/vb.h"

#include <QPushButton>

namespace mosswick {

namespace {

// The renumbering with its progress and messages; returns how it ended.
RenumberOutcome renumber_shown(CatalogueSession& session)
{
    maintenance::RenumberView view(session);
    view.started();
    if (!session.db_conn()) {
        session.status().set_message(QString::fromLatin1(maintenance::k_msg_no_catalogue));
        return RenumberOutcome::Failed;
    }
    store::Error error;
    const RenumberOutcome outcome = renumber_rows(
        *session.db_conn(), false, [&view](qint64 done, qint64 total) { return view.progress(done, total); },
        error);
    view.report(outcome, error);
    return outcome;
}

} // namespace

void MaintenanceTab::RenumberPages()
{
    renumber_shown(m_session);
}

void MaintenanceTab::renumber_pages_Click()
{
    if (!m_session.db_conn() || m_session.db_read_only())
        return;
    StatusLine& status = m_session.status();
    ui::BusyLock lock(m_session.busy());
    maintenance::DisabledFor button(renumber_pages, [this] { return m_session.db_open() && !m_session.db_read_only(); });
    const bool timed = m_session.edition().features.times_long_actions;
    const qint64 start = ui::tick_count();
    if (timed)
        status.set_timing({});
    const RenumberOutcome outcome = renumber_shown(m_session);
    // A stop or a failure (rolled back) must stay readable over page 1's own texts.
    const QString ended = status.message_text();
    // Reopened whatever the renumbering did, so that page 1 shows the rows as they are.
    m_session.close_table();
    const bool shown = m_access.reopen();
    if ((outcome == RenumberOutcome::Stopped || outcome == RenumberOutcome::Failed) && shown) {
        status.set_message(followed_by(ended, m_session.page_warning()));
    }
    // Untimed, the panel keeps the time of the page-1 load.
    if (timed)
        status.set_timing(maintenance::elapsed_text(ui::tick_count() - start));
}

} // namespace mosswick
