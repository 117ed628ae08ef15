#include "platform/ui/busy.h"

#include "platform/ui/vb.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace mosswick::ui {

BusyState::BusyState(QObject* parent) : QObject(parent) {}

BusyState::~BusyState()
{
    if (m_count > 0 && qApp)
        qApp->removeEventFilter(this);
}

void BusyState::attach(QWidget* window, QWidget* progress_bar)
{
    m_window = window;
    m_progress = progress_bar;
}

void BusyState::add_guarded_action(QAction* action)
{
    m_actions.emplace_back(action);
}

void BusyState::add_exit_control(QWidget* widget, std::function<bool(const QPoint&)> where)
{
    m_exit_controls.push_back({widget, std::move(where)});
}

void BusyState::acquire()
{
    if (m_count++ == 0)
        lock();
}

void BusyState::release()
{
    if (m_count == 0)
        return;
    if (--m_count == 0)
        unlock();
}

void BusyState::lock()
{
    m_action_state.clear();
    for (const auto& a : m_actions) {
        m_action_state.push_back(a && a->isEnabled());
        if (a)
            a->setEnabled(false);
    }
    if (qApp)
        qApp->installEventFilter(this);
    // Only the locked window shows it: dialogs asked meanwhile keep an arrow.
    if (m_window)
        m_window->setCursor(Qt::BusyCursor);
    emit busy_changed(true);
}

void BusyState::unlock()
{
    for (size_t i = 0; i < m_actions.size() && i < m_action_state.size(); ++i)
        if (m_actions[i])
            m_actions[i]->setEnabled(m_action_state[i]);
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_window)
        m_window->unsetCursor();
    emit busy_changed(false);
}

bool BusyState::inside_window(QObject* obj) const
{
    if (!m_window || !obj || !obj->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(obj);
    return w == m_window || m_window->isAncestorOf(w) || w->window() == m_window;
}

bool BusyState::exit_click(QObject* watched, QEvent* event) const
{
    for (const ExitControl& control : m_exit_controls)
        if (control.widget && watched == control.widget)
            return !control.where || control.where(static_cast<QMouseEvent*>(event)->position().toPoint());
    return false;
}

bool BusyState::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (!inside_window(watched))
            return false;
        if (m_progress && (watched == m_progress || m_progress->isAncestorOf(static_cast<QWidget*>(watched))))
            return false;
        return !exit_click(watched, event);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut: {
        if (!inside_window(watched))
            return false;
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape)
                return false;
        }
        return true;
    }
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::DragEnter:
        return inside_window(watched);
    case QEvent::Close:
        if (watched == m_window) {
            event->ignore();
            emit close_refused();
            return true;
        }
        return false;
    default:
        return false;
    }
}

EventPump::EventPump() : m_last(tick_count()) {}

void EventPump::maybe_pump()
{
    const qint64 now = tick_count();
    if (now - m_last >= 30) {
        pump();
    }
}

void repaint_pending()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void EventPump::pump()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_last = tick_count();
}

} // namespace mosswick::ui
