// Opening, upgrading, refreshing and closing a catalogue; creating one;
// changing its password.
#include "catalogue/catalogue_logic.h"
#include "catalogue/database_page.h"
#include "catalogue/frm_browser.h"
#include "maintenance/maintenance_tab.h"

#include "loader/loader_tab.h"
#include "notes/note_actions.h"
#include "pageview/page_view_part.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/vb.h"
#include "search/import_export_page.h"
#include "search/search_sort_tab.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

namespace mosswick {

namespace {

const QString k_open_db = QStringLiteral("Open DB");
const QString k_close_db = QStringLiteral("Close DB");

void pump()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void frmBrowser::set_title(const QString& title)
{
    setWindowTitle(title);
}

void frmBrowser::close_catalogue_connection()
{
    end_integrity_check();
    m_session.db_table_open = false;
    m_session.db_conn.reset();
}

// What closing, a refused open and a password change leave behind.
void frmBrowser::show_closed_state()
{
    m_session.db_open = false;
    mnuDb->setText(k_open_db);
    close_catalogue_connection();
    clear_page_view();
    reset_form();
    Text2->clear();
    Label27->clear();
    m_session.set_db_path({});
    m_session.db_folder.clear();
    m_session.data_folder.clear();
    m_session.db_read_only = false;
    m_session.picture_count = 0;
    m_session.current_page = 0;
    set_title(m_session.edition().texts.closed_caption);
}

void frmBrowser::report_open_failure(const store::Error& error)
{
    const StatusText said = open_failure_text(error, m_session.edition());
    close_with_message(said.text, said.detail);
}

void frmBrowser::close_with_message(const QString& message, const QString& detail)
{
    // Anything but a password problem: a clear message and nothing half-open.
    show_closed_state();
    m_session.db_password.clear();
    SSTab_main->setTabEnabled(1, false);
    SSTab_main->setTabEnabled(2, true);
    set_title(m_session.edition().texts.design_caption);
    set_message(message, detail);
}

void frmBrowser::password_prompt_cancelled()
{
    // Cancelled at the prompt: nothing open; the title keeps the path.
    m_session.db_open = false;
    mnuDb->setText(k_open_db);
    mnuDb->setEnabled(true);
    m_session.set_db_path({});
}

void frmBrowser::common_ending()
{
    if (SSTab_main->isEnabled() && !opened_from_cmdline)
        SSTab_main->setFocus();
}

void frmBrowser::mnuDbRnm_Click()
{
    mnuDbRnm->toggle();
}

void frmBrowser::mnuDb_Click()
{
    ui::BusyLock lock(m_session.busy());

    if (m_session.db_open) {
        show_closed_state();
        SSTab_main->setTabEnabled(1, false);
        SSTab_main->setTabEnabled(2, true);
        m_search->reset();
        SSTab_main->setCurrentIndex(0);
        m_maintenance->show_first_tabs();
        m_loader->show_first_tabs();
        m_session.db_password.clear();
        set_message(QStringLiteral("Database closed."));
        set_timing({});
        pump();
        lock.release();
        common_ending();
        return;
    }

    set_message({});
    set_timing({});
    pump();
    set_title(m_session.edition().texts.opening_caption);

    QString path;
    if (cmdline_file.isEmpty()) {
        const QString title = mnuDbRnm->isChecked() ? QStringLiteral("Select the database for pages renumbering.")
                                                    : QStringLiteral("Select the database");
        const QString start = m_loader->listed_folder();
        path = ui::dialogs().open_file(this, title, QStringLiteral("Mosswick catalogue (*.mdb)"), start);
        if (path.isEmpty()) {
            set_title(m_session.edition().texts.opening_caption);
            m_session.db_open = false;
            mnuDb->setEnabled(true);
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
    m_session.set_db_path(path);
    set_title(path);
    m_session.db_read_only = store::is_read_only_path(path);
    pump();

    std::unique_ptr<store::Connection> conn;
    store::Error error;
    // Said with every later message of this open when an Access file was converted.
    QString converted;
    for (;;) {
        conn = store::Connection::open(path, m_session.db_password, error);
        if (!conn && error.kind == store::ErrorKind::JetFile && converted.isEmpty()) {
            if (!convert_access_catalogue(path, converted))
                return;
            continue;
        }
        // Without passwords there is no prompt: a protected file is refused.
        if (conn || error.kind != store::ErrorKind::WrongPassword || !m_session.edition().features.passwords)
            break;
        m_session.db_password = ui::dialogs().ask_password(this);
        if (m_session.db_password.isEmpty()) {
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
    pump();
    m_session.db_open = true;
    mnuDb->setText(k_close_db);

    const int n = conn->column_count();
    // Without upgrades every catalogue opens as it is: the edition reads
    // only the columns it knows.
    if (m_session.edition().features.upgrade_old_files && n < 8) {
        if (m_session.db_read_only) {
            set_message(QStringLiteral("The database is an old file, cannot upgrade a Read-Only database."));
            pump();
            show_closed_state();
            m_session.db_password.clear();
            SSTab_main->setTabEnabled(1, false);
            SSTab_main->setTabEnabled(2, true);
            return;
        }
        ui::Answer answer = ui::Answer::No;
        if (n == 5 || n == 7) {
            const QString question = n == 5 ? QStringLiteral("Detected an old version of database file, update it?")
                                            : QStringLiteral("Detected a 2.2 version of database file, update it?");
            answer = ui::dialogs().message(this, question, QStringLiteral("Mosswick Zudidudi - Confirmation"),
                                           ui::MessageIcon::Question, ui::MessageButtons::YesNo);
        }
        if (answer != ui::Answer::Yes) {
            mnuDb->setText(k_open_db);
            m_session.db_open = false;
            conn.reset();
            m_session.db_password.clear();
            m_session.set_db_path({});
            set_message(with_conversion(QStringLiteral("Update procedure not confirmed.")));
            pump();
            mnuDb->setEnabled(true);
            return;
        }
        // The upgrade writes: the whole file is checked first.
        if (!check_in_foreground(*conn)) {
            conn.reset();
            close_with_message(message_text());
            return;
        }
        if (const store::Error e = conn->upgrade_to_full()) {
            conn.reset();
            report_open_failure(e);
            return;
        }
        set_message(QStringLiteral("Update procedure done."));
        pump();
    }

    m_session.db_conn = std::move(conn);
    pump();
    m_session.stop_requested = false;
    m_session.data_folder.clear();
    clear_page_view();
    m_search->opening();
    m_maintenance->opening();
    m_page_view->opening();
    m_notes->opening();

    if (mnuDbRnm->isChecked()) {
        if (m_session.db_read_only)
            set_message(QStringLiteral("The database is Read-Only."));
        else if (check_in_foreground(*m_session.db_conn))
            m_maintenance->RenumberPages();
        // Nothing is shown after a renumbering run; the connection is closed.
        mnuDb->setEnabled(true);
        m_session.db_open = false;
        mnuDb->setText(k_open_db);
        close_catalogue_connection();
        m_session.db_password.clear();
        m_session.set_db_path({});
        return;
    }

    // Nothing writes until the check of the whole file, which runs behind
    // the shown page, has passed: the catalogue is read-only until then.
    const bool writable = !m_session.db_read_only;
    if (writable)
        hold_writes();
    open_database();
    if (!m_session.db_open)
        return;   // open_database reported a failure
    // What page 1 found wrong stays readable after the opening message.
    const QString opened =
        with_conversion(writable ? QStringLiteral("Database opened.") : QStringLiteral("The database is Read-Only."));
    const QString& warning = m_page_view->page_warning();
    set_message(warning.isEmpty() ? opened : opened + u' ' + warning);
    SSTab_main->setTabEnabled(2, !m_session.db_read_only);
    SSTab_main->setTabEnabled(1, true);
    start_integrity_check();
    pump();
    lock.release();
    common_ending();
}

void frmBrowser::counts_changed()
{
    m_session.announce_counts();
}

void frmBrowser::show_counts()
{
    Text2->setText(QString::number(QFileInfo(m_session.db_path()).size()));
    Label27->setText(QString::number(m_session.picture_count));
}

void frmBrowser::open_database()
{
    ui::BusyLock lock(m_session.busy());
    m_page_view->begin_open();
    m_search->allow_searches();

    store::Error error;
    m_session.db_table_open = m_session.db_conn != nullptr;
    m_session.picture_count = m_session.db_conn ? m_session.db_conn->record_count(error) : 0;
    if (!m_session.db_conn || error) {
        report_open_failure(m_session.db_conn ? error : store::make_error(store::ErrorKind::Engine, QStringLiteral("No catalogue is open.")));
        return;
    }
    m_session.db_folder = folder_of(m_session.db_path());
    m_session.data_folder = m_session.db_folder + QStringLiteral("data/");
    m_session.current_page = 1;

    const bool writable = !m_session.db_read_only;
    if (m_session.picture_count > 0) {
        counts_changed();
        m_page_view->show_first_page();
    } else {
        m_page_view->no_pages();
        // An empty catalogue is filled on the Loader tab.
        if (writable) {
            SSTab_main->setTabEnabled(2, true);
            SSTab_main->setCurrentIndex(2);
        }
    }
    enable_catalogue_controls();
}

void frmBrowser::enable_catalogue_controls()
{
    m_maintenance->enable_for_catalogue();
    m_database_page->enable_for_catalogue();
    m_search->enable_for_catalogue();
    if (m_import_export)
        m_import_export->enable_for_catalogue();
    m_loader->enable_for_catalogue();
}

void frmBrowser::mnuRefresh_Click()
{
    ui::BusyLock lock(m_session.busy());
    if (!m_session.db_open) {
        set_message(QStringLiteral("Open a database first."));
        return;
    }
    m_session.db_table_open = false;
    clear_page_view();
    open_database();
    if (m_session.db_open)
        set_message(QStringLiteral("Database refreshed."));
}

} // namespace mosswick
