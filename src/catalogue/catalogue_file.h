#pragma once

#include "core/catalogue_session.h"
#include "platform/store/background_check.h"
#include "platform/store/checked_files.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMainWindow;
class QProgressBar;
class QTabWidget;
class QWidget;

namespace mosswick {

class WindowPart;

// The open catalogue file's life in the main window: choosing and opening it
// (password prompt, Access conversion, upgrade, renumber mode), the check of
// the whole file behind the shown page, refresh and close, and the window's
// two resting states it leads to.
class CatalogueFile : public QObject {
    Q_OBJECT
public:
    // The frame's own controls the catalogue's life changes.
    struct Frame {
        QMainWindow* window = nullptr;   // its title, the dialogs' parent, its status bar
        QAction* mnuDb = nullptr;        // "Open DB" / "Close DB"
        QAction* mnuDbRnm = nullptr;     // renumber mode
        QTabWidget* SSTab_main = nullptr;
    };
    // What the catalogue's life asks of particular parts.
    struct Hooks {
        std::function<QString()> listed_folder;   // where the Open dialog starts
        std::function<void()> renumber_all;       // the renumber mode's run
        std::function<void()> begin_open;         // page box and searches ready for a new count
        std::function<void()> show_first_page;    // page 1 of a catalogue with pictures
        std::function<void()> no_pages;           // an empty catalogue
        std::function<QString()> page_warning;    // what the last page shown found wrong
        std::function<void()> opening;            // beyond the parts' own opening()
    };

    // parts: every part of the window, in the order they are reset and enabled.
    CatalogueFile(CatalogueSession& session, const Frame& frame, std::vector<WindowPart*> parts, Hooks hooks,
                  QObject* parent = nullptr);
    ~CatalogueFile() override;

    // "Open DB" / "Close DB": asks for a catalogue and opens it, or closes the open one.
    void mnuDb_Click();
    // Reads the counts and shows page 1 of the open catalogue.
    void open_database();
    void mnuRefresh_Click();
    // The program's first argument: the catalogue it names opens at start.
    void open_from_command_line(const QString& argument);
    QString cmdline_path;
    QString cmdline_file;
    bool opened_from_cmdline = false;

    // The resting states: every control as with nothing open, and no page shown.
    void reset_form();
    void clear_page_view();
    void close_catalogue_connection();
    // What closing, a refused open and a password change leave behind.
    void show_closed_state();
    // The main tabs as with nothing open.
    void show_closed_tabs();

    // ---- the integrity check behind the shown page (check_behind.cpp) ----
    // Checks the whole open catalogue on a connection of its own in a worker
    // thread; until it has passed nothing writes (held as read-only).
    void start_integrity_check();
    // Esc or a click on the check's bar: the catalogue stays read-only.
    void stop_integrity_check();
    // Stops a running check and waits for its thread (a few pages at most).
    void end_integrity_check();
    bool integrity_check_running() const;
    // Opens the check's own connection, on the check's thread; tests replace it.
    store::BackgroundIntegrityCheck::Opener open_check_connection;

private:
    // The open catalogue as it was found sound, with the engine's count of
    // other connections' commits then.
    struct Sound {
        QString path;
        store::FileState state;
        QVariant data_version;
    };

    void set_title(const QString& title);
    void report_open_failure(const store::Error& error);
    // A file that would have to change to open, on a read-only disk: nothing opens.
    void refuse_unchangeable(const QString& message);
    void password_prompt_cancelled();
    // Every part offers what the open catalogue allows.
    void enable_catalogue_controls();
    // Holds every write until the integrity check has passed.
    void hold_writes();
    // The integrity check in the window's thread, before an action that
    // writes at once (upgrade, renumber mode); false with its message shown.
    bool check_in_foreground(store::Connection& conn);
    // ---- the record of catalogues found sound (check_behind.cpp) ----
    // The catalogue conn opened was found sound in state (its check passed,
    // or it is recorded so): a read-only one is recorded; one open for
    // writing loses its entry until it is closed cleanly, so that after a
    // program killed meanwhile it is checked again.
    void found_sound(store::Connection& conn, const store::FileState& state);
    // Records a catalogue found sound and just closed, in the state its
    // close left it, unless another program changed it meanwhile.
    void record_clean_close(const Sound& sound);

    // Leaves the catalogue closed with a message (a failed open).
    void close_with_message(const QString& message, const QString& detail = {});
    void integrity_check_finished(const store::IntegrityResult& result);
    void common_ending();
    // An Access catalogue being opened (jet_open.cpp): asks, converts it in
    // place and sets db_password to the new catalogue's key. False when it
    // was not converted; the window then says why and nothing is open.
    bool convert_access_catalogue(const QString& path, QString& note);

    CatalogueSession& m_session;
    Frame m_frame;
    std::vector<WindowPart*> m_parts;
    Hooks m_hooks;
    std::unique_ptr<store::BackgroundIntegrityCheck> m_check;
    bool m_writes_held = false;
    QWidget* m_check_panel = nullptr;
    QLabel* m_check_label = nullptr;
    QProgressBar* m_check_progress = nullptr;
    // The file's state when the check behind the page started.
    std::optional<store::FileState> m_check_started;
    store::CheckedCatalogues m_checked;
    std::optional<Sound> m_sound;
};

} // namespace mosswick
