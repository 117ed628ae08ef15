#include "platform/store/background_check.h"

#include "platform/store/connection.h"

#include <QMetaObject>

namespace mosswick::store {

BackgroundIntegrityCheck::BackgroundIntegrityCheck(Opener open_connection, QObject* parent)
    : QObject(parent), m_open(std::move(open_connection))
{
}

BackgroundIntegrityCheck::~BackgroundIntegrityCheck()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundIntegrityCheck::start()
{
    if (m_running || m_thread.joinable() || !m_open)
        return;
    m_running = true;
    m_stop = false;
    m_thread = std::thread([this] {
        IntegrityResult result;
        {
            std::unique_ptr<Connection> connection = m_open(result.error, [this] { return m_stop.load(); });
            if (connection && !m_stop)
                result = check_integrity(*connection, [this](int permille) {
                    m_permille = permille;
                    return !m_stop.load();
                });
            else if (connection || m_stop)
                result.outcome = IntegrityOutcome::Stopped;
        }
        m_permille = 1000;
        // Dropped unread when this object is destroyed first.
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                if (m_thread.joinable())
                    m_thread.join();
                m_running = false;
                emit finished(result);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundIntegrityCheck::stop()
{
    m_stop = true;
}

} // namespace mosswick::store
