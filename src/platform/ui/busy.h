#pragma once

#include <QObject>
#include <QPointer>
#include <QScopedValueRollback>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QAction;
class QWidget;

namespace mosswick::ui {

// How the running action can be stopped; neither: it finishes by itself.
struct StopWays {
    bool esc = false;
    bool progress_bar = false;
};

// A request to stop the running action. Each is kept apart: the action
// listens to those that stop it, and the edition says which Esc it hears.
enum class StopRequest {
    Esc,           // Esc: stops a search, a pass, a conversion, a note's load or a check
    UpdateEsc,     // Esc as the update pass hears it, where Esc stops that pass
    ProgressBar,   // a click on the progress bar
};

// The main window's busy state: a counted lock. While it is held, input to
// the window is swallowed except Esc and a click on the progress bar, the
// close box is refused and the actions that open, close or change the
// catalogue are disabled. Other windows of the program stay usable.
class BusyState : public QObject {
    Q_OBJECT
public:
    explicit BusyState(QObject* parent = nullptr);
    ~BusyState() override;

    // The window to lock and the one widget whose clicks still get through.
    void attach(QWidget* window, QWidget* progress_bar);
    // Actions disabled while busy (restored to their own state afterwards).
    void add_guarded_action(QAction* action);
    // A way to ask for exit whose clicks still get through while busy, where
    // `where` (in the widget's coordinates) says so, everywhere without it:
    // the exit is then refused with its reason instead of being ignored.
    void add_exit_control(QWidget* widget, std::function<bool(const QPoint&)> where = {});

    void acquire();
    // Releasing below zero is ignored: enabling an enabled window changes nothing.
    void release();
    bool busy() const { return m_count > 0; }
    int depth() const { return m_count; }
    // How the running action says it can be stopped (see StopOffer).
    StopWays stop_ways() const { return m_stop_ways; }

    // Records a request to stop; it stays until it is taken or cleared.
    void request_stop(StopRequest request) { m_stops[index(request)] = true; }
    // Whether the request is recorded; it stays recorded.
    bool stop_requested(StopRequest request) const { return m_stops[index(request)]; }
    // Whether the request is recorded, forgetting it: the loop it stops takes it.
    bool take_stop_request(StopRequest request) { return std::exchange(m_stops[index(request)], false); }
    // Forgets the request: a loop clears it as it starts, so an old Esc or click never stops it.
    void clear_stop_request(StopRequest request) { m_stops[index(request)] = false; }
    // A search or a list fill is running (see SearchRunning).
    bool search_running() const { return m_search_running; }

signals:
    void busy_changed(bool busy);
    // The window's close was refused because it is busy.
    void close_refused();

protected:
    // Installed on the application, and only while busy: it must see every
    // input event of the window's widgets, also of those made meanwhile,
    // before any filter of their own (a part's click or key hooks) acts on
    // it, and only the application's filters come first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lock();
    void unlock();
    bool inside_window(QObject* obj) const;
    bool exit_click(QObject* watched, QEvent* event) const;

    static size_t index(StopRequest request) { return size_t(request); }

    friend class StopOffer;
    friend class SearchRunning;
    struct ExitControl {
        QPointer<QWidget> widget;
        std::function<bool(const QPoint&)> where;
    };

    int m_count = 0;
    StopWays m_stop_ways;
    std::array<bool, 3> m_stops{};
    bool m_search_running = false;
    std::vector<ExitControl> m_exit_controls;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_progress;
    std::vector<QPointer<QAction>> m_actions;
    std::vector<bool> m_action_state;
};

// Holds the busy state for a scope; released on every way out.
class BusyLock {
public:
    explicit BusyLock(BusyState& state) : m_state(&state) { m_state->acquire(); }
    ~BusyLock() { release(); }
    BusyLock(const BusyLock&) = delete;
    BusyLock& operator=(const BusyLock&) = delete;
    void release()
    {
        if (m_state) {
            m_state->release();
            m_state = nullptr;
        }
    }

private:
    BusyState* m_state;
};

// Says for a scope how the running action can be stopped; the ways of an
// enclosing action come back at its end.
class StopOffer {
public:
    StopOffer(BusyState& state, StopWays ways) : m_ways(state.m_stop_ways, ways) {}

private:
    QScopedValueRollback<StopWays> m_ways;
};

// Says for a scope that a search or a list fill is running: Esc is then
// its own, and no second one starts.
class SearchRunning {
public:
    explicit SearchRunning(BusyState& state) : m_running(state.m_search_running, true) {}

private:
    QScopedValueRollback<bool> m_running;
};

// Lets the event loop run inside a long loop, at most every ~30 ms so that
// the loop is not slowed down by repainting.
class EventPump {
public:
    EventPump();
    // Processes pending events when enough time has passed since the last time.
    void maybe_pump();
    // Processes pending events now.
    void pump();

private:
    qint64 m_last = 0;
};

// Repaints what changed (a message, a title) without taking the user's
// input, which waits until the action is over.
void repaint_pending();

} // namespace mosswick::ui
