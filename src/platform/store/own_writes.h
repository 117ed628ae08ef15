#pragma once

#include "platform/store/checked_files.h"

#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace mosswick::store {

// Follows a catalogue file through the writes of the one connection that
// has it open, from a state it was found sound in: before each of the
// connection's write transactions the file must still be as it was last
// seen, and right after each statement that wrote to it (a commit) its
// state is taken again. Each look costs one stat(2), and only around
// writes. Statements tell it through the two hooks below.
class OwnWrites {
public:
    OwnWrites(sqlite3* db, QString path, const FileState& from);
    ~OwnWrites();
    OwnWrites(const OwnWrites&) = delete;
    OwnWrites& operator=(const OwnWrites&) = delete;

    // The state the connection's own writes left the file in; nullopt once
    // the file was seen changed by anything else or another file had its path.
    const std::optional<FileState>& state() const { return m_state; }

    // Before a statement's first step on db, and after it has ended.
    static void statement_begins(sqlite3* db, sqlite3_stmt* statement);
    static void statement_ended(sqlite3* db);

private:
    // Taken again when the connection wrote, else kept while the file is unchanged.
    void look(bool write_begins);

    sqlite3* m_db;
    QString m_path;
    std::optional<FileState> m_state;
    int m_pages_written = 0;   // as the last look saw it
};

} // namespace mosswick::store
