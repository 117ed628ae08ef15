#pragma once

#include <QObject>

#include <functional>

class QEvent;

namespace mosswick {

// Calls a function for each event of one object; the function returns true
// to swallow the event. Owned by the watched object.
class EventHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(QEvent*)>;
    // Installs the hook on watched.
    static EventHook* install(QObject* watched, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventHook(QObject* watched, Handler handler);
    Handler m_handler;
};

} // namespace mosswick
