// Opening, upgrading, refreshing and closing a catalogue.
#include "catalogue/catalogue_file.h"

#include "core/catalogue_logic.h"
#include "core/status_line.h"
#include "core/window_part.h"
#include "platform/ui/busy.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QTabWidget>

namespace mosswick {

namespace {

const QString k_open_db = QStringLiteral("Open DB");
const QString k_close_db = QStringLiteral("Close DB");

} // namespace

CatalogueFile::CatalogueFile(CatalogueSession& session, const Frame& frame, std::vector<WindowPart*> parts,
                             Hooks hooks, QObject* parent)
    : QObject(parent), m_session(session), m_frame(frame), m_parts(std::move(parts)), m_hooks(std::move(hooks))
{
}

CatalogueFile::~CatalogueFile() = default;

void CatalogueFile::open_from_command_line(const QString& argument)
{
    cmdline_path = command_line_path(argument, QDir::currentPath());
    cmdline_file = file_name_of(cmdline_path);
    if (!cmdline_file.isEmpty() && QFileInfo(cmdline_path).isFile()) {
        mnuDb_Click();
    } else {
        cmdline_path.clear();
        cmdline_file.clear();
    }
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

void CatalogueFile::set_title(const QString& title)
{
    m_frame.window->setWindowTitle(title);
}

void CatalogueFile::close_catalogue_connection()
{
    end_integrity_check();
    std::unique_ptr<store::Connection> conn = m_session.take_connection();
    std::optional<Sound> sound = std::exchange(m_sound, std::nullopt);
    // Another program's commit meanwhile: what it wrote was never checked.
    if (sound && (!conn || !sound->data_version.isValid() || conn->data_version() != sound->data_version))
        sound.reset();
    // Recorded only once the engine has closed the file, after its last write.
    conn.reset();
    if (sound)
        record_clean_close(*sound);
}

// What closing, a refused open and a password change leave behind.
void CatalogueFile::show_closed_state()
{
    m_frame.mnuDb->setText(k_open_db);
    close_catalogue_connection();
    clear_page_view();
    reset_form();
    set_title(m_session.edition().texts.closed_caption);
    m_session.close_catalogue();
}

void CatalogueFile::show_closed_tabs()
{
    // Nothing to search; the loader stays usable to make a catalogue.
    m_frame.SSTab_main->setTabEnabled(1, false);
    m_frame.SSTab_main->setTabEnabled(2, true);
}

void CatalogueFile::refuse_unchangeable(const QString& message)
{
    m_session.status().set_message(message);
    ui::repaint_pending();
    show_closed_state();
    m_session.set_password({});
    show_closed_tabs();
}

void CatalogueFile::report_open_failure(const store::Error& error)
{
    const StatusText said = open_failure_text(error, m_session.edition());
    close_with_message(said.text, said.detail);
}

void CatalogueFile::close_with_message(const QString& message, const QString& detail)
{
    // The refused file's path gives way in a long message, never its reason.
    const QString path = QDir::toNativeSeparators(m_session.db_path());
    const QStringList paths{path, QDir::toNativeSeparators(QFileInfo(path).canonicalFilePath())};
    // Anything but a password problem: a clear message and nothing half-open.
    show_closed_state();
    m_session.set_password({});
    show_closed_tabs();
    set_title(m_session.edition().texts.design_caption);
    m_session.status().set_message(message, detail, paths);
}

void CatalogueFile::password_prompt_cancelled()
{
    // Cancelled at the prompt: nothing open; the title keeps the path.
    m_frame.mnuDb->setText(k_open_db);
    m_frame.mnuDb->setEnabled(true);
    m_session.abandon_open();
}

void CatalogueFile::common_ending()
{
    if (m_frame.SSTab_main->isEnabled() && !opened_from_cmdline)
        m_frame.SSTab_main->setFocus();
}

void CatalogueFile::mnuDb_Click()
{
    ui::BusyLock lock(m_session.busy());

    if (m_session.db_open()) {
        show_closed_state();
        show_closed_tabs();
        m_frame.SSTab_main->setCurrentIndex(0);
        for (WindowPart* part : m_parts)
            part->show_first_tabs();
        m_session.set_password({});
        m_session.status().set_message(QStringLiteral("Database closed."));
        m_session.status().set_timing({});
        ui::repaint_pending();
        lock.release();
        common_ending();
        return;
    }

    m_session.status().set_message({});
    m_session.status().set_timing({});
    ui::repaint_pending();
    set_title(m_session.edition().texts.opening_caption);

    QString path;
    if (cmdline_file.isEmpty()) {
        const QString title = m_frame.mnuDbRnm->isChecked() ? QStringLiteral("Select the database for pages renumbering.")
                                                    : QStringLiteral("Select the database");
        const QString start = m_hooks.listed_folder();
        path = ui::dialogs().open_file(m_frame.window, title, QStringLiteral("Mosswick catalogue (*.mdb)"), start);
        if (path.isEmpty()) {
            set_title(m_session.edition().texts.opening_caption);
            m_frame.mnuDb->setEnabled(true);
            return;
        }
        opened_from_cmdline = false;
    } else {
        path = cmdline_path;
        cmdline_path.clear();
        cmdline_file.clear();
        opened_from_cmdline = true;
    }
    path = QFileInfo(path).absoluteFilePath();
    m_session.begin_open(path, store::is_read_only_path(path));
    set_title(path);
    ui::repaint_pending();

    std::unique_ptr<store::Connection> conn;
    store::Error error;
    // Said with every later message of this open when an Access file was converted.
    QString converted;
    for (;;) {
        conn = store::Connection::open(path, m_session.db_password(), error);
        if (!conn && error.kind == store::ErrorKind::JetFile && converted.isEmpty()) {
            if (!convert_access_catalogue(path, converted))
                return;
            continue;
        }
        // Without passwords there is no prompt: a protected file is refused.
        if (conn || error.kind != store::ErrorKind::WrongPassword || !m_session.edition().features.passwords)
            break;
        m_session.set_password(ui::dialogs().ask_password(m_frame.window));
        if (m_session.db_password().isEmpty()) {
            password_prompt_cancelled();
            return;
        }
    }
    const auto with_conversion = [&converted](const QString& text) {
        return converted.isEmpty() ? text : text + u' ' + converted;
    };
    if (!conn) {
        report_open_failure(error);
        return;
    }
    // A catalogue found sound before and not changed since is not checked again.
    m_sound.reset();
    const std::optional<store::FileState> found = store::file_state(conn->real_path());
    const bool recorded = found && m_checked.unchanged(conn->real_path(), *found);
    // Before an action that writes at once: the check in front, unless recorded sound.
    const auto sound_before_writing = [&](store::Connection& c) {
        if (!recorded)
            return check_in_foreground(c);
        found_sound(c, *found);
        return true;
    };
    ui::repaint_pending();
    m_session.file_opened();
    m_frame.mnuDb->setText(k_close_db);

    const int n = conn->column_count();
    // Without upgrades every catalogue opens as it is: the edition reads
    // only the columns it knows.
    if (m_session.edition().features.upgrade_old_files && n < 8) {
        if (m_session.db_read_only()) {
            refuse_unchangeable(QStringLiteral("The database is an old file, cannot upgrade a Read-Only database."));
            return;
        }
        ui::Answer answer = ui::Answer::No;
        if (n == 5 || n == 7) {
            const QString question = n == 5 ? QStringLiteral("Detected an old version of database file, update it?")
                                            : QStringLiteral("Detected a 2.2 version of database file, update it?");
            answer = ui::dialogs().message(m_frame.window, question, QStringLiteral("Mosswick Zudidudi - Confirmation"),
                                           ui::MessageIcon::Question, ui::MessageButtons::YesNo);
        }
        if (answer != ui::Answer::Yes) {
            m_frame.mnuDb->setText(k_open_db);
            conn.reset();
            m_session.abandon_open();
            m_session.status().set_message(with_conversion(QStringLiteral("Update procedure not confirmed.")));
            ui::repaint_pending();
            m_frame.mnuDb->setEnabled(true);
            return;
        }
        // The upgrade writes: the whole file is checked first.
        if (!sound_before_writing(*conn)) {
            conn.reset();
            close_with_message(m_session.status().message_text());
            return;
        }
        if (const store::Error e = conn->upgrade_to_full()) {
            conn.reset();
            report_open_failure(e);
            return;
        }
        m_session.status().set_message(QStringLiteral("Update procedure done."));
        ui::repaint_pending();
    }

    m_session.attach_connection(std::move(conn));
    ui::repaint_pending();
    m_session.busy().clear_stop_request(ui::StopRequest::ProgressBar);
    clear_page_view();
    for (WindowPart* part : m_parts)
        part->opening();
    m_hooks.opening();

    if (m_frame.mnuDbRnm->isChecked()) {
        if (m_session.db_read_only())
            m_session.status().set_message(QStringLiteral("The database is Read-Only."));
        else if (sound_before_writing(*m_session.db_conn()))
            m_hooks.renumber_all();
        // Nothing is shown after a renumbering run; the connection is closed.
        m_frame.mnuDb->setEnabled(true);
        m_frame.mnuDb->setText(k_open_db);
        close_catalogue_connection();
        m_session.abandon_open();
        return;
    }

    // Nothing writes until the check of the whole file, which runs behind
    // the shown page, has passed: the catalogue is read-only until then.
    // A catalogue found sound in this very state (recorded, or checked in
    // front of an upgrade) allows writes at once.
    if (recorded && !m_sound)
        found_sound(*m_session.db_conn(), *found);
    const bool writable = !m_session.db_read_only();
    if (writable && !m_sound)
        hold_writes();
    open_database();
    if (!m_session.db_open())
        return;   // open_database reported a failure
    // What page 1 found wrong stays readable after the opening message.
    const QString opened =
        with_conversion(writable ? QStringLiteral("Database opened.") : QStringLiteral("The database is Read-Only."));
    const QString warning = m_hooks.page_warning();
    m_session.status().set_message(warning.isEmpty() ? opened : opened + u' ' + warning);
    m_frame.SSTab_main->setTabEnabled(2, !m_session.db_read_only());
    m_frame.SSTab_main->setTabEnabled(1, true);
    m_session.finish_open();
    ui::repaint_pending();
    // Started last: its verdict comes through the event loop, after the opening's own message.
    if (!m_sound)
        start_integrity_check();
    lock.release();
    common_ending();
}

void CatalogueFile::open_database()
{
    ui::BusyLock lock(m_session.busy());
    m_hooks.begin_open();

    if (const store::Error error = m_session.read_catalogue()) {
        report_open_failure(error);
        return;
    }

    const bool writable = !m_session.db_read_only();
    if (m_session.picture_count() > 0) {
        m_hooks.show_first_page();
    } else {
        m_hooks.no_pages();
        // An empty catalogue is filled on the Loader tab.
        if (writable) {
            m_frame.SSTab_main->setTabEnabled(2, true);
            m_frame.SSTab_main->setCurrentIndex(2);
        }
    }
    enable_catalogue_controls();
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
