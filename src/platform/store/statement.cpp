#include "platform/store/statement.h"

#include "platform/store/own_writes.h"
#include "platform/store/sqlite.h"

#include <utility>

namespace mosswick::store {

Error make_error(ErrorKind kind, const QString& text)
{
    int code = 0;
    switch (kind) {
    case ErrorKind::None: return {};
    case ErrorKind::FileNotFound: code = k_err_file_not_found; break;
    case ErrorKind::FileExists: code = k_err_file_exists; break;
    case ErrorKind::FileAccess: code = k_err_path_file_access; break;
    case ErrorKind::PathNotFound: code = k_err_path_not_found; break;
    case ErrorKind::FileChanged: code = k_err_path_file_access; break;
    case ErrorKind::EmptyFile: code = k_err_path_file_access; break;
    case ErrorKind::WrongPassword:
    case ErrorKind::NotCatalogue:
    case ErrorKind::JetFile:
    case ErrorKind::UnsafeSchema: code = SQLITE_NOTADB; break;
    case ErrorKind::Corrupt: code = SQLITE_CORRUPT; break;
    case ErrorKind::Limit: code = SQLITE_CONSTRAINT; break;
    case ErrorKind::Engine: code = SQLITE_ERROR; break;
    }
    return {kind, code, text};
}

Error engine_write_error(int code, const QString& engine_text)
{
    switch (code & 0xff) {
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_IOERR:
        return {ErrorKind::Engine, code & 0xff,
                QStringLiteral("The catalogue can no longer be written (%1); nothing was saved.").arg(engine_text)};
    default:
        return {ErrorKind::Engine, code & 0xff, engine_text};
    }
}

namespace {

// Statements that change the file: writes, and the commits that make them last.
bool writes(sqlite3_stmt* stmt)
{
    if (!stmt)
        return false;
    if (!sqlite3_stmt_readonly(stmt))
        return true;
    const QByteArray sql = QByteArray(sqlite3_sql(stmt)).trimmed().toUpper();
    return sql.startsWith("RELEASE") || sql.startsWith("COMMIT") || sql.startsWith("END");
}

} // namespace

Statement::Statement(sqlite3* db, const QString& sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
        set_engine_error();
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)),
      m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_error(std::move(other.m_error)),
      m_bind_error(std::move(other.m_bind_error))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_error = std::move(other.m_error);
        m_bind_error = std::move(other.m_bind_error);
    }
    return *this;
}

void Statement::set_engine_error()
{
    if (!m_db) {
        m_error = make_error(ErrorKind::Engine, QStringLiteral("No open catalogue."));
        return;
    }
    int code = sqlite3_errcode(m_db);
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        code = SQLITE_ERROR;
    const QString text = QString::fromUtf8(sqlite3_errmsg(m_db));
    m_error = writes(m_stmt) ? engine_write_error(code, text) : Error{ErrorKind::Engine, code & 0xff, text};
}

Statement& Statement::bind(int index, const QVariant& value)
{
    if (!m_stmt)
        return *this;
    int rc = SQLITE_OK;
    if (!value.isValid()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::ULong:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        }
    }
    if (rc != SQLITE_OK) {
        set_engine_error();
        m_bind_error = m_error;
    }
    return *this;
}

Statement& Statement::bind_all(std::initializer_list<QVariant> values)
{
    reset();
    m_bind_error = {};
    int i = 1;
    for (const QVariant& v : values)
        bind(i++, v);
    return *this;
}

Statement& Statement::bind_list(const QVariantList& values)
{
    reset();
    m_bind_error = {};
    int i = 1;
    for (const QVariant& v : values)
        bind(i++, v);
    return *this;
}

bool Statement::step()
{
    // A value that could not be bound would run as Null: never run then.
    if (m_bind_error) {
        m_error = m_bind_error;
        return false;
    }
    if (!m_stmt) {
        if (m_error.ok())
            m_error = make_error(ErrorKind::Engine, QStringLiteral("Statement not prepared."));
        return false;
    }
    if (!sqlite3_stmt_busy(m_stmt))
        OwnWrites::statement_begins(m_db, m_stmt);
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        set_engine_error();
    // After the commit a statement of its own made.
    OwnWrites::statement_ended(m_db);
    return false;
}

Error Statement::run()
{
    m_error = {};
    while (step()) {
    }
    Error e = m_error;
    reset();
    return e;
}

void Statement::reset()
{
    if (m_stmt)
        sqlite3_reset(m_stmt);
    m_error = {};
}

int Statement::column_count() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

bool Statement::is_null(int column) const
{
    return !m_stmt || sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QVariant Statement::value(int column) const
{
    if (!m_stmt)
        return {};
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_BLOB: return QVariant(blob(column));
    default: return QVariant(text(column));
    }
}

QString Statement::text(int column) const
{
    if (!m_stmt)
        return {};
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int n = sqlite3_column_bytes(m_stmt, column);
    return p ? QString::fromUtf8(p, n) : QString();
}

QByteArrayView Statement::utf8(int column) const
{
    if (!m_stmt)
        return {};
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int n = sqlite3_column_bytes(m_stmt, column);
    return p ? QByteArrayView(p, n) : QByteArrayView();
}

qint64 Statement::integer(int column) const
{
    return m_stmt ? sqlite3_column_int64(m_stmt, column) : 0;
}

QByteArray Statement::blob(int column) const
{
    if (!m_stmt)
        return {};
    const void* p = sqlite3_column_blob(m_stmt, column);
    const int n = sqlite3_column_bytes(m_stmt, column);
    return p ? QByteArray(static_cast<const char*>(p), n) : QByteArray();
}

} // namespace mosswick::store
