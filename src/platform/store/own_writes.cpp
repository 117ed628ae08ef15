#include "platform/store/own_writes.h"

#include "platform/store/sqlite.h"

#include <utility>

namespace mosswick::store {

namespace {

constexpr char k_name[] = "mosswick.own_writes";

OwnWrites* of(sqlite3* db)
{
    return db ? static_cast<OwnWrites*>(sqlite3_get_clientdata(db, k_name)) : nullptr;
}

// Pages the connection has written to its files so far.
int pages_written(sqlite3* db)
{
    int current = 0;
    int high = 0;
    sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_WRITE, &current, &high, 0);
    return current;
}

} // namespace

OwnWrites::OwnWrites(sqlite3* db, QString path, const FileState& from)
    : m_db(db), m_path(std::move(path)), m_state(from), m_pages_written(pages_written(db))
{
    sqlite3_set_clientdata(m_db, k_name, this, nullptr);
}

OwnWrites::~OwnWrites()
{
    if (of(m_db) == this)
        sqlite3_set_clientdata(m_db, k_name, nullptr, nullptr);
}

void OwnWrites::statement_begins(sqlite3* db, sqlite3_stmt* statement)
{
    // A write about to open a transaction.
    if (OwnWrites* own = of(db);
        own && !sqlite3_stmt_readonly(statement) && sqlite3_txn_state(db, "main") != SQLITE_TXN_WRITE)
        own->look(true);
}

void OwnWrites::statement_ended(sqlite3* db)
{
    if (OwnWrites* own = of(db))
        own->look(false);
}

void OwnWrites::look(bool write_begins)
{
    if (!m_state)
        return;
    const int written = pages_written(m_db);
    const bool wrote = std::exchange(m_pages_written, written) != written;
    // A statement that wrote no page left the file as it was.
    if (!wrote && !write_begins)
        return;
    const std::optional<FileState> now = file_state(m_path);
    if (now && now->same_file(*m_state) && (wrote || *now == *m_state))
        m_state = now;
    else
        m_state.reset();
}

} // namespace mosswick::store
