#include "platform/store/background_check.h"

#include "platform/store/connection.h"

#include <QPromise>
#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>

namespace mosswick::store {

namespace {

constexpr int k_permille_done = 1000;

// The check on the worker: opens, reads and closes its connection. A
// cancelled future drops the result; the one who cancelled expects Stopped.
void run_check(QPromise<IntegrityResult>& promise, const BackgroundIntegrityCheck::Opener& open,
               const std::shared_ptr<QSemaphore>& begun)
{
    begun->release();
    promise.setProgressRange(0, k_permille_done);
    const auto stopping = [&promise] { return promise.isCanceled(); };
    IntegrityResult result;
    std::unique_ptr<Connection> connection = open(result.error, stopping);
    if (connection && !stopping())
        result = check_integrity(*connection, [&](int permille) {
            promise.setProgressValue(permille);
            return !stopping();
        });
    else if (connection || stopping())
        result.outcome = IntegrityOutcome::Stopped;
    connection.reset();
    promise.addResult(result);
}

} // namespace

BackgroundIntegrityCheck::BackgroundIntegrityCheck(Opener open_connection, QObject* parent)
    : QObject(parent), m_open(std::move(open_connection))
{
    m_thread.setMaxThreadCount(1);
    connect(&m_watcher, &QFutureWatcher<IntegrityResult>::progressValueChanged, this,
            &BackgroundIntegrityCheck::progress);
    connect(&m_watcher, &QFutureWatcher<IntegrityResult>::finished, this, &BackgroundIntegrityCheck::report_end);
}

BackgroundIntegrityCheck::~BackgroundIntegrityCheck()
{
    // The watcher's pending reports go with it, unread.
    m_future.cancel();
    m_future.waitForFinished();
}

void BackgroundIntegrityCheck::start()
{
    if (m_running || !m_open)
        return;
    m_running = true;
    // Returned from once the check runs: a task cancelled while still queued
    // would never run its opener, which is to hear every stop.
    const auto begun = std::make_shared<QSemaphore>();
    m_future = QtConcurrent::run(&m_thread, run_check, m_open, begun);
    m_watcher.setFuture(m_future);
    begun->acquire();
}

void BackgroundIntegrityCheck::stop()
{
    m_future.cancel();
}

void BackgroundIntegrityCheck::report_end()
{
    IntegrityResult result;
    // A result reported before a late stop still counts.
    if (m_future.resultCount() > 0)
        result = m_future.resultAt(0);
    else
        result.outcome = IntegrityOutcome::Stopped;
    m_running = false;
    emit finished(result);
}

} // namespace mosswick::store
