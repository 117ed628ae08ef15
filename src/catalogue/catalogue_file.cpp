// Opening, upgrading, refreshing and closing a catalogue.
#include "catalogue/catalogue_file.h"

#include "core/catalogue_logic.h"
#include "core/loader_listing.h"
#include "core/status_line.h"
#include "core/window_part.h"
#include "platform/ui/busy.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QScopeGuard>

namespace mosswick {

using Left = CatalogueView::Left;
using Title = CatalogueView::Title;

CatalogueFile::CatalogueFile(CatalogueSession& session, Frame frame, const LoaderListing& listing, QObject* parent)
    : QObject(parent), m_session(session), m_frame(std::move(frame)), m_listing(listing)
{
}

CatalogueFile::~CatalogueFile() = default;

void CatalogueFile::open_from_command_line(const QString& argument)
{
    const QString path = command_line_path(argument, QDir::currentPath());
    if (file_name_of(path).isEmpty() || !QFileInfo(path).isFile())
        return;
    m_cmdline_path = path;
    mnuDb_Click();
}

void CatalogueFile::reset_form()
{
    clear_page_view();
    for (WindowPart* part : m_parts)
        part->reset();
}

void CatalogueFile::clear_page_view()
{
    for (WindowPart* part : m_parts)
        part->clear();
}

void CatalogueFile::announce(CatalogueState state, Left left, Title title)
{
    emit view_changed({state, left, title});
}

CatalogueState CatalogueFile::shown_state() const
{
    if (integrity_check_running())
        return CatalogueState::Checking;
    return m_session.db_read_only() ? CatalogueState::OpenReadOnly : CatalogueState::OpenWritable;
}

bool CatalogueFile::file_released() const
{
    return !m_session.db_conn() && !(m_check && m_check->running());
}

bool CatalogueFile::release_connection()
{
    close_catalogue_connection();
    return file_released();
}

bool CatalogueFile::close_catalogue()
{
    show_closed_state(Left::Closed, Title::Closed);
    return file_released();
}

bool CatalogueFile::reopen()
{
    open_database();
    return m_session.db_open();
}

void CatalogueFile::closed_by_password_change()
{
    show_closed_state(Left::Released, Title::Closed);
}

void CatalogueFile::close_catalogue_connection()
{
    end_integrity_check();
    std::unique_ptr<store::Connection> conn = m_session.take_connection();
    const std::optional<Sound> sound = std::exchange(m_sound, std::nullopt);
    // The state this program's own writes left, unless another program's
    // commit came meanwhile: what that wrote was never checked.
    std::optional<store::FileState> left;
    if (sound && conn && sound->data_version.isValid() && conn->data_version() == sound->data_version)
        left = conn->own_state();
    // Recorded only once the engine has closed the file, after its last write.
    conn.reset();
    if (sound)
        record_clean_close(sound->path, left);
}

void CatalogueFile::show_closed_state(Left left, Title title)
{
    close_catalogue_connection();
    reset_form();
    m_session.close_catalogue();
    announce(CatalogueState::None, left, title);
}

bool CatalogueFile::mnuDb_Click()
{
    const ui::BusyLock lock(m_session.busy());
    if (!m_session.db_open())
        return open_chosen_catalogue();
    close_by_menu();
    return true;
}

void CatalogueFile::close_by_menu()
{
    show_closed_state(Left::Closed, Title::Closed);
    for (WindowPart* part : m_parts)
        part->show_first_tabs();
    m_session.set_password({});
    m_session.status().set_message(QStringLiteral("Database closed."));
    m_session.status().set_timing({});
    ui::repaint_pending();
}

// ---- opening --------------------------------------------------------------

bool CatalogueFile::open_chosen_catalogue()
{
    m_session.status().set_message({});
    m_session.status().set_timing({});
    ui::repaint_pending();
    announce(CatalogueState::Opening);

    Attempt attempt;
    const Step stop = run_steps(attempt);
    if (!stop)
        return true;
    // The file is let go before anything is said of it.
    attempt.conn.reset();
    give_up(*stop);
    return false;
}

CatalogueFile::Step CatalogueFile::run_steps(Attempt& attempt)
{
    if (Step stop = choose_file(attempt))
        return stop;
    if (Step stop = connect_file(attempt))
        return stop;
    if (Step stop = upgrade_old_layout(attempt))
        return stop;
    attach(attempt);
    if (Step stop = renumber(attempt))
        return stop;
    return show_opened(attempt);
}

void CatalogueFile::give_up(const GiveUp& how)
{
    if (how.way == GiveUp::Way::NothingChosen) {
        announce(CatalogueState::None, Left::Untouched, Title::Kept);
        return;
    }
    // The refused file's path gives way in a long message, never its reason.
    const QString path = QDir::toNativeSeparators(m_session.db_path());
    const QStringList paths{path, QDir::toNativeSeparators(QFileInfo(path).canonicalFilePath())};
    if (how.way == GiveUp::Way::LetGo) {
        close_catalogue_connection();
        m_session.abandon_open();
        announce(CatalogueState::None, how.menu_to_open ? Left::Released : Left::Untouched,
                 how.title_at_start ? Title::AtStart : Title::Kept);
    } else {
        show_closed_state(Left::Closed, how.title_at_start ? Title::AtStart : Title::Closed);
        m_session.set_password({});
    }
    if (!how.said.text.isEmpty()) {
        m_session.status().set_message(how.said.text, how.said.detail, paths);
        ui::repaint_pending();
    }
}

CatalogueFile::GiveUp CatalogueFile::failed(const store::Error& error) const
{
    const StatusText said = open_failure_text(error, m_session.edition());
    return GiveUp::closed(said.text, said.detail, true);
}

bool CatalogueFile::ask_password()
{
    m_session.set_password(ui::dialogs().ask_password(m_frame.window));
    return !m_session.db_password().isEmpty();
}

CatalogueFile::Step CatalogueFile::choose_file(Attempt& attempt)
{
    if (m_cmdline_path.isEmpty()) {
        const QString title = m_frame.renumber_mode() ? QStringLiteral("Select the database for pages renumbering.")
                                                            : QStringLiteral("Select the database");
        attempt.path = ui::dialogs().open_file(m_frame.window, title, QStringLiteral("Mosswick catalogue (*.mdb)"),
                                               m_listing.listed_folder());
        if (attempt.path.isEmpty())
            return GiveUp::nothing_chosen();
        m_opened_from_cmdline = false;
    } else {
        attempt.path = std::exchange(m_cmdline_path, QString());
        m_opened_from_cmdline = true;
    }
    attempt.path = QFileInfo(attempt.path).absoluteFilePath();
    m_session.begin_open(attempt.path, store::is_read_only_path(attempt.path));
    announce(CatalogueState::Opening);
    ui::repaint_pending();
    return {};
}

CatalogueFile::Step CatalogueFile::connect_file(Attempt& attempt)
{
    store::Error error;
    for (;;) {
        attempt.conn = store::Connection::open(attempt.path, m_session.db_password(), error);
        if (!attempt.conn && error.kind == store::ErrorKind::JetFile && attempt.converted.isEmpty()) {
            if (Step stop = convert_access_catalogue(attempt))
                return stop;
            continue;
        }
        // Without passwords there is no prompt: a protected file is refused.
        if (attempt.conn || error.kind != store::ErrorKind::WrongPassword || !m_session.edition().features.passwords)
            break;
        if (!ask_password())
            return GiveUp::let_go();
    }
    if (!attempt.conn)
        return failed(error);
    // A catalogue found sound before and not changed since is not checked again.
    m_sound.reset();
    attempt.found = attempt.conn->open_file_state();
    attempt.recorded = attempt.found && m_checked.unchanged(attempt.conn->real_path(), *attempt.found);
    ui::repaint_pending();
    m_session.file_opened();
    announce(CatalogueState::Opening);
    return {};
}

CatalogueFile::Step CatalogueFile::upgrade_old_layout(Attempt& attempt)
{
    const int n = attempt.conn->column_count();
    // Without upgrades every catalogue opens as it is: the edition reads
    // only the columns it knows.
    if (!m_session.edition().features.upgrade_old_files || n >= 8)
        return {};
    if (m_session.db_read_only())
        return GiveUp::closed(QStringLiteral("The database is an old file, cannot upgrade a Read-Only database."));
    ui::Answer answer = ui::Answer::No;
    if (n == 5 || n == 7) {
        const QString question = n == 5 ? QStringLiteral("Detected an old version of database file, update it?")
                                        : QStringLiteral("Detected a 2.2 version of database file, update it?");
        answer = ui::dialogs().message(m_frame.window, question, QStringLiteral("Mosswick Zudidudi - Confirmation"),
                                       ui::MessageIcon::Question, ui::MessageButtons::YesNo);
    }
    if (answer != ui::Answer::Yes) {
        // Nothing stays open, so the title names no file.
        GiveUp declined = GiveUp::let_go(followed_by(QStringLiteral("Update procedure not confirmed."), attempt.converted));
        declined.title_at_start = true;
        return declined;
    }
    // The upgrade writes: the whole file is checked first.
    if (!sound_before_writing(attempt, *attempt.conn))
        return GiveUp::closed(m_session.status().message_text(), {}, true);
    if (const store::Error e = attempt.conn->upgrade_to_full())
        return failed(e);
    m_session.status().set_message(QStringLiteral("Update procedure done."));
    ui::repaint_pending();
    return {};
}

void CatalogueFile::attach(Attempt& attempt)
{
    m_session.attach_connection(std::move(attempt.conn));
    ui::repaint_pending();
    m_session.busy().clear_stop_request(ui::StopRequest::ProgressBar);
    clear_page_view();
    for (WindowPart* part : m_parts)
        part->opening();
}

CatalogueFile::Step CatalogueFile::renumber(const Attempt& attempt)
{
    if (!m_frame.renumber_mode())
        return {};
    if (m_session.db_read_only())
        m_session.status().set_message(QStringLiteral("The database is Read-Only."));
    else if (sound_before_writing(attempt, *m_session.db_conn()))
        emit renumber_requested();
    // Nothing is shown after a renumbering run; the connection is closed.
    return GiveUp::let_go();
}

CatalogueFile::Step CatalogueFile::show_opened(const Attempt& attempt)
{
    // Nothing writes until the check of the whole file, which runs behind
    // the shown page, has passed: the catalogue is read-only until then.
    // A catalogue found sound in this very state (recorded, or checked in
    // front of an upgrade) allows writes at once.
    if (attempt.recorded && !m_sound)
        found_sound(*m_session.db_conn(), *attempt.found);
    const bool writable = !m_session.db_read_only();
    if (writable && !m_sound)
        hold_writes();
    // The check starts with the opening, whatever page 1 asks the user
    // meanwhile; its verdict is said after the opening's own message.
    m_showing = true;
    const auto shown = qScopeGuard([this] { m_showing = false; });
    if (!m_sound)
        start_integrity_check();
    if (Step stop = read_and_show())
        return stop;
    // What page 1 found wrong stays readable after the opening message.
    const QString opened = followed_by(
        writable ? QStringLiteral("Database opened.") : QStringLiteral("The database is Read-Only."), attempt.converted);
    m_session.status().set_message(followed_by(opened, m_session.page_warning()));
    announce(shown_state());
    m_session.finish_open();
    ui::repaint_pending();
    m_showing = false;
    // Said once the opening has ended, as a verdict that comes later is.
    if (m_early_verdict)
        QMetaObject::invokeMethod(this, &CatalogueFile::say_early_verdict, Qt::QueuedConnection);
    return {};
}

// ---- reading the open catalogue -------------------------------------------

void CatalogueFile::open_database()
{
    ui::BusyLock lock(m_session.busy());
    if (const Step stop = read_and_show())
        give_up(*stop);
    else
        announce(shown_state());
}

CatalogueFile::Step CatalogueFile::read_and_show()
{
    emit reading_counts();
    if (const store::Error error = m_session.read_catalogue())
        return failed(error);

    if (m_session.picture_count() > 0)
        emit first_page_requested();
    else
        emit no_pages();
    enable_catalogue_controls();
    return {};
}

void CatalogueFile::enable_catalogue_controls()
{
    for (WindowPart* part : m_parts)
        part->enable_for_catalogue();
}

void CatalogueFile::mnuRefresh_Click()
{
    ui::BusyLock lock(m_session.busy());
    if (!m_session.db_open()) {
        m_session.status().set_message(QStringLiteral("Open a database first."));
        return;
    }
    m_session.close_table();
    clear_page_view();
    open_database();
    if (m_session.db_open())
        m_session.status().set_message(QStringLiteral("Database refreshed."));
}

} // namespace mosswick
