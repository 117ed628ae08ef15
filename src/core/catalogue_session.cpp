#include "core/catalogue_session.h"

#include "core/catalogue_logic.h"

namespace mosswick {

CatalogueSession::CatalogueSession(const Edition& edition, QObject* parent) : QObject(parent), m_edition(edition) {}

CatalogueSession::~CatalogueSession() = default;

qint64 CatalogueSession::page_count() const
{
    return mosswick::page_count(m_picture_count);
}

void CatalogueSession::begin_open(const QString& path, bool read_only)
{
    m_db_path = path;
    m_read_only = read_only;
}

void CatalogueSession::set_password(const QString& password)
{
    m_password = password;
}

void CatalogueSession::file_opened()
{
    m_open = true;
}

void CatalogueSession::attach_connection(std::unique_ptr<store::Connection> conn)
{
    m_conn = std::move(conn);
    m_data_folder.clear();
}

store::Error CatalogueSession::read_catalogue()
{
    store::Error error;
    m_table_open = m_conn != nullptr;
    m_picture_count = m_conn ? m_conn->record_count(error) : 0;
    if (!m_conn)
        return store::make_error(store::ErrorKind::Engine, QStringLiteral("No catalogue is open."));
    if (error)
        return error;
    m_db_folder = folder_of(m_db_path);
    m_data_folder = m_db_folder + QStringLiteral("data/");
    m_current_page = 1;
    // Shown again even when the count is the same: a refresh reads the file anew.
    if (m_picture_count > 0)
        emit counts_changed();
    return {};
}

void CatalogueSession::finish_open()
{
    emit opened();
}

void CatalogueSession::abandon_open()
{
    m_open = false;
    m_password.clear();
    m_db_path.clear();
}

void CatalogueSession::close_table()
{
    m_table_open = false;
}

std::unique_ptr<store::Connection> CatalogueSession::take_connection()
{
    m_table_open = false;
    return std::exchange(m_conn, nullptr);
}

void CatalogueSession::close_catalogue()
{
    m_conn.reset();
    m_table_open = false;
    m_open = false;
    m_db_path.clear();
    m_db_folder.clear();
    m_data_folder.clear();
    m_read_only = false;
    m_picture_count = 0;
    m_current_page = 0;
    emit closed();
}

void CatalogueSession::set_read_only(bool read_only)
{
    if (read_only == m_read_only)
        return;
    m_read_only = read_only;
    emit writable_changed(!read_only);
}

void CatalogueSession::set_picture_count(qint64 count)
{
    if (count == m_picture_count)
        return;
    m_picture_count = count;
    emit counts_changed();
}

void CatalogueSession::catalogue_written(std::optional<qint64> count)
{
    if (count)
        m_picture_count = *count;
    emit counts_changed();
}

void CatalogueSession::recount_after_write()
{
    if (!m_conn)
        return;
    store::Error error;
    const qint64 n = m_conn->record_count(error);
    catalogue_written(error ? std::nullopt : std::optional<qint64>(n));
}

void CatalogueSession::move_to_page(qint64 page)
{
    m_current_page = page;
}

void CatalogueSession::page_drawn(qint64 page)
{
    emit page_shown(page);
}

} // namespace mosswick
