#pragma once

#include "platform/store/integrity_check.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace mosswick::store {

// Runs check_integrity on a connection of its own in a worker thread. The
// connection is opened (open_connection, on the worker: a key derivation
// takes a while), used and closed on the worker alone. Destroying the object
// stops the check and waits for the thread, which ends within a few pages,
// so that no thread ever outlives the connection it reads.
class BackgroundIntegrityCheck : public QObject {
    Q_OBJECT
public:
    // stopping() turns true once the check is to stop; an opener that waits
    // for something watches it.
    using Opener = std::function<std::unique_ptr<Connection>(Error& error, const std::function<bool()>& stopping)>;
    explicit BackgroundIntegrityCheck(Opener open_connection, QObject* parent = nullptr);
    ~BackgroundIntegrityCheck() override;
    BackgroundIntegrityCheck(const BackgroundIntegrityCheck&) = delete;
    BackgroundIntegrityCheck& operator=(const BackgroundIntegrityCheck&) = delete;

    void start();
    // Asks the check to stop; finished(Stopped) follows soon.
    void stop();
    bool running() const { return m_running; }
    // Share done so far, 0..1000 (an estimate).
    int permille() const { return m_permille.load(); }

signals:
    // Delivered on the thread that owns this object.
    void finished(const mosswick::store::IntegrityResult& result);

private:
    Opener m_open;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_permille{0};
    bool m_running = false;
};

} // namespace mosswick::store
