#include "platform/store/connection.h"

#include "platform/store/integrity_check.h"
#include "platform/store/own_writes.h"
#include "platform/store/safe_files.h"
#include "platform/store/sqlite.h"
#include "platform/store/text_rules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QMutex>

#include <cerrno>
#include <mutex>
#include <fcntl.h>
#include <unordered_map>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace mosswick::store {

namespace {

constexpr int k_page_size = 4096;

// "Encrypt" without a password: a fixed raw key (no key derivation). It only
// scrambles the file; anyone with this program can read it.
constexpr const char k_internal_key[] = "x'6D6F73737769636B2D736372616D626C652D6B65792D76312D2D2D2D2D2D2D2D'";

QByteArray internal_key()
{
    return QByteArray(k_internal_key);
}

QString raw_key_refusal()
{
    return QStringLiteral("A password of the form x'...' is not accepted: it would be taken as a raw key. "
                          "Choose another password.");
}

QByteArray key_for(const Protection& p)
{
    if (!p.password.isEmpty())
        return p.password.toUtf8();
    if (p.encrypt)
        return internal_key();
    return {};
}

Error engine_error(sqlite3* db)
{
    int code = db ? sqlite3_errcode(db) : SQLITE_CANTOPEN;
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        code = SQLITE_ERROR;
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("unable to open database file");
    return {ErrorKind::Engine, code & 0xff, text};
}

Error engine_write_error(sqlite3* db)
{
    const Error e = engine_error(db);
    return store::engine_write_error(e.code, e.text);
}

Error exec_plain(sqlite3* db, const QString& sql)
{
    Statement st(db, sql);
    if (!st.valid())
        return st.error();
    return st.run();
}

QString native(const QString& path)
{
    return QDir::cleanPath(path);
}

Error file_error_for(const QString& path, int err)
{
    const QString name = native(path);
    switch (err) {
    case ENOENT:
        return make_error(QFileInfo::exists(QFileInfo(path).absolutePath()) ? ErrorKind::FileNotFound
                                                                             : ErrorKind::PathNotFound,
                          QFileInfo::exists(QFileInfo(path).absolutePath())
                              ? QStringLiteral("File not found: %1").arg(name)
                              : QStringLiteral("Path not found: %1").arg(name));
    case EEXIST:
        return make_error(ErrorKind::FileExists, QStringLiteral("File already exists: %1").arg(name));
    case ENOTDIR:
        return make_error(ErrorKind::PathNotFound, QStringLiteral("Path not found: %1").arg(name));
    default:
        return make_error(ErrorKind::FileAccess,
                          QStringLiteral("Path/File access error: %1 (%2)").arg(name, QString::fromLocal8Bit(strerror(err))));
    }
}

void close_db(sqlite3*& db)
{
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

// Settings that hold on every connection: the schema cannot be altered
// behind the engine's back, nothing in the schema runs functions of ours or
// triggers and views, damaged cells are caught, and no file is mapped.
Error apply_defences(sqlite3* db)
{
    const std::pair<int, int> configs[] = {
        {SQLITE_DBCONFIG_DEFENSIVE, 1},
        {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
        {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
        {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
    };
    for (const auto& [option, value] : configs) {
        int now = -1;
        if (sqlite3_db_config(db, option, value, &now) != SQLITE_OK || now != value)
            return engine_error(db);
    }
    return {};
}

Error apply_pragmas(sqlite3* db)
{
    for (const char* sql : {"PRAGMA cell_size_check = ON", "PRAGMA mmap_size = 0"})
        if (Error e = exec_plain(db, QString::fromLatin1(sql)))
            return e;
    return {};
}

Error apply_format(sqlite3* db, const QByteArray& key, CipherFormat format)
{
    if (key.isEmpty())
        return {};
    if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
        return engine_error(db);
    switch (format) {
    case CipherFormat::None:
    case CipherFormat::Current:
        return {};
    case CipherFormat::Legacy4096:
        if (Error e = exec_plain(db, QStringLiteral("PRAGMA cipher_compatibility = 3")))
            return e;
        return exec_plain(db, QStringLiteral("PRAGMA cipher_page_size = %1").arg(k_page_size));
    case CipherFormat::Version3:
        return exec_plain(db, QStringLiteral("PRAGMA cipher_compatibility = 3"));
    }
    return {};
}

// Opens an engine connection with our defences; links are never followed.
// A catalogue (not a file we made) may be one of several names of its file.
sqlite3* open_engine(const QString& path, int flags, int& rc, bool catalogue)
{
    static std::once_flag once;
    std::call_once(once, [] {
        install_safe_files();
        // A failed key trial is routine here, not something to print.
        sqlite3* quiet = nullptr;
        // The engine sets its log level when its first key is used, so one is used first.
        if (sqlite3_open_v2(":memory:", &quiet, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_key(quiet, "quiet", 5);
            sqlite3_exec(quiet, "PRAGMA cipher_log_level = NONE", nullptr, nullptr, nullptr);
        }
        sqlite3_close(quiet);
    });
    sqlite3* db = nullptr;
    {
        std::optional<CatalogueFileOpen> linked;
        if (catalogue)
            linked.emplace();
        rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             flags | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_NOFOLLOW, nullptr);
    }
    if (rc == SQLITE_OK && apply_defences(db))
        rc = SQLITE_ERROR;
    if (rc != SQLITE_OK) {
        close_db(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 0);
    return db;
}

// Opens the file with a key (empty: none) in a format and proves both by
// reading the schema. Returns null with the engine's result code when that
// fails.
sqlite3* open_keyed(const QString& path, const QByteArray& key, CipherFormat format, bool read_only, int& rc)
{
    sqlite3* db = open_engine(path, read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, rc, true);
    if (!db)
        return nullptr;
    if (apply_format(db, key, format) || apply_pragmas(db)) {
        rc = SQLITE_ERROR;
        close_db(db);
        return nullptr;
    }
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        close_db(db);
        return nullptr;
    }
    return db;
}

// The formats a file can be in, most likely first. Files of the current
// defaults and of our earlier builds are whole 4096-byte pages; any other
// size leaves only the version 3 defaults, which saves two key derivations.
std::vector<CipherFormat> formats_for(qint64 size)
{
    if (size % k_page_size != 0)
        return {CipherFormat::Version3};
    return {CipherFormat::Current, CipherFormat::Legacy4096, CipherFormat::Version3};
}

Error open_failure(int rc, const QString& shown)
{
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return make_error(ErrorKind::WrongPassword, QStringLiteral("Not a valid password."));
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
        return make_error(ErrorKind::FileAccess, QStringLiteral("Path/File access error: %1").arg(shown));
    case SQLITE_CORRUPT:
        return make_error(ErrorKind::Corrupt, QStringLiteral("The catalogue %1 is damaged (%2).")
                                                  .arg(shown, QString::fromUtf8(sqlite3_errstr(rc))));
    default:
        return {ErrorKind::Engine, rc & 0xff, QString::fromUtf8(sqlite3_errstr(rc))};
    }
}

void configure(sqlite3* db)
{
    sqlite3_busy_timeout(db, 2000);
    sqlite3_enable_load_extension(db, 0);
    register_text_rules(db);
}

bool fsync_path(const QString& path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    errno = err;   // the caller reports why the flush failed
    return ok;
}

void remove_with_journal(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

bool is_raw_key_form(const QString& password)
{
    const QString p = password.trimmed();
    if (p.size() < 3 || !p.startsWith(QLatin1String("x'"), Qt::CaseInsensitive) || !p.endsWith(u'\''))
        return false;
    for (QChar c : p.mid(2, p.size() - 3))
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'z'))
            return false;
    return true;
}

FileProbe probe_file(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileProbe::Missing : FileProbe::Unreadable;
    if (!S_ISREG(st.st_mode))
        return FileProbe::NotRegular;
    // Non-blocking, and checked again on the descriptor: a FIFO put in the
    // file's place meanwhile must not hang us.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FileProbe::Unreadable;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileProbe::NotRegular;
    }
    const qint64 size = st.st_size;
    QByteArray head(k_page_size, Qt::Uninitialized);
    qint64 got = 0;
    while (got < head.size()) {
        const ssize_t n = ::read(fd, head.data() + got, size_t(head.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    head.truncate(got);
    if (size == 0)
        return FileProbe::Empty;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return FileProbe::Plain;
    if (head.size() >= 19 && head.mid(4, 15) == QByteArrayLiteral("Standard Jet DB"))
        return FileProbe::Jet;
    // An encrypted catalogue is whole pages of what looks like noise,
    // starting with a random salt.
    if (size < 1024 || size % 512 != 0)
        return FileProbe::Foreign;
    int counts[256] = {};
    for (char c : head)
        ++counts[static_cast<unsigned char>(c)];
    // Noise spreads over all byte values; text and most file formats do not.
    int used = 0, top = 0;
    for (int n : counts) {
        used += n > 0;
        top = std::max(top, n);
    }
    if (used < 200 || top > head.size() / 32)
        return FileProbe::Foreign;
    return FileProbe::MaybeEncrypted;
}

bool same_file(const QString& a, const QString& b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

QString compaction_temp_path(const QString& catalogue_path)
{
    QString real = QFileInfo(catalogue_path).canonicalFilePath();
    if (real.isEmpty())
        real = QDir::cleanPath(QFileInfo(catalogue_path).absoluteFilePath());
    QString folder = QFileInfo(real).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QString temp = folder + QStringLiteral("NewCmpctDB.mdb");
    // A catalogue that is itself called NewCmpctDB.mdb must not be taken
    // for a leftover temporary file.
    return same_file(temp, real) ? folder + QStringLiteral("NewCmpctDB.tmp.mdb") : temp;
}

namespace {

bool is_read_only_folder(const QByteArray& dir)
{
    if (::access(dir.constData(), W_OK) != 0)
        return true;
    struct stat st {};
    return ::stat(dir.constData(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

bool is_read_only_path(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    struct stat st {};
    if (::stat(file.constData(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    if (::access(file.constData(), W_OK) != 0 || is_read_only_folder(QFile::encodeName(QFileInfo(path).absolutePath())))
        return true;
    struct statvfs vfs {};
    if (::statvfs(file.constData(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY))
        return true;
    return false;
}

Error check_copy_folder(const QString& temp_path)
{
    const QString folder = QFileInfo(temp_path).absolutePath();
    if (!is_read_only_folder(QFile::encodeName(folder)))
        return {};
    return make_error(ErrorKind::FileAccess,
                      QStringLiteral("The folder %1 cannot be written: no temporary copy of the catalogue can be made "
                                     "there. Nothing was changed.")
                          .arg(native(folder)));
}

void Row::set(int column, const QVariant& v)
{
    if (column < 0)
        return;
    while (values.size() <= column)
        values.append(QVariant());
    values[column] = v;
}

namespace {

struct LiveConnections {
    QMutex mutex;
    quint64 last = 0;
    std::unordered_map<quint64, Connection*> by_serial;
};

LiveConnections& live_connections()
{
    static LiveConnections live;
    return live;
}

} // namespace

Connection::Connection()
{
    LiveConnections& live = live_connections();
    const QMutexLocker lock(&live.mutex);
    m_serial = ++live.last;
    live.by_serial.emplace(m_serial, this);
}

Connection::~Connection()
{
    {
        LiveConnections& live = live_connections();
        const QMutexLocker lock(&live.mutex);
        live.by_serial.erase(m_serial);
    }
    m_own_writes.reset();
    close_db(m_db);
}

Connection* Connection::live(quint64 serial)
{
    LiveConnections& live = live_connections();
    const QMutexLocker lock(&live.mutex);
    const auto it = live.by_serial.find(serial);
    return it == live.by_serial.end() ? nullptr : it->second;
}

Error Connection::create(const QString& path, Schema schema, const Protection& protection, HeldLock* hold)
{
    if (is_raw_key_form(protection.password))
        return make_error(ErrorKind::Limit, raw_key_refusal());
    const QByteArray name = QFile::encodeName(path);
    if (path_kind(path) != PathKind::Missing)
        return make_error(ErrorKind::FileExists, QStringLiteral("File already exists: %1").arg(native(path)));
    // A side name taken by something else takes the name: callers may try another.
    if (const QString why = side_file_problem(path); !why.isEmpty())
        return make_error(ErrorKind::FileExists, QStringLiteral("%1 cannot be created: %2.").arg(native(path), why));
    // Reserve the name so that a file appearing meanwhile is never overwritten.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return file_error_for(path, errno);
    if (!hold)
        ::close(fd);
    else if (!hold->take(fd))
        // Someone clearing abandoned files took it the instant it was made, and removes it.
        return make_error(ErrorKind::FileExists, QStringLiteral("File already exists: %1").arg(native(path)));

    int rc = SQLITE_OK;
    sqlite3* db = open_engine(path, SQLITE_OPEN_READWRITE, rc, false);
    auto fail = [&](Error e) {
        close_db(db);
        remove_with_journal(path);
        if (hold)
            hold->release();
        return e;
    };
    if (!db)
        return fail(open_failure(rc, native(path)));
    // Encrypted files take the engine's current defaults (4096-byte pages).
    const QByteArray key = key_for(protection);
    if (Error e = apply_format(db, key, key.isEmpty() ? CipherFormat::None : CipherFormat::Current))
        return fail(e);
    if (key.isEmpty())
        if (Error e = exec_plain(db, QStringLiteral("PRAGMA page_size = %1").arg(k_page_size)))
            return fail(e);
    if (Error e = apply_pragmas(db))
        return fail(e);
    if (Error e = exec_plain(db, QStringLiteral("BEGIN")))
        return fail(e);
    for (const QString& sql : create_statements(schema))
        if (Error e = exec_plain(db, sql))
            return fail(e);
    if (Error e = exec_plain(db, QStringLiteral("COMMIT")))
        return fail(e);
    if (sqlite3_close(db) != SQLITE_OK)
        return fail(engine_error(db));
    db = nullptr;
    return {};
}

namespace {

// A link the user chose is resolved once; from there on nothing is opened
// through a link, so the side files are where the file lives.
Error resolve_link(const QString& path, const QString& shown, QString& real)
{
    real = path;
    if (path_kind(path) != PathKind::Link)
        return {};
    real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return make_error(ErrorKind::FileNotFound, QStringLiteral("File not found: %1 is a link to nothing.").arg(shown));
    return {};
}

// Refuses what is not a catalogue file, by its kind, its side files and its
// first bytes, before the engine sees it.
Error refuse_by_probe(const QString& path, const QString& real, const QString& shown, FileProbe probe)
{
    if (probe == FileProbe::NotRegular)
        return make_error(ErrorKind::NotCatalogue, QStringLiteral("%1 is not a regular file (%2); it was not opened.")
                                                       .arg(shown, describe_kind(path_kind(real))));
    if (probe != FileProbe::Missing)
        if (const QString why = side_file_problem(real); !why.isEmpty())
            return make_error(ErrorKind::FileAccess, QStringLiteral("The catalogue %1 was refused: %2.").arg(shown, why));
    switch (probe) {
    case FileProbe::Missing:
        return file_error_for(path, ENOENT);
    case FileProbe::Unreadable:
    case FileProbe::NotRegular:
        return make_error(ErrorKind::FileAccess, QStringLiteral("Path/File access error: %1").arg(shown));
    case FileProbe::Empty:
    case FileProbe::Foreign:
        return make_error(ErrorKind::NotCatalogue,
                          QStringLiteral("%1 is not a Mosswick catalogue (not an SQLite database file).").arg(shown));
    case FileProbe::Jet:
        return make_error(ErrorKind::JetFile,
                          QStringLiteral("%1 is a Microsoft Jet (Access) database; Mosswick opens only its own "
                                         "catalogue files (SQLite).")
                              .arg(shown));
    case FileProbe::Plain:
    case FileProbe::MaybeEncrypted:
        break;
    }
    return {};
}

// The keys a file is tried with, in turn; the empty key means none.
std::vector<QByteArray> keys_to_try(FileProbe probe, const QString& password)
{
    if (probe != FileProbe::MaybeEncrypted)
        return {QByteArray()};
    // The fixed key first: it needs no key derivation, so its trials are cheap.
    std::vector<QByteArray> keys{internal_key()};
    if (!password.isEmpty())
        keys.push_back(password.toUtf8());
    return keys;
}

// An engine connection with the key and settings that read the file.
struct KeyedEngine {
    sqlite3* db = nullptr;
    QByteArray key;
    CipherFormat format = CipherFormat::None;
};

// Tries each key in each format the file may be in; a wrong key goes on to
// the next trial, any other failure ends them.
Error try_keys(const QString& real, const QString& shown, const std::vector<QByteArray>& keys,
               const QString& password, bool read_only, KeyedEngine& opened)
{
    const std::vector<CipherFormat> formats = formats_for(QFileInfo(real).size());
    int rc = SQLITE_OK;
    for (const QByteArray& key : keys) {
        if (!key.isEmpty() && key != internal_key() && is_raw_key_form(password))
            return make_error(ErrorKind::Limit, raw_key_refusal());
        for (CipherFormat format : key.isEmpty() ? std::vector<CipherFormat>{CipherFormat::None} : formats) {
            opened.db = open_keyed(real, key, format, read_only, rc);
            if (opened.db) {
                opened.key = key;
                opened.format = format;
                return {};
            }
            if (rc != SQLITE_NOTADB)
                return open_failure(rc, shown);
        }
    }
    return open_failure(rc, shown);
}

Error read_schema(sqlite3* db, std::vector<SchemaEntry>& entries)
{
    Statement st(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master"));
    while (st.step())
        entries.push_back({st.text(0), st.text(1), st.text(2), st.text(3)});
    return st.error();
}

// Only our own table and indexes: a file made elsewhere must not run
// anything of its own when we query it.
Error refuse_schema(const std::vector<SchemaEntry>& entries, const QString& shown)
{
    bool has_table = false;
    for (const SchemaEntry& e : entries)
        has_table |= e.type == QStringLiteral("table") && e.name.compare(QLatin1String(k_table), Qt::CaseInsensitive) == 0;
    if (!has_table)
        return make_error(ErrorKind::NotCatalogue,
                          QStringLiteral("%1 is not a Mosswick catalogue (it has no picture table).").arg(shown));
    if (const QString why = check_schema(entries); !why.isEmpty())
        return make_error(ErrorKind::UnsafeSchema, QStringLiteral("%1 was refused: %2.").arg(shown, why));
    return {};
}

// Makes the indexes of ours that a file made elsewhere lacks, in one transaction.
Error make_missing_indexes(Connection& conn, const std::vector<SchemaEntry>& entries, const QString& shown)
{
    const std::vector<QString> missing = missing_index_statements(entries, conn.column_count());
    if (missing.empty())
        return {};
    Transaction t(conn);
    for (const QString& sql : missing)
        if (Error e = t.error() ? t.error() : conn.exec(sql))
            return make_error(ErrorKind::UnsafeSchema, QStringLiteral("%1 was refused: the index %2 cannot be made (%3).")
                                                           .arg(shown, sql.section(u' ', -4, -4), e.text));
    return t.commit();
}

} // namespace

std::unique_ptr<Connection> Connection::open(const QString& path, const QString& password, Error& error, OpenMode mode)
{
    const QString shown = native(path);
    QString real;
    if ((error = resolve_link(path, shown, real)))
        return nullptr;
    const FileProbe probe = probe_file(real);
    if ((error = refuse_by_probe(path, real, shown, probe)))
        return nullptr;
    const bool read_only = mode == OpenMode::ReadOnly || is_read_only_path(real);
    KeyedEngine engine;
    if ((error = try_keys(real, shown, keys_to_try(probe, password), password, read_only, engine)))
        return nullptr;
    configure(engine.db);

    std::unique_ptr<Connection> conn(new Connection);
    conn->m_db = engine.db;
    conn->m_path = path;
    conn->m_real_path = real;
    conn->m_key = engine.key;
    conn->m_format = engine.format;
    conn->m_read_only = read_only;
    std::vector<SchemaEntry> entries;
    if ((error = read_schema(conn->m_db, entries)) || (error = refuse_schema(entries, shown))
        || (error = conn->load_columns()))
        return nullptr;
    // A connection that may not write does without the indexes a file lacks.
    if (!read_only && (error = make_missing_indexes(*conn, entries, shown)))
        return nullptr;
    // The full integrity check reads the whole file: callers run
    // check_integrity on a connection of its own, behind the shown page.
    return conn;
}

namespace {

// A leftover temporary file or link (even one pointing nowhere) is removed
// itself, never what it points to; anything else stays and is named.
Error clear_leftover_copy(const QString& temp_path)
{
    for (const QString& leftover : {temp_path, temp_path + QStringLiteral("-journal")}) {
        const PathKind kind = path_kind(leftover);
        if (kind == PathKind::Missing)
            continue;
        if (kind != PathKind::Regular && kind != PathKind::Link)
            return make_error(ErrorKind::FileAccess,
                              QStringLiteral("The temporary file %1 is %2; remove it and try again.")
                                  .arg(native(leftover), describe_kind(kind)));
        if (::unlink(QFile::encodeName(leftover).constData()) != 0)
            return file_error_for(leftover, errno);
    }
    if (const QString why = side_file_problem(temp_path); !why.isEmpty())
        return make_error(ErrorKind::FileAccess, QStringLiteral("The catalogue cannot be compacted: %1.").arg(why));
    return {};
}

// Exports the catalogue open on db into temp_path, attached with key; a new
// copy always takes the current format, whatever the source had.
Error export_into(sqlite3* db, const QString& temp_path, const QByteArray& key)
{
    Statement attach(db, QStringLiteral("ATTACH DATABASE ?1 AS compacted KEY ?2"));
    attach.bind(1, QFileInfo(temp_path).absoluteFilePath());
    attach.bind(2, key.isEmpty() ? QVariant(QString()) : QVariant(QString::fromUtf8(key)));
    if (Error e = attach.run())
        return e;
    const QString format = key.isEmpty() ? QStringLiteral("PRAGMA compacted.page_size = %1").arg(k_page_size)
                                         : QStringLiteral("PRAGMA compacted.cipher_compatibility = 4");
    for (const QString& sql : {format, QStringLiteral("SELECT sqlcipher_export('compacted')"),
                               QStringLiteral("DETACH DATABASE compacted")})
        if (Error e = exec_plain(db, sql))
            return e;
    return {};
}

// Writes the copy of the catalogue at path into temp_path, protected as
// target asks; on failure temp_path is removed.
Error write_copy(const QString& path, const QString& current_password, const Protection& target,
                 const QString& temp_path)
{
    Error error;
    std::unique_ptr<Connection> source = Connection::open(path, current_password, error);
    if (!source)
        return error;
    if (source->read_only())
        return make_error(ErrorKind::FileAccess, QStringLiteral("The database is Read-Only."));
    auto fail = [&](Error e) {
        // Closing the source just below detaches the copy anyway.
        (void)exec_plain(source->handle(), QStringLiteral("DETACH DATABASE compacted"));
        source.reset();
        remove_with_journal(temp_path);
        return e;
    };
    // The connection may not create files; an empty file is an empty database.
    // Private while it is written; it takes the catalogue's permissions
    // before it replaces it.
    const int fd = ::open(QFile::encodeName(temp_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    // What another program put at the name since the leftovers went is its own.
    if (fd < 0)
        return file_error_for(temp_path, errno);
    ::close(fd);
    if (Error e = export_into(source->handle(), temp_path, key_for(target)))
        return fail(e);
    return {};
}

// Proves the copy opens with its new protection and is sound before it
// replaces anything; on failure temp_path is removed.
Error prove_copy(const QString& temp_path, const QString& password)
{
    Error error;
    std::unique_ptr<Connection> copy = Connection::open(temp_path, password, error);
    if (!copy) {
        remove_with_journal(temp_path);
        return error;
    }
    const IntegrityResult checked = check_integrity(*copy);
    if (checked.outcome == IntegrityOutcome::Passed)
        return {};
    copy.reset();
    remove_with_journal(temp_path);
    return checked.outcome == IntegrityOutcome::Failed
        ? checked.error
        : make_error(ErrorKind::Corrupt, QStringLiteral("The compacted copy is damaged (%1).").arg(checked.detail));
}

// Gives the copy the catalogue's permissions and puts it where the
// catalogue lives (real_path) with one atomic rename; on failure temp_path
// is removed.
Error put_copy_in_place(const QString& temp_path, const QString& path, const QString& real_path, mode_t mode)
{
    if (::chmod(QFile::encodeName(temp_path).constData(), mode) != 0) {
        const int err = errno;
        remove_with_journal(temp_path);
        return file_error_for(temp_path, err);
    }
    if (!fsync_path(temp_path, false)) {
        const int err = errno;
        remove_with_journal(temp_path);
        return file_error_for(temp_path, err);
    }
    if (::rename(QFile::encodeName(temp_path).constData(), QFile::encodeName(real_path).constData()) != 0) {
        const int err = errno;
        remove_with_journal(temp_path);
        return file_error_for(path, err);
    }
    fsync_path(QFileInfo(real_path).absolutePath(), true);
    return {};
}

} // namespace

Error Connection::compact(const QString& path, const QString& current_password, const Protection& target,
                          const QString& temp_path)
{
    if (is_raw_key_form(target.password))
        return make_error(ErrorKind::Limit, raw_key_refusal());
    // The temporary file is deleted first: it must never be the catalogue,
    // whatever link or spelling names either of them.
    if (same_file(temp_path, path))
        return make_error(ErrorKind::FileExists,
                          QStringLiteral("The temporary file %1 is the catalogue itself.").arg(native(temp_path)));
    struct stat source_stat {};
    if (::stat(QFile::encodeName(path).constData(), &source_stat) != 0)
        return file_error_for(path, errno);
    // The copy is made and put in place in the catalogue's folder.
    if (Error e = check_copy_folder(temp_path))
        return e;
    // A catalogue opened through a link is replaced where it really lives.
    const QString real_path = QFileInfo(path).canonicalFilePath();
    if (Error e = clear_leftover_copy(temp_path))
        return e;
    if (Error e = write_copy(path, current_password, target, temp_path))
        return e;
    if (Error e = prove_copy(temp_path, target.password))
        return e;
    return put_copy_in_place(temp_path, path, real_path, source_stat.st_mode & 07777);
}

Error Connection::load_columns()
{
    m_columns.clear();
    Statement st(m_db, QStringLiteral("PRAGMA table_info(demopicture)"));
    while (st.step())
        m_columns << st.text(1);
    return st.error();
}

bool Connection::has_index(const QString& name)
{
    Statement st(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE AND name = ?2 COLLATE NOCASE"));
    st.bind_all({QString::fromLatin1(k_table), name});
    return st.step();
}

Error Connection::upgrade_to_full()
{
    const std::vector<QString> statements = upgrade_statements(column_count());
    if (statements.empty())
        return make_error(ErrorKind::Engine,
                          QStringLiteral("A catalogue of %1 columns cannot be upgraded.").arg(column_count()));
    if (m_read_only)
        return make_error(ErrorKind::FileAccess, QStringLiteral("The database is Read-Only."));
    {
        Transaction t(*this);
        if (t.error())
            return t.error();
        for (const QString& sql : statements)
            if (Error e = exec(sql))
                return e;
        if (Error e = t.commit())
            return e;
    }
    return load_columns();
}

Error Connection::ensure_picfile_index()
{
    if (has_index(QLatin1String(k_picfile_index)))
        return {};
    if (m_read_only)
        return make_error(ErrorKind::FileAccess, QStringLiteral("The database is Read-Only."));
    Error error;
    const QVariant nulls = scalar(QStringLiteral("SELECT count(*) FROM demopicture WHERE picfile IS NULL"), {}, error);
    if (error)
        return error;
    if (nulls.toLongLong() > 0)
        return make_error(ErrorKind::Limit,
                          QStringLiteral("The index idxPicfile cannot be created: %1 row(s) have no picture file name.")
                              .arg(nulls.toLongLong()));
    return exec(QStringLiteral("CREATE INDEX idxPicfile ON demopicture (picfile)"));
}

Statement Connection::prepare(const QString& sql)
{
    return Statement(m_db, sql);
}

Error Connection::exec(const QString& sql, const QVariantList& params)
{
    Statement st(m_db, sql);
    if (!st.valid())
        return st.error();
    st.bind_list(params);
    return st.run();
}

QVariant Connection::scalar(const QString& sql, const QVariantList& params, Error& error)
{
    Statement st(m_db, sql);
    if (!st.valid()) {
        error = st.error();
        return {};
    }
    st.bind_list(params);
    QVariant v;
    if (st.step())
        v = st.value(0);
    error = st.error();
    return v;
}

std::optional<FileState> Connection::open_file_state() const
{
    // The engine compares the file it has open with the one at the path;
    // a look on either side of it makes sure that is the one read.
    const std::optional<FileState> before = file_state(m_real_path);
    int moved = 1;
    if (!before || sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved)
        return std::nullopt;
    const std::optional<FileState> after = file_state(m_real_path);
    if (!after || !after->same_file(*before))
        return std::nullopt;
    return after;
}

void Connection::follow_own_writes(const FileState& from)
{
    m_own_writes.reset();
    m_own_writes = std::make_unique<OwnWrites>(m_db, m_real_path, from);
}

std::optional<FileState> Connection::own_state() const
{
    return m_own_writes ? m_own_writes->state() : std::nullopt;
}

QVariant Connection::data_version()
{
    Error e;
    const QVariant v = scalar(QStringLiteral("PRAGMA data_version"), {}, e);
    return e ? QVariant() : v;
}

qint64 Connection::record_count(Error& error)
{
    return scalar(QStringLiteral("SELECT count(*) FROM demopicture"), {}, error).toLongLong();
}

QVariant Connection::max_numpic(Error& error)
{
    return scalar(QStringLiteral("SELECT max(numpic) FROM demopicture"), {}, error);
}

QString Connection::select_columns() const
{
    QStringList cols;
    for (int i = 0; i < column_count(); ++i)
        cols << (i == col_dbpic ? QStringLiteral("length(dbpic)") : QString::fromLatin1(column_defs()[size_t(i)].name));
    return cols.join(QStringLiteral(", "));
}

Row Connection::read_row(Statement& st) const
{
    Row row;
    row.values.reserve(column_count());
    for (int i = 0; i < column_count(); ++i)
        row.values.append(st.value(i));
    return row;
}

std::vector<Row> Connection::rows_on_page(qint64 numpage, Error& error)
{
    std::vector<Row> rows;
    Statement st(m_db, QStringLiteral("SELECT %1 FROM demopicture WHERE numpage = ?1 ORDER BY numpic").arg(select_columns()));
    st.bind(1, numpage);
    while (st.step())
        rows.push_back(read_row(st));
    error = st.error();
    return rows;
}

std::optional<Row> Connection::find_row(qint64 numpic, Error& error)
{
    Statement st(m_db, QStringLiteral("SELECT %1 FROM demopicture WHERE numpic = ?1").arg(select_columns()));
    st.bind(1, numpic);
    std::optional<Row> row;
    if (st.step())
        row = read_row(st);
    error = st.error();
    return row;
}

Error Connection::check_value(int column, const QVariant& value)
{
    if (column < 0 || column >= k_full_columns)
        return make_error(ErrorKind::Engine, QStringLiteral("Unknown column %1.").arg(column));
    if (column >= column_count())
        return make_error(ErrorKind::Engine,
                          QStringLiteral("The catalogue has no column %1.").arg(column_defs()[size_t(column)].name));
    const ColumnDef& def = column_defs()[size_t(column)];
    if (def.limited && value.isValid()) {
        const qsizetype n = value.toString().size();
        if (n > k_text_limit)
            return make_error(ErrorKind::Limit,
                              QStringLiteral("The field %1 is %2 characters long; it cannot exceed %3 characters.")
                                  .arg(def.name)
                                  .arg(n)
                                  .arg(k_text_limit));
    }
    if (column == col_picfile && !value.isValid() && has_index(QLatin1String(k_picfile_index)))
        return make_error(ErrorKind::Limit, QStringLiteral("The field picfile cannot be Null (index idxPicfile)."));
    return {};
}

Error Connection::add_row(const Row& row)
{
    QStringList names, marks;
    QVariantList params;
    for (int i = 0; i < column_count(); ++i) {
        if (i == col_dbpic)
            continue;
        const QVariant v = row.value(i);
        if (Error e = check_value(i, v))
            return e;
        names << QString::fromLatin1(column_defs()[size_t(i)].name);
        marks << QStringLiteral("?%1").arg(params.size() + 1);
        params << v;
    }
    return exec(QStringLiteral("INSERT INTO demopicture (%1) VALUES (%2)").arg(names.join(u','), marks.join(u',')), params);
}

Error Connection::update_fields(qint64 numpic, const std::vector<std::pair<int, QVariant>>& fields)
{
    if (fields.empty())
        return {};
    QStringList sets;
    QVariantList params;
    for (const auto& [column, value] : fields) {
        if (Error e = check_value(column, value))
            return e;
        sets << QStringLiteral("%1 = ?%2").arg(QLatin1String(column_defs()[size_t(column)].name)).arg(params.size() + 1);
        params << value;
    }
    params << numpic;
    if (Error e = exec(QStringLiteral("UPDATE demopicture SET %1 WHERE numpic = ?%2").arg(sets.join(QStringLiteral(", "))).arg(params.size()),
                       params))
        return e;
    if (sqlite3_changes(m_db) == 0)
        return {ErrorKind::Engine, SQLITE_NOTFOUND, QStringLiteral("The picture %1 is not in the catalogue.").arg(numpic)};
    return {};
}

Error Connection::write_picture_bytes(qint64 numpic, const QString& file_path,
                                      const std::function<void(qint64)>& after_piece)
{
    if (column_count() <= col_inoutpic)
        return make_error(ErrorKind::Engine, QStringLiteral("This catalogue cannot hold pictures."));
    // The file read is the one checked: opened without following a link,
    // then refused unless it is a regular file with no other name, so a
    // picture swapped for a link after the caller looked is never read in.
    const int fd = ::open(QFile::encodeName(file_path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int why = errno;
        return why == ENOENT ? file_error_for(file_path, ENOENT)
                             : make_error(ErrorKind::FileAccess,
                                          QStringLiteral("Path/File access error: %1").arg(native(file_path)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
        ::close(fd);
        return make_error(ErrorKind::FileAccess,
                          QStringLiteral("The picture is not a file of its own (a link or not a plain file): %1")
                              .arg(native(file_path)));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return make_error(ErrorKind::FileAccess, QStringLiteral("Path/File access error: %1").arg(native(file_path)));
    }
    const qint64 n = st.st_size;
    if (n <= 0)
        return make_error(ErrorKind::EmptyFile, QStringLiteral("The picture file is empty: %1").arg(native(file_path)));

    Transaction t(*this);
    if (t.error())
        return t.error();
    if (Error e = exec(QStringLiteral("UPDATE demopicture SET dbpic = zeroblob(?1), inoutpic = 1 WHERE numpic = ?2"),
                       {n, numpic}))
        return e;
    if (sqlite3_changes(m_db) == 0)
        return {ErrorKind::Engine, SQLITE_NOTFOUND, QStringLiteral("The picture %1 is not in the catalogue.").arg(numpic)};
    Error error;
    const qint64 rowid = scalar(QStringLiteral("SELECT rowid FROM demopicture WHERE numpic = ?1"), {numpic}, error).toLongLong();
    if (error)
        return error;

    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(m_db, "main", k_table, "dbpic", rowid, 1, &blob) != SQLITE_OK) {
        Error e = engine_write_error(m_db);
        sqlite3_blob_close(blob);
        return e;
    }
    // The short piece first, then full pieces; one buffer is reused.
    QByteArray buffer(int(k_blob_chunk_size), Qt::Uninitialized);
    qint64 offset = 0;
    const qint64 first = n % k_blob_chunk_size;
    auto changed = [&]() {
        return make_error(ErrorKind::FileChanged,
                          QStringLiteral("The picture file changed while it was read: %1").arg(native(file_path)));
    };
    while (offset < n) {
        const qint64 piece = (offset == 0 && first != 0) ? first : k_blob_chunk_size;
        const qint64 got = file.read(buffer.data(), piece);
        if (got != piece) {
            sqlite3_blob_close(blob);
            return got < 0 ? make_error(ErrorKind::FileAccess, QStringLiteral("Path/File access error: %1").arg(native(file_path)))
                           : changed();
        }
        if (sqlite3_blob_write(blob, buffer.constData(), int(piece), int(offset)) != SQLITE_OK) {
            Error e = engine_write_error(m_db);
            sqlite3_blob_close(blob);
            return e;
        }
        offset += piece;
        if (after_piece)
            after_piece(offset);
    }
    char extra = 0;
    const bool grew = file.read(&extra, 1) > 0;
    if (sqlite3_blob_close(blob) != SQLITE_OK)
        return engine_write_error(m_db);
    if (grew || QFileInfo(file_path).size() != n)
        return changed();
    return t.commit();
}

QByteArray Connection::read_picture_bytes(qint64 numpic, Error& error)
{
    if (column_count() <= col_dbpic) {
        error = {};
        return {};
    }
    Statement st(m_db, QStringLiteral("SELECT dbpic FROM demopicture WHERE numpic = ?1"));
    st.bind(1, numpic);
    QByteArray bytes;
    if (st.step())
        bytes = st.blob(0);
    error = st.error();
    return bytes;
}

bool Connection::engine_ended_transaction() const
{
    // After a full disk or an I/O error the engine may roll the whole
    // transaction back by itself; our savepoints are gone with it.
    return m_savepoints > 0 && sqlite3_get_autocommit(m_db) != 0;
}

static Error transaction_lost()
{
    return {ErrorKind::Engine, SQLITE_ABORT,
            QStringLiteral("The database engine cancelled the transaction; its changes were not saved.")};
}

Error Connection::begin_savepoint()
{
    if (engine_ended_transaction())
        return transaction_lost();
    if (Error e = exec(QStringLiteral("SAVEPOINT sp%1").arg(m_savepoints + 1)))
        return e;
    ++m_savepoints;
    return {};
}

Error Connection::release_savepoint()
{
    if (m_savepoints == 0)
        return make_error(ErrorKind::Engine, QStringLiteral("No transaction is open."));
    if (engine_ended_transaction()) {
        --m_savepoints;
        return transaction_lost();
    }
    if (Error e = exec(QStringLiteral("RELEASE sp%1").arg(m_savepoints)))
        return e;
    --m_savepoints;
    return {};
}

Error Connection::rollback_savepoint()
{
    if (m_savepoints == 0)
        return make_error(ErrorKind::Engine, QStringLiteral("No transaction is open."));
    if (engine_ended_transaction()) {
        --m_savepoints;   // already rolled back by the engine
        return {};
    }
    Error e;
    if (m_savepoints == 1) {
        // The outermost level: a real rollback, so that the file is left
        // exactly as it was (releasing would still commit an empty change).
        e = exec(QStringLiteral("ROLLBACK"));
    } else {
        e = exec(QStringLiteral("ROLLBACK TO sp%1").arg(m_savepoints));
        // A savepoint left on the stack is empty now; the outer level's
        // release or rollback takes it along.
        (void)exec(QStringLiteral("RELEASE sp%1").arg(m_savepoints));
    }
    --m_savepoints;
    return e;
}

Transaction::Transaction(Connection& conn) : m_conn(conn)
{
    m_error = m_conn.begin_savepoint();
    m_open = m_error.ok();
}

Transaction::~Transaction()
{
    if (m_open)
        rollback();
}

Error Transaction::commit()
{
    if (!m_open)
        return m_error.ok() ? make_error(ErrorKind::Engine, QStringLiteral("The transaction has ended.")) : m_error;
    m_error = m_conn.release_savepoint();
    if (m_error) {
        rollback();
        return m_error;
    }
    m_open = false;
    return {};
}

void Transaction::rollback()
{
    if (!m_open)
        return;
    // No one to tell: a failed commit returns its own error, the destructor
    // has no caller, and the engine drops what is left when the file closes.
    (void)m_conn.rollback_savepoint();
    m_open = false;
}

} // namespace mosswick::store
