#pragma once

#include "platform/store/integrity_check.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace mosswick::store {

// Runs check_integrity on a connection of its own in a worker thread. The
// connection is opened (open_connection, on the worker: a key derivation
// takes a while), used and closed on the worker alone, which touches
// nothing of this object. Destroying the object cancels the check and waits
// for it, which ends within a few pages, so that no check ever outlives the
// object that reports it.
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

    // Starts the check and returns once it runs on its thread; nothing while it runs.
    void start();
    // Asks the check to stop; finished(Stopped) follows soon.
    void stop();
    // From start() until finished() is emitted.
    bool running() const { return m_running; }

signals:
    // The share done so far, 0..1000 (an estimate), now and then.
    void progress(int permille);
    // Delivered on the thread that owns this object, once.
    void finished(const mosswick::store::IntegrityResult& result);

private:
    void report_end();

    Opener m_open;
    // Its own thread, as long as the check lasts: the global pool's threads
    // are for short work (searches, resampling) that must not wait behind it.
    QThreadPool m_thread;
    QFuture<IntegrityResult> m_future;
    QFutureWatcher<IntegrityResult> m_watcher;
    bool m_running = false;
};

} // namespace mosswick::store
