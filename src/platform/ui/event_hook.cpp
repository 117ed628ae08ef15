#include "platform/ui/event_hook.h"

namespace mosswick {

EventHook::EventHook(QObject* watched, Handler handler) : QObject(watched), m_handler(std::move(handler)) {}

EventHook* EventHook::install(QObject* watched, Handler handler)
{
    auto* hook = new EventHook(watched, std::move(handler));
    watched->installEventFilter(hook);
    return hook;
}

bool EventHook::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && m_handler && m_handler(event))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace mosswick
