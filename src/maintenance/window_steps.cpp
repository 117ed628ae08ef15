#include "maintenance/window_steps.h"

#include "core/catalogue_session.h"
#include "core/status_line.h"
#include "platform/ui/vb.h"

#include <QCoreApplication>
#include <QProgressBar>

#include <limits>

namespace mosswick::maintenance {

void pump_events()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void recount_pictures(CatalogueSession& session)
{
    if (!session.db_conn())
        return;
    store::Error error;
    const qint64 n = session.db_conn()->record_count(error);
    if (error)
        return;
    session.catalogue_written(n);
}

RenumberView::RenumberView(CatalogueSession& session)
    : m_session(session), m_stop_offer(session.busy(), {.progress_bar = true})
{
}

RenumberHooks RenumberView::hooks()
{
    return {[this] { started(); }, [this](qint64 done, qint64 total) { return progress(done, total); }};
}

void RenumberView::started()
{
    m_session.busy().clear_stop_request(ui::StopRequest::ProgressBar);   // an old click never stops a new run
    m_session.status().set_message(QStringLiteral("Database pages renumbering started, please wait..."));
    m_pump.pump();
}

bool RenumberView::progress(qint64 done, qint64 total)
{
    QProgressBar* bar = m_session.status().progress();
    if (!m_shown) {
        bar->show();
        m_session.status().set_ready({});
        bar->setRange(0, int(std::min<qint64>(total, std::numeric_limits<int>::max())));
        m_shown = true;
    }
    bar->setValue(int(std::min<qint64>(done, bar->maximum())));
    m_pump.maybe_pump();
    return !m_session.busy().take_stop_request(ui::StopRequest::ProgressBar);
}

void RenumberView::report(RenumberOutcome outcome, const store::Error& error)
{
    QProgressBar* bar = m_session.status().progress();
    switch (outcome) {
    case RenumberOutcome::Empty:
        m_session.status().set_message(QStringLiteral("Database empty."));
        break;
    case RenumberOutcome::Stopped:
        // Rolled back: the bar stays where the stop found it.
        m_session.status().set_message(QStringLiteral("Renumbering stopped."));
        break;
    case RenumberOutcome::Failed:
        bar->setValue(0);
        bar->hide();
        m_session.status().set_message(ui::error_message(error.code, error.text));
        break;
    case RenumberOutcome::Done:
        bar->setValue(0);
        bar->hide();
        m_session.status().set_ready(m_session.edition().texts.renumbered_ready);
        m_session.status().set_message(QStringLiteral("Database pages renumbered."));
        break;
    }
}

} // namespace mosswick::maintenance
