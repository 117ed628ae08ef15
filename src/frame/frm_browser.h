#pragma once

#include "core/catalogue_session.h"
#include "core/window_part.h"
#include "core/status_line.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QGridLayout;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

namespace mosswick {

class CatalogueFile;
struct CatalogueView;
class DatabasePage;
class ImportExportPage;
class LoaderTab;
class MaintenanceTab;
class NoteActions;
class PageView;
class SearchSortTab;

// The main window of both editions: a frame of menus, the tab control, the
// status bar, Esc and exit around the window's parts. Each part owns its
// controls in its subsystem's folder; the parts share the open catalogue
// through the session, and the frame wires what one asks of another.
class frmBrowser : public QMainWindow, private PasteRules {
    Q_OBJECT
public:
    explicit frmBrowser(const Edition& edition, QWidget* parent = nullptr);
    ~frmBrowser() override;

    const Edition& edition() const { return m_session.edition(); }
    // The open catalogue, shared by every part of the window.
    CatalogueSession& session() { return m_session; }
    StatusLine& status() { return *m_status; }
    const QString& db_path() const { return m_session.db_path(); }

    // Start-up; argument is the command line's first argument (may be empty).
    void Form_Load(const QString& argument);

    // ---- the busy lock and the status bar ----------------------------------
    ui::BusyState& busy_state() { return m_session.busy(); }
    bool integrity_check_running() const;
    void set_message(const QString& text, const QString& detail = {}) { m_status->set_message(text, detail); }
    void set_timing(const QString& text) { m_status->set_timing(text); }
    QString message_text() const { return m_status->message_text(); }
    QString message_tip() const { return m_status->message_tip(); }
    QString ready_text() const { return m_status->ready_text(); }
    QString tab_text() const { return m_status->tab_text(); }
    QString timing_text() const { return m_status->timing_text(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // ---- the handlers of the frame's own controls ----------------------------
    void Form_Activate();
    // Esc sets both abort flags; the key then goes on to the focused control.
    void Form_KeyPress(int key_ascii);
    void SSTab_main_Click(int previous_tab);
    void mnuFileExit_Click();
    void Command3_Click();   // the exit button
    void mnuDb_Click();
    void mnuRefresh_Click();
    void mnuAbout_Click();

    // Builders of the frame's own controls (frm_browser_ui.cpp).
    void build_menus();
    void build_counters(QGridLayout* layout);
    void name_controls();
    // Each creates a part and wires what it asks of the others.
    void wire_database_page();
    void wire_search();
    void wire_page_view();
    void wire_maintenance();
    void wire_loader();
    void wire_catalogue_file();
    void connect_frame_handlers();
    // The frame's filter sees the events of w and of every widget put into
    // it, before they reach them (Esc, a click on the progress bar): the
    // window's alone, where an application's filter would see every window's.
    void watch_keys(QWidget* w);
    // The catalogue's life in the main tabs, the "Open DB" / "Close DB" menu
    // and the title.
    void show_catalogue(const CatalogueView& view);
    // The main tabs as with nothing open.
    void show_closed_tabs();
    // The file size and record counters, on the session's counts_changed.
    void show_counts();
    // Exit asked for while busy: why not now, until the action ends.
    void refuse_exit();
    // The key rule of a box of the page view, the search tab or the maintenance tab.
    WindowPart::PasteRule paste_rule_of(const QWidget* box) const override;

    CatalogueSession m_session;
    StatusLine* m_status = nullptr;
    CatalogueFile* m_file = nullptr;
    PageView* m_page_view = nullptr;
    NoteActions* m_notes = nullptr;
    LoaderTab* m_loader = nullptr;
    SearchSortTab* m_search = nullptr;
    ImportExportPage* m_import_export = nullptr;
    MaintenanceTab* m_maintenance = nullptr;
    DatabasePage* m_database_page = nullptr;
    QPointer<QWidget> m_about;

    QMenu* mnuFile = nullptr;
    QAction* mnuDbRnm = nullptr;      // File > Renumber pages (a mode of the next open)
    QAction* mnuFileExit = nullptr;
    QAction* mnuDb = nullptr;         // "Open DB" / "Close DB"
    QAction* mnuRefresh = nullptr;
    QMenu* mnuThumbnailQuality = nullptr;
    std::array<QAction*, 7> mnuTQ{};  // 1..6 by quality code
    QMenu* mnuZoomQuality = nullptr;
    std::array<QAction*, 7> mnuZQ{};
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QTabWidget* SSTab_main = nullptr; // Pictures & Movies, Search & Sort, Loader
    QLabel* Text2 = nullptr;          // catalogue file size in bytes
    QLabel* Label27 = nullptr;        // number of records
    QPushButton* Command3 = nullptr;  // exit
};

} // namespace mosswick
