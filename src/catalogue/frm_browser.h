#pragma once

#include "catalogue/catalogue_session.h"
#include "catalogue/edition.h"
#include "catalogue/status_line.h"
#include "platform/store/connection.h"
#include "platform/store/background_check.h"
#include "platform/ui/busy.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTableView;
class QTextEdit;

namespace mosswick {

namespace ui {
class LabelButton;
class StatusPanel;
}
namespace richtext {
class RichTextBox;
}
// The window's parts, each in its subsystem's folder.
class PageView;
class NoteActions;
class LoaderTab;
class SearchSortTab;
class ImportExportPage;
class MaintenanceTab;
class DatabasePage;

// The main window of both editions. Controls keep the names the rest of the
// program knows them by; member functions live in the folders of the
// subsystems they belong to (catalogue, pageview, loader ...).
//
// Both editions build the same controls; what an edition's profile switches
// off is built out of sight (hidden, or kept in a hidden holder), so shared
// code may touch it without it ever showing. Where the light window names a
// control differently, the comment of the member says so.
class frmBrowser : public QMainWindow {
    Q_OBJECT
public:
    explicit frmBrowser(const Edition& edition, QWidget* parent = nullptr);
    ~frmBrowser() override;

    const Edition& edition() const { return m_session.edition(); }
    // The open catalogue, shared by every part of the window.
    CatalogueSession& session() { return m_session; }
    StatusLine& status() { return *m_status; }

    // ---- the parts ------------------------------------------------------
    PageView& page_view() { return *m_page_view; }
    NoteActions& notes() { return *m_notes; }
    LoaderTab& loader() { return *m_loader; }
    SearchSortTab& search() { return *m_search; }
    // Null in an edition without stored pictures.
    ImportExportPage* import_export() { return m_import_export; }
    MaintenanceTab& maintenance() { return *m_maintenance; }
    DatabasePage& database_page() { return *m_database_page; }
    const QString& db_path() const { return m_session.db_path(); }

    // ---- start-up, states and exit -------------------------------------
    // Start-up; argument is the command line's first argument (may be empty).
    void Form_Load(const QString& argument);
    void Form_Activate();
    // Esc sets both abort flags; the key then goes on to the focused control.
    void Form_KeyPress(int key_ascii);
    void SSTab_main_Click(int previous_tab);
    void reset_form();
    void clear_page_view();
    void mnuFileExit_Click();
    void Command3_Click();

    // ---- shared ---------------------------------------------------------
    // Enables (true) or disables the whole window around a long action.
    void set_browser_enabled(bool flag);
    ui::BusyState& busy_state() { return m_session.busy(); }

    // ---- catalogue file -------------------------------------------------
    void mnuDb_Click();
    void open_database();
    void mnuRefresh_Click();
    void mnuDbRnm_Click();
    void mnuAbout_Click();
    // Tells every part that picture_count changed (after every write): the
    // page view's slider and page count, the frame's counters follow.
    void counts_changed();

    // ---- integrity check behind the shown page (catalogue/check_behind.cpp)
    // Checks the whole open catalogue on a connection of its own in a worker
    // thread; until it has passed nothing writes (held as read-only).
    void start_integrity_check();
    // Esc or a click on the check's bar: the catalogue stays read-only.
    void stop_integrity_check();
    // Stops a running check and waits for its thread (a few pages at most).
    void end_integrity_check();
    bool integrity_check_running() const;
    // The check's bar in the status bar, shown while it runs.
    QProgressBar* check_progress = nullptr;
    // Opens the check's own connection, on the check's thread; tests replace it.
    store::BackgroundIntegrityCheck::Opener open_check_connection;

    // ==== light window (src/light): begin ===================================
    // A search-grid row of the light window: the picture's page with its
    // cell selected; the search tab stays in front when the page is shown.
    void show_page_of_found_picture(qint64 page, qint64 numpic);
    // ==== light window: end =================================================



    // Status bar panels.
    // A message too long for its panel shows its reason and the end of its
    // sentence; the whole text, with detail when given, is in the tooltip.
    void set_message(const QString& text, const QString& detail = {});
    void set_ready(const QString& text);
    void set_timing(const QString& text);
    QString message_text() const;
    QString message_tip() const;
    QString ready_text() const;
    QString tab_text() const;
    QString timing_text() const;




    // ---- window state ---------------------------------------------------
    QString cmdline_path;
    QString cmdline_file;
    bool opened_from_cmdline = false;

    // Design sizes of the zoom window, in twips.
    int zoom_default_width = 0;
    int zoom_default_height = 0;
    int zoom_default_slider_width = 0;
    int zoom_default_slider_top = 0;

    // ---- menus ----------------------------------------------------------
    QMenu* mnuFile = nullptr;
    QAction* mnuDbRnm = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuDb = nullptr;
    QAction* mnuRefresh = nullptr;
    QMenu* mnuThumbnailQuality = nullptr;
    std::array<QAction*, 7> mnuTQ{};   // 1..6 by quality code
    QMenu* mnuZoomQuality = nullptr;
    std::array<QAction*, 7> mnuZQ{};
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

    // ---- status bar and window-level controls ----------------------------
    QTabWidget* SSTab_main = nullptr;
    QLabel* Text2 = nullptr;     // catalogue file size in bytes
    QLabel* Label27 = nullptr;   // number of records
    QPushButton* Command3 = nullptr;   // exit



protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Builders of the window's parts (frm_browser_ui.cpp).
    void build_menus();
    void build_status_bar();
    // Gives every control its name (tests and tools find controls by name).
    void name_controls();
    void wire_database_page();
    void connect_catalogue_handlers();
    // Creates the page view and the note actions and wires them to the rest.
    void wire_page_view();
    // Creates the search tab and the import/export page and wires them.
    void wire_search();
    // Connects the maintenance tab's requests to what does them.
    void wire_maintenance();
    // Creates the loader tab around the pages it hosts, and wires it.
    QWidget* build_loader_tab();
    void wire_loader();
    // The file size and record counters, on the session's counts_changed.
    void show_counts();

    // Catalogue life (catalogue/open_close.cpp).
    void set_title(const QString& title);
    void close_catalogue_connection();
    void show_closed_state();
    bool open_connection(const QString& path);
    void report_open_failure(const store::Error& error);
    void password_prompt_cancelled();
    // Enables the controls of an open catalogue, those that write only when
    // it is not read-only.
    void enable_catalogue_controls();
    // Holds every write until the integrity check has passed.
    void hold_writes();
    // The integrity check in the window's thread, before an action that
    // writes at once (upgrade, renumber mode); false with its message shown.
    bool check_in_foreground(store::Connection& conn);
    // Leaves the catalogue closed with a message (a failed open).
    void close_with_message(const QString& message, const QString& detail = {});
    void integrity_check_finished(const store::IntegrityResult& result);
    void common_ending();
    // An Access catalogue being opened (catalogue/jet_open.cpp): asks, converts
    // it in place and sets db_password to the new catalogue's key. False when
    // it was not converted; the window then says why and nothing is open.
    bool convert_access_catalogue(const QString& path, QString& note);

    CatalogueSession m_session;
    StatusLine* m_status = nullptr;
    PageView* m_page_view = nullptr;
    NoteActions* m_notes = nullptr;
    LoaderTab* m_loader = nullptr;
    SearchSortTab* m_search = nullptr;
    ImportExportPage* m_import_export = nullptr;
    MaintenanceTab* m_maintenance = nullptr;
    DatabasePage* m_database_page = nullptr;
    std::unique_ptr<store::BackgroundIntegrityCheck> m_check;
    bool m_writes_held = false;
    QWidget* m_check_panel = nullptr;
    QLabel* m_check_label = nullptr;
    QPointer<QWidget> m_about;
    // Holds controls the edition does without: never shown.
    QWidget* m_unused = nullptr;
    bool m_exiting = false;
};

} // namespace mosswick
