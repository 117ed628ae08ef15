#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QWidget;

namespace mosswick::ui {

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

    void acquire();
    // Releasing below zero is ignored: enabling an enabled window changes nothing.
    void release();
    bool busy() const { return m_count > 0; }
    int depth() const { return m_count; }

signals:
    void busy_changed(bool busy);
    // The window's close was refused because it is busy.
    void close_refused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lock();
    void unlock();
    bool inside_window(QObject* obj) const;

    int m_count = 0;
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
