// The integrity check behind the shown page: a catalogue opens at once and
// is read in full on a connection of its own in a worker thread; nothing
// writes to it until that check has passed.
#include "catalogue/catalogue_file.h"
#include "core/status_line.h"

#include "platform/store/integrity_check.h"
#include "platform/ui/busy.h"
#include "platform/ui/vb.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QStatusBar>
#include <QFileInfo>

namespace mosswick {

namespace {

const QString k_checking = QStringLiteral("Checking the catalogue...");
const QString k_checking_tip =
    QStringLiteral("The whole catalogue is being read and checked; nothing can be changed until it ends. "
                   "Click here or press Esc to stop the check: the catalogue then stays Read-Only.");
const QString k_check_stopped =
    QStringLiteral("Catalogue check stopped: the database stays Read-Only until it is opened again.");
const QString k_check_stopped_closed = QStringLiteral("Catalogue check stopped: nothing was written to it.");
const QString k_replaced = QStringLiteral("The catalogue file was replaced or moved away after it was opened: it stays "
                                          "open Read-Only. Open it again to use the file now under its name.");
const QString k_writes_not_allowed = QStringLiteral("The catalogue was checked but could not be opened for changes "
                                                    "(Error %1 - %2). It stays open Read-Only until it is opened again.");

// The check's bar: a click on it stops the check.
class CheckBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    std::function<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (clicked && event->button() == Qt::LeftButton)
            clicked();
        QProgressBar::mousePressEvent(event);
    }
};

// A second connection to the open catalogue, for reading only.
std::unique_ptr<store::Connection> open_for_check(const QString& path, const QString& password, store::Error& error)
{
    std::unique_ptr<store::Connection> conn =
        store::Connection::open(path, password, error, store::Connection::OpenMode::ReadOnly);
    if (conn && (error = conn->exec(QStringLiteral("PRAGMA query_only = 1"))))
        conn.reset();
    return conn;
}

store::IntegrityResult replaced()
{
    store::IntegrityResult result;
    result.outcome = store::IntegrityOutcome::Failed;
    result.error = store::make_error(store::ErrorKind::FileChanged, k_replaced);
    return result;
}

} // namespace

void CatalogueFile::found_sound(store::Connection& conn, const store::FileState& state)
{
    m_sound = Sound{conn.real_path(), conn.data_version()};
    conn.follow_own_writes(state);
    if (conn.read_only())
        m_checked.record(conn.real_path(), state);
    else
        m_checked.forget(conn.real_path());
}

void CatalogueFile::record_clean_close(const QString& path, const std::optional<store::FileState>& left)
{
    // A journal left behind is a change not finished.
    bool finished = true;
    for (const char* side : {"-journal", "-wal"})
        finished = finished && !QFileInfo::exists(path + QLatin1String(side));
    const std::optional<store::FileState> now = store::file_state(path);
    if (finished && left && now == left && store::later_changes_show(*now))
        m_checked.record(path, *now);
    else
        m_checked.forget(path);
}

bool CatalogueFile::integrity_check_running() const
{
    return (m_check && m_check->running()) || m_early_verdict;
}

void CatalogueFile::hold_writes()
{
    m_writes_held = true;
    m_session.status().set_writes_waiting(true);
    // The engine refuses writes too, whatever path tries one. Only a second
    // guard: the read-only flag and the disabled controls already hold them.
    if (m_session.db_conn())
        (void)m_session.db_conn()->exec(QStringLiteral("PRAGMA query_only = 1"));
    m_session.set_read_only(true);
}

void CatalogueFile::start_integrity_check()
{
    m_check.reset();
    if (!m_session.db_conn())
        return;
    if (!m_check_panel) {
        m_check_panel = new QWidget(m_frame.window->statusBar());
        auto* layout = new QHBoxLayout(m_check_panel);
        layout->setContentsMargins(0, 0, 0, 0);
        m_check_label = new QLabel(k_checking, m_check_panel);
        auto* bar = new CheckBar(m_check_panel);
        bar->clicked = [this] { stop_integrity_check(); };
        bar->setObjectName(QStringLiteral("check_progress"));
        bar->setRange(0, 1000);
        bar->setTextVisible(false);
        bar->setMaximumWidth(160);
        m_check_progress = bar;
        layout->addWidget(m_check_label);
        layout->addWidget(bar);
        m_check_panel->setToolTip(k_checking_tip);
        m_frame.window->statusBar()->addPermanentWidget(m_check_panel);
    }
    m_check_started = m_session.db_conn()->open_file_state();
    if (!m_check_started) {
        integrity_check_finished(replaced());
        return;
    }
    const QString path = m_session.db_path();
    const QString password = m_session.db_password();
    const store::BackgroundIntegrityCheck::Opener open =
        open_check_connection ? open_check_connection
                              : [path, password](store::Error& error, const std::function<bool()>&) {
                                    return open_for_check(path, password, error);
                                };
    // The check opens the catalogue by its name: it must have found there
    // the very file the window holds.
    m_check = std::make_unique<store::BackgroundIntegrityCheck>(
        [open, held = *m_check_started](store::Error& error, const std::function<bool()>& stopping) {
            std::unique_ptr<store::Connection> conn = open(error, stopping);
            const std::optional<store::FileState> seen = conn ? conn->open_file_state() : std::nullopt;
            if (conn && !(seen && seen->same_file(held))) {
                conn.reset();
                error = replaced().error;
            }
            return conn;
        });
    connect(m_check.get(), &store::BackgroundIntegrityCheck::finished, this, &CatalogueFile::integrity_check_finished);
    connect(m_check.get(), &store::BackgroundIntegrityCheck::progress, m_check_progress, &QProgressBar::setValue);
    m_check_progress->setValue(0);
    m_check_label->setText(k_checking);
    m_check_panel->show();
    m_check->start();
}

void CatalogueFile::stop_integrity_check()
{
    if (m_check && m_check->running())
        m_check->stop();
}

void CatalogueFile::end_integrity_check()
{
    m_check.reset();
    m_writes_held = false;
    m_early_verdict.reset();
    m_session.status().set_writes_waiting(false);
    if (m_check_panel)
        m_check_panel->hide();
}

void CatalogueFile::say_early_verdict()
{
    if (!m_showing && m_early_verdict)
        integrity_check_finished(*std::exchange(m_early_verdict, std::nullopt));
}

void CatalogueFile::integrity_check_finished(const store::IntegrityResult& result)
{
    if (m_showing) {
        m_early_verdict = result;
        return;
    }
    m_check_panel->hide();
    m_session.status().set_writes_waiting(false);
    switch (result.outcome) {
    case store::IntegrityOutcome::Passed: {
        const std::optional<store::FileState> now =
            m_session.db_conn() ? m_session.db_conn()->open_file_state() : std::nullopt;
        // What was read must still be the file the window holds and has a name.
        if (!now || !m_check_started || !now->same_file(*m_check_started)) {
            m_session.status().set_message(k_replaced);
            break;
        }
        // Sound as the file was when the check began, if it is still so.
        if (*now == *m_check_started)
            found_sound(*m_session.db_conn(), *m_check_started);
        // The opening message stays: the bar going away says it all.
        if (m_writes_held) {
            // Allowed only once the engine no longer refuses them either.
            if (m_session.db_conn()) {
                if (const store::Error e = m_session.db_conn()->exec(QStringLiteral("PRAGMA query_only = 0"))) {
                    m_session.status().set_message(k_writes_not_allowed.arg(QString::number(e.code), e.text));
                    break;
                }
            }
            m_writes_held = false;
            // Allowed first: the parts read it as they offer what writes.
            m_session.set_read_only(false);
            enable_catalogue_controls();
        }
        break;
    }
    case store::IntegrityOutcome::Stopped:
        // The writes stay held for this opening.
        m_session.status().set_message(m_writes_held ? k_check_stopped : QStringLiteral("Catalogue check stopped."));
        break;
    case store::IntegrityOutcome::Damaged:
    case store::IntegrityOutcome::Failed:
        m_session.status().set_message(result.error.kind == store::ErrorKind::FileChanged ? result.error.text
                                                                                         : store::integrity_problem(result));
        break;
    }
    announce(shown_state());
}

bool CatalogueFile::sound_before_writing(const Attempt& attempt, store::Connection& conn)
{
    if (!attempt.recorded)
        return check_in_foreground(conn);
    found_sound(conn, *attempt.found);
    return true;
}

bool CatalogueFile::check_in_foreground(store::Connection& conn)
{
    m_session.status().set_message(k_checking_please_wait);
    m_session.busy().clear_stop_request(ui::StopRequest::ProgressBar);
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);
    const ui::StopOffer stop_offer(m_session.busy(), {.esc = true, .progress_bar = true});
    m_session.status().progress()->setRange(0, 1000);
    m_session.status().progress()->setValue(0);
    m_session.status().progress()->show();
    const std::optional<store::FileState> before = conn.open_file_state();
    ui::EventPump pump;
    pump.pump();
    const store::IntegrityResult result = store::check_integrity(conn, [&](int permille) {
        m_session.status().progress()->setValue(permille);
        pump.maybe_pump();
        return !m_session.busy().stop_requested(ui::StopRequest::ProgressBar) &&
               !m_session.busy().stop_requested(ui::StopRequest::Esc);
    });
    m_session.status().progress()->setValue(0);
    m_session.status().progress()->hide();
    m_session.busy().clear_stop_request(ui::StopRequest::ProgressBar);
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);
    switch (result.outcome) {
    case store::IntegrityOutcome::Passed:
        if (before && conn.open_file_state() == before)
            found_sound(conn, *before);
        return true;
    case store::IntegrityOutcome::Stopped:
        m_session.status().set_message(k_check_stopped_closed);
        return false;
    case store::IntegrityOutcome::Damaged:
        m_session.status().set_message(QStringLiteral("The catalogue is damaged (%1). Nothing was written to it.").arg(result.detail));
        return false;
    case store::IntegrityOutcome::Failed:
        m_session.status().set_message(ui::error_message(result.error.code, result.error.text));
        return false;
    }
    return false;
}

} // namespace mosswick
