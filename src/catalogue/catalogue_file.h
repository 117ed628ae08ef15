#pragma once

#include "core/catalogue_access.h"
#include "core/catalogue_logic.h"
#include "core/catalogue_session.h"
#include "platform/store/background_check.h"
#include "platform/store/checked_files.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QMainWindow;
class QProgressBar;
class QWidget;

namespace mosswick {

class LoaderListing;
class WindowPart;

// Where the catalogue's life stands.
enum class CatalogueState {
    None,           // nothing open
    Opening,        // a file being chosen, opened, converted or upgraded; no page shown yet
    OpenReadOnly,   // page 1 shown; nothing may be written
    OpenWritable,   // page 1 shown; writes allowed
    Checking,       // page 1 shown; nothing written until the check behind it has ended
};

// The catalogue's life as the frame shows it in its main tabs, its
// "Open DB" / "Close DB" menu and its title. An opening's title is the
// chosen file (before one is chosen: the caption of choosing); a shown
// catalogue keeps it.
struct CatalogueView {
    CatalogueState state = CatalogueState::None;
    // With nothing open, what the window still shows of the catalogue:
    // nothing (the menu offers "Open DB", the tabs as with nothing open);
    // the tabs as they were (a password change, an opening let go); or the
    // menu and the tabs as they were (nothing chosen, a conversion declined).
    enum class Left { Closed, Released, Untouched };
    Left left = Left::Closed;
    // With nothing open: the caption after a close, the one at start (an
    // opening refused or declined), or the title shown kept.
    enum class Title { Closed, AtStart, Kept };
    Title title = Title::Closed;
};

// The open catalogue file's life in the main window: choosing and opening it
// (password prompt, Access conversion, upgrade, renumber mode), the check of
// the whole file behind the shown page, refresh and close, and the window's
// two resting states it leads to, announced as they change (view_changed).
class CatalogueFile : public QObject, public CatalogueAccess {
    Q_OBJECT
public:
    // What of the frame the catalogue's life uses.
    struct Frame {
        QMainWindow* window = nullptr;        // the dialogs' parent, its status bar
        std::function<bool()> renumber_mode;  // File > Renumber pages is ticked
    };

    // listing: the loader's lists; the Open dialog starts in the folder they show.
    CatalogueFile(CatalogueSession& session, Frame frame, const LoaderListing& listing, QObject* parent = nullptr);
    ~CatalogueFile() override;
    // Every part of the window, in the order they are reset and enabled;
    // given once the frame has made them (some ask this object at theirs).
    void set_parts(std::vector<WindowPart*> parts) { m_parts = std::move(parts); }

    // "Open DB" / "Close DB": asks for a catalogue and opens it, or closes
    // the open one; false when an opening ended early.
    bool mnuDb_Click();
    // "Refresh": reads the open catalogue again and shows its page 1.
    void mnuRefresh_Click();
    // The program's first argument: the catalogue it names opens at start.
    void open_from_command_line(const QString& argument);
    // The catalogue shown was opened from the command line (the focus stays
    // where the program put it).
    bool opened_from_command_line() const { return m_opened_from_cmdline; }

    // Every control as with nothing open, and no page shown (start-up).
    void reset_form();
    // The password change copied the catalogue's file (or failed): nothing
    // is open; the main tabs stay as they were.
    void closed_by_password_change();

    // ---- what the parts ask before they go on (CatalogueAccess) ----
    bool release_connection() override;
    bool close_catalogue() override;
    bool reopen() override;

    // ---- the integrity check behind the shown page (check_behind.cpp) ----
    // Esc or a click on the check's bar: the catalogue stays read-only.
    void stop_integrity_check();
    // From the check's start until its verdict has been said.
    bool integrity_check_running() const;
    // Opens the check's own connection, on the check's thread. The seam
    // stays for tests alone: they hold a check at its start to see the
    // window while it runs, which no control can do.
    store::BackgroundIntegrityCheck::Opener open_check_connection;

signals:
    // The catalogue's life moved on: what the frame shows of it.
    void view_changed(const mosswick::CatalogueView& view);
    // Renumber mode: the whole catalogue is to be renumbered now.
    void renumber_requested();
    // A catalogue's count is about to be read and shown.
    void reading_counts();
    // Page 1 of a catalogue with pictures is to be shown.
    void first_page_requested();
    // The catalogue read has no pictures: there is no page to show.
    void no_pages();

private:
    // The open catalogue found sound, with the engine's count of other
    // connections' commits then; its connection follows its own writes.
    struct Sound {
        QString path;
        QVariant data_version;
    };
    // An opening under way, handed from step to step.
    struct Attempt {
        QString path;
        std::unique_ptr<store::Connection> conn;
        // Said with every later message of this opening when an Access file was converted.
        QString converted;
        // The file's state when it opened, and whether it was found sound in that state before.
        std::optional<store::FileState> found;
        bool recorded = false;
    };
    // How an opening that shows no page ends; give_up() carries it out.
    struct GiveUp {
        enum class Way {
            NothingChosen,   // the Open dialog was cancelled: nothing began
            LetGo,           // a prompt or question declined, the renumber run done: nothing was shown
            Closed,          // a failure or a refusal: the window closes on it, the password forgotten
        };
        Way way = Way::Closed;
        // The message it leaves; empty keeps the one shown.
        StatusText said;
        // The window's title goes back to the one at start; otherwise it is
        // kept (after closing: the closed caption).
        bool title_at_start = false;
        // LetGo: the menu offers "Open DB" again.
        bool menu_to_open = false;

        static GiveUp nothing_chosen() { return {Way::NothingChosen, {}, false, false}; }
        static GiveUp let_go(const QString& text = {}) { return {Way::LetGo, {text, {}}, false, true}; }
        static GiveUp closed(const QString& text, const QString& detail = {}, bool title_at_start = false)
        {
            return {Way::Closed, {text, detail}, title_at_start, false};
        }
    };
    using Step = std::optional<GiveUp>;

    // ---- the steps of an opening; each ends it early by returning a GiveUp ----
    // Opens the chosen catalogue and shows it: false when it ended early.
    bool open_chosen_catalogue();
    Step run_steps(Attempt& attempt);
    // The file: the Open dialog's, or the command line's.
    Step choose_file(Attempt& attempt);
    // Its connection: an Access file converted, the password asked for.
    Step connect_file(Attempt& attempt);
    // An old layout upgraded, where the edition upgrades.
    Step upgrade_old_layout(Attempt& attempt);
    // The connection handed to the session; the parts forget the last catalogue.
    void attach(Attempt& attempt);
    // Renumber mode: the run, and nothing shown.
    Step renumber(const Attempt& attempt);
    // Page 1 shown; writes held until the check behind it passes.
    Step show_opened(const Attempt& attempt);
    // An Access catalogue being opened (jet_open.cpp): asks, converts it in
    // place and sets the session's password to the new catalogue's key; the
    // note it leaves goes into attempt.converted.
    Step convert_access_catalogue(Attempt& attempt);
    // Asks for the password into the session; false when the prompt was cancelled.
    bool ask_password();
    // A failure of the store: closed, with what the edition says of it.
    GiveUp failed(const store::Error& error) const;
    // The one way out of an opening that shows no page (and of a failed reading).
    void give_up(const GiveUp& how);

    void close_by_menu();
    // Reads the counts and shows page 1 of the open catalogue (after a pass
    // that renumbered it); a failure leaves the window closed with its message.
    void open_database();
    // Reads the counts and shows page 1; a failure is returned, not said.
    Step read_and_show();
    void clear_page_view();
    // Every part offers what the open catalogue allows.
    void enable_catalogue_controls();
    // Closes the catalogue's connection (its file about to be copied, the
    // window closing); a check still running is stopped and waited for.
    void close_catalogue_connection();
    // Nothing of this program holds the catalogue's file open.
    bool file_released() const;
    // What closing, a refused open and a password change leave behind.
    void show_closed_state(CatalogueView::Left left, CatalogueView::Title title);
    void announce(CatalogueState state, CatalogueView::Left left = {}, CatalogueView::Title title = {});
    // A page is shown: read-only, writable or checked behind.
    CatalogueState shown_state() const;

    // ---- the check behind the page and the record of sound catalogues (check_behind.cpp) ----
    // Checks the whole open catalogue on a connection of its own in a worker
    // thread; until it has passed nothing writes (held as read-only).
    void start_integrity_check();
    // Stops a running check and waits for it (a few pages at most).
    void end_integrity_check();
    void integrity_check_finished(const store::IntegrityResult& result);
    // The verdict that came while page 1 was being shown.
    void say_early_verdict();
    // Holds every write until the integrity check has passed.
    void hold_writes();
    // The integrity check in the window's thread, before an action that
    // writes at once (upgrade, renumber mode); false with its message shown.
    bool check_in_foreground(store::Connection& conn);
    // Before a write at once: the check in front, unless the opening found
    // the file recorded sound.
    bool sound_before_writing(const Attempt& attempt, store::Connection& conn);
    // The catalogue conn opened was found sound in state (its check passed,
    // or it is recorded so): a read-only one is recorded; one open for
    // writing loses its entry until it is closed cleanly, so that after a
    // program killed meanwhile it is checked again. From then on conn
    // follows the file through its own writes.
    void found_sound(store::Connection& conn, const store::FileState& state);
    // Records the catalogue at path, found sound and just closed, when it is
    // in the state left: as found sound, or as this program's own last
    // write left it. Any other state drops its entry.
    void record_clean_close(const QString& path, const std::optional<store::FileState>& left);

    CatalogueSession& m_session;
    Frame m_frame;
    std::vector<WindowPart*> m_parts;
    const LoaderListing& m_listing;
    // The command line's catalogue, until its opening takes it.
    QString m_cmdline_path;
    bool m_opened_from_cmdline = false;
    std::unique_ptr<store::BackgroundIntegrityCheck> m_check;
    bool m_writes_held = false;
    QWidget* m_check_panel = nullptr;
    QLabel* m_check_label = nullptr;
    QProgressBar* m_check_progress = nullptr;
    // The state of the file the window holds when the check behind the page started.
    std::optional<store::FileState> m_check_started;
    // Page 1 of an opening is being shown: the check's verdict waits for
    // the opening's own message.
    bool m_showing = false;
    std::optional<store::IntegrityResult> m_early_verdict;
    store::CheckedCatalogues m_checked;
    std::optional<Sound> m_sound;
};

} // namespace mosswick
