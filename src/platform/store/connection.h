#pragma once

#include "platform/store/checked_files.h"
#include "platform/store/schema.h"
#include "platform/store/statement.h"
#include "platform/store/store_error.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace mosswick::store {

class HeldLock;
class OwnWrites;

// How a catalogue file is protected. A password encrypts the file with it;
// "encrypt" without a password uses a fixed key of ours, which only scrambles.
struct Protection {
    QString password;
    bool encrypt = false;
};

// What a file looks like from its first bytes. NotRegular: a FIFO, device,
// socket or folder, never opened.
enum class FileProbe { Missing, Unreadable, Empty, Plain, Jet, MaybeEncrypted, Foreign, NotRegular };

// The page encryption settings a file was written with. New files use the
// engine's current defaults; the others are read so that older files open.
enum class CipherFormat {
    None,          // not encrypted
    Current,       // the engine's current defaults
    Legacy4096,    // version 3 settings with 4096-byte pages (earlier builds of ours)
    Version3,      // version 3 defaults (1024-byte pages)
};

// True for a password of the raw-key form x'<hex>': the engine would take it
// as a key instead of deriving one, so we never accept it.
bool is_raw_key_form(const QString& password);

// Looks at the start of a file without opening it as a database.
FileProbe probe_file(const QString& path);

// True when both paths name one file (same device and inode; for paths that
// do not exist, the same absolute path).
bool same_file(const QString& a, const QString& b);

// Where a compaction writes its copy: NewCmpctDB.mdb beside the catalogue
// (where the catalogue really lives, links resolved), or NewCmpctDB.tmp.mdb
// when the catalogue itself is that file.
QString compaction_temp_path(const QString& catalogue_path);

// True when we cannot write the file or its folder (also for the owner's
// write bits being cleared, so that a read-only mark holds for every user).
bool is_read_only_path(const QString& path);

// A compaction's refusal, before anything changes, when the folder of its
// temporary copy (temp_path) cannot be written; none otherwise.
Error check_copy_folder(const QString& temp_path);

// One row of the picture table without the picture bytes. values holds one
// entry per column of the file (5, 7 or 9); the dbpic entry is its length in
// bytes, or invalid when the column is Null.
struct Row {
    QVariantList values;

    QVariant value(int column) const { return column < values.size() ? values[column] : QVariant(); }
    QVariant value(const QString& name) const { return value(column_index(name)); }
    void set(int column, const QVariant& v);
    void set(const QString& name, const QVariant& v) { set(column_index(name), v); }
};

// The one connection to an open catalogue.
class Connection {
public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Creates a new, empty catalogue file with the table of an edition.
    // Refuses an existing file (left untouched); a partly created file is removed.
    // With hold given, the file is locked from the moment its name is taken
    // and stays locked in hold, so that others can tell it is in use.
    static Error create(const QString& path, Schema schema, const Protection& protection, HeldLock* hold = nullptr);

    // How a catalogue is opened: for writing when the file and its folder
    // allow it, or for reading only, whatever they allow.
    enum class OpenMode { AsFileAllows, ReadOnly };

    // Opens a catalogue. password may be empty. The fixed key of "encrypt" is
    // tried silently. Checks the file's header and schema before handing it
    // out (the whole file's integrity: check_integrity); opens read-only when
    // the file or its folder is, or when mode asks. A read-only connection
    // writes nothing to the file: it does without the indexes the file lacks.
    static std::unique_ptr<Connection> open(const QString& path, const QString& password, Error& error,
                                            OpenMode mode = OpenMode::AsFileAllows);

    // Copies a closed catalogue into temp_path protected as asked, checks the
    // copy, then puts it in place of the catalogue with one atomic rename.
    // On failure the catalogue is untouched and temp_path removed.
    static Error compact(const QString& path, const QString& current_password, const Protection& target,
                         const QString& temp_path);

    const QString& path() const { return m_path; }
    // Where the file lives: the path with a final link resolved once, as the engine opened it.
    const QString& real_path() const { return m_real_path; }
    // The settings the file opened with.
    CipherFormat cipher_format() const { return m_format; }
    bool read_only() const { return m_read_only; }

    // Number and names of the picture table's columns (5, 7 or 9).
    int column_count() const { return int(m_columns.size()); }
    const QStringList& column_names() const { return m_columns; }
    bool has_index(const QString& name);

    // Brings a 5- or 7-column table to nine columns in one transaction; on
    // failure the file is unchanged.
    Error upgrade_to_full();

    // Creates idxPicfile when missing. Refused while rows without picfile exist.
    Error ensure_picfile_index();

    Statement prepare(const QString& sql);
    // Runs a command with bound values.
    Error exec(const QString& sql, const QVariantList& params = {});
    // First column of the first row; invalid when Null or no row.
    QVariant scalar(const QString& sql, const QVariantList& params, Error& error);

    // The state of the file this connection has open, read at its path;
    // nullopt when the engine finds that another file (or none) has the
    // path now.
    std::optional<FileState> open_file_state() const;

    // From now on the connection follows the file through its own writes,
    // starting from the state from (see OwnWrites).
    void follow_own_writes(const FileState& from);
    // The state this connection's own writes left the file in since
    // follow_own_writes(); nullopt before it, and once the file was seen
    // changed by anything else or another file had its path.
    std::optional<FileState> own_state() const;

    // A number that moves whenever another connection (of this program or
    // another) commits a change to the file; this connection's own commits
    // leave it. Invalid when it cannot be read.
    QVariant data_version();

    qint64 record_count(Error& error);
    // Largest picture number; invalid when the table is empty.
    QVariant max_numpic(Error& error);

    // Rows of one page ordered by picture number.
    std::vector<Row> rows_on_page(qint64 numpage, Error& error);
    // The row with a picture number (the keyed seek).
    std::optional<Row> find_row(qint64 numpic, Error& error);
    // Adds a row; values beyond the file's columns and the dbpic entry are ignored.
    Error add_row(const Row& row);
    // Writes some fields of the row with a picture number.
    Error update_fields(qint64 numpic, const std::vector<std::pair<int, QVariant>>& fields);

    // Copies a file's bytes into dbpic of a row in pieces, never holding the
    // whole file, and marks the row as holding its picture. Refuses a 0-byte
    // file and a file that changes size meanwhile. after_piece(bytes so far)
    // runs after each piece (progress, and tests that change the file).
    Error write_picture_bytes(qint64 numpic, const QString& file_path,
                              const std::function<void(qint64)>& after_piece = {});
    // The stored picture bytes of a row; empty when there are none.
    QByteArray read_picture_bytes(qint64 numpic, Error& error);

    // Nested transactions: savepoints. Prefer the Transaction guard.
    Error begin_savepoint();
    Error release_savepoint();
    Error rollback_savepoint();
    int savepoint_depth() const { return m_savepoints; }

    // Checks a value against the column's rules (length, Null in picfile when
    // idxPicfile exists).
    Error check_value(int column, const QVariant& value);

    sqlite3* handle() const { return m_db; }

    // A number no other connection of this run has had.
    quint64 serial() const { return m_serial; }
    // The connection with a serial while it is open, else nullptr. Lets a
    // grid read its rows later without holding a connection that may close.
    static Connection* live(quint64 serial);

private:
    Connection();
    bool engine_ended_transaction() const;
    Error load_columns();
    QString select_columns() const;
    Row read_row(Statement& st) const;

    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_real_path;   // where the file lives, links resolved once
    QByteArray m_key;
    CipherFormat m_format = CipherFormat::None;
    bool m_read_only = false;
    QStringList m_columns;
    int m_savepoints = 0;
    quint64 m_serial = 0;
    std::unique_ptr<OwnWrites> m_own_writes;
};

// Scoped transaction: commits on commit(), rolls back otherwise. Nests.
class Transaction {
public:
    explicit Transaction(Connection& conn);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const Error& error() const { return m_error; }
    Error commit();
    void rollback();

private:
    Connection& m_conn;
    bool m_open = false;
    Error m_error;
};

// The size of every full piece copied into dbpic.
inline constexpr qint64 k_blob_chunk_size = 100000;

} // namespace mosswick::store
