#include "platform/store/jet_convert.h"

#include "platform/store/jet_reader.h"
#include "platform/store/safe_files.h"
#include "platform/store/schema.h"
#include "platform/store/sqlite.h"
#include "platform/store/statement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mosswick::store {

namespace {

// ---- the first page -------------------------------------------------------

constexpr int k_magic_offset = 4;
constexpr int k_version_offset = 0x14;
constexpr quint32 k_jet3_version = 0;
constexpr quint32 k_jet4_version = 1;
constexpr int k_masked_start = 0x18;   // the header part that is RC4-masked
constexpr int k_masked_length = 128;
constexpr int k_key_offset = 0x3e;      // page encoding key; 0 when none
constexpr int k_password_offset = 0x42; // 20 UTF-16 units, masked again by the creation date
constexpr int k_password_length = 40;
constexpr int k_date_offset = 0x72;     // creation date (a double)
constexpr quint32 k_header_mask_key = 0x6b39dac7;

void rc4(const unsigned char* key, int key_length, unsigned char* data, int length)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % key_length]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xff];
    }
}

quint32 le32(const unsigned char* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

Error jet_error(const QString& text)
{
    return make_error(ErrorKind::JetFile, text);
}

Error file_error(const QString& path, int err)
{
    if (err == EEXIST)
        return make_error(ErrorKind::FileExists, QStringLiteral("File already exists: %1").arg(shown(path)));
    if (err == ENOENT)
        return make_error(ErrorKind::FileNotFound, QStringLiteral("File not found: %1").arg(shown(path)));
    return make_error(ErrorKind::FileAccess, QStringLiteral("Path/File access error: %1 (%2)")
                                                 .arg(shown(path), QString::fromLocal8Bit(strerror(err))));
}

// A failure to write the new catalogue (a full disk, a folder that cannot be
// written), as opposed to a refusal of the original or a stop.
bool is_write_failure(const Error& e)
{
    switch (e.kind) {
    case ErrorKind::FileAccess:
    case ErrorKind::FileExists:
    case ErrorKind::FileNotFound:
    case ErrorKind::PathNotFound: return true;
    case ErrorKind::Engine:
        return e.code == SQLITE_FULL || e.code == SQLITE_IOERR || e.code == SQLITE_CANTOPEN ||
               e.code == SQLITE_READONLY || e.code == SQLITE_PERM;
    default: return false;
    }
}

// Says which catalogue was not converted and that its original stays as it
// was; the code (13 for a full disk) is the failure's own.
Error not_written(const QString& path, const Error& e)
{
    if (!is_write_failure(e))
        return e;
    const QString why = e.kind == ErrorKind::Engine ? QString::fromUtf8(sqlite3_errstr(e.code)) : e.text;
    return {e.kind, e.code,
            QStringLiteral("%1 was not converted: the new catalogue could not be written beside it (%2). "
                           "The original is unchanged.")
                .arg(shown(path), why)};
}

bool fsync_file(const QString& path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The side files go first, so that none is ever left without its file.
void remove_database_files(const QString& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm", ""})
        QFile::remove(path + QLatin1String(suffix));
}

// ---- the reader process ---------------------------------------------------
//
// The reader program (jet_reader.h) streams the file's table on its
// standard output; what libmdb prints goes to a log in memory.

using namespace jet_reader;

class ReaderProcess {
public:
    explicit ReaderProcess(int idle_limit_ms) : m_idle_ms(idle_limit_ms) {}
    ReaderProcess(const ReaderProcess&) = delete;
    ReaderProcess& operator=(const ReaderProcess&) = delete;
    ~ReaderProcess()
    {
        stop();
        if (m_log >= 0)
            ::close(m_log);
    }

    // Starts the program on the file at path; false with the reason in why.
    bool start(const QString& program, const QString& path, QString& why)
    {
        if (!QFileInfo(program).isFile()) {
            why = QStringLiteral("the Access reader program %1 cannot be found").arg(shown(program));
            return false;
        }
        m_log = ::memfd_create(k_program_name, MFD_CLOEXEC);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("MDBOPTS"));
        environment.insert(QStringLiteral("MDB_ICONV"), QStringLiteral("UTF-8"));
        m_process.setProcessEnvironment(environment);
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        // Runs between fork and exec: nothing but a system call.
        const int log = m_log;
        m_process.setChildProcessModifier([log] {
            if (log >= 0)
                ::dup2(log, STDERR_FILENO);
        });
        m_process.start(program, {path}, QIODevice::ReadOnly);
        if (!m_process.waitForStarted(-1)) {
            why = QStringLiteral("the Access reader program %1 cannot be started (%2)")
                      .arg(shown(program), m_process.errorString());
            return false;
        }
        return true;
    }

    // Reads exactly n bytes; false at the end of the stream, on an error or
    // when the reader stays silent too long (it is then stopped).
    bool read(void* data, size_t n)
    {
        char* p = static_cast<char*>(data);
        while (n > 0) {
            if (m_pos == m_end && !fill())
                return false;
            const size_t take = std::min(n, m_end - m_pos);
            std::memcpy(p, m_buf + m_pos, take);
            m_pos += take;
            p += take;
            n -= take;
        }
        return true;
    }

    template <typename T> bool value(T& v) { return read(&v, sizeof v); }

    bool bytes(QByteArray& out)
    {
        quint32 n = 0;
        if (!value(n))
            return false;
        out.resize(qsizetype(n));
        return read(out.data(), n);
    }

    // Waits for the reader to end; true when it ended by itself with status 0.
    bool finish()
    {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(m_idle_ms)) {
            m_stalled = true;
            stop();
        }
        return !m_stalled && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(-1);
    }

    // Why the reader did not deliver: its signal, a stall, or the last thing it said.
    QString failure()
    {
        // What it still sends is dropped unread.
        m_process.closeReadChannel(QProcess::StandardOutput);
        // A reader that closed its output is ending: give it a moment to say how.
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(2000)) {
            stop();
            return QStringLiteral("the Access reader ended early");
        }
        if (m_stalled)
            return QStringLiteral("reading it stopped making progress");
        // The exit code of a process ended by a signal is the signal's number.
        if (m_process.exitStatus() == QProcess::CrashExit)
            return QStringLiteral("the Access reader failed on it (signal %1)").arg(m_process.exitCode());
        const QString last = last_log_line();
        return last.isEmpty() ? QStringLiteral("the Access reader ended early") : QStringLiteral("the Access reader says: %1").arg(last);
    }

    // What libmdb wrote, for warnings that mean a value was cut short.
    QString log() const
    {
        if (m_log < 0)
            return {};
        QByteArray text;
        char buf[4096];
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(m_log, buf, sizeof buf, at);
            if (got <= 0 || text.size() > (1 << 16))
                break;
            text.append(buf, got);
            at += got;
        }
        return QString::fromUtf8(text);
    }

private:
    // Refills the buffer from the reader, waiting at most the idle limit for it.
    bool fill()
    {
        for (;;) {
            const qint64 got = m_process.read(m_buf, sizeof m_buf);
            if (got > 0) {
                m_pos = 0;
                m_end = size_t(got);
                return true;
            }
            if (got < 0 || m_process.state() == QProcess::NotRunning)
                return false;
            // What a reader that just ended sent is read as it ends.
            if (!m_process.waitForReadyRead(m_idle_ms) && m_process.bytesAvailable() == 0) {
                if (m_process.state() != QProcess::NotRunning && m_process.error() == QProcess::Timedout) {
                    m_stalled = true;
                    stop();
                }
                return false;
            }
        }
    }

    QString last_log_line() const
    {
        const QStringList lines = log().split(u'\n', Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.last().trimmed();
    }

    QProcess m_process;
    int m_idle_ms;
    int m_log = -1;
    bool m_stalled = false;
    char m_buf[1 << 16];
    size_t m_pos = 0;
    size_t m_end = 0;
};

// Drops the columns a 5- or 7-column original never had, so that the
// catalogue keeps its layout (and the upgrade question still follows).
Error shape_table(Connection& conn, int columns)
{
    std::vector<QString> steps;
    if (columns <= k_older_full_columns) {
        steps.push_back(QStringLiteral("ALTER TABLE demopicture DROP COLUMN inoutpic"));
        steps.push_back(QStringLiteral("ALTER TABLE demopicture DROP COLUMN dbpic"));
    }
    if (columns <= k_light_columns) {
        steps.push_back(QStringLiteral("DROP INDEX GenericKey4"));
        steps.push_back(QStringLiteral("ALTER TABLE demopicture DROP COLUMN addnote"));
        steps.push_back(QStringLiteral("ALTER TABLE demopicture DROP COLUMN reference"));
    }
    for (const QString& sql : steps)
        if (Error e = conn.exec(sql))
            return e;
    return {};
}

QString insert_sql(int columns)
{
    QStringList names, params;
    for (int c = 0; c < columns; ++c) {
        names << QLatin1String(column_defs()[size_t(c)].name);
        params << QStringLiteral("?%1").arg(c + 1);
    }
    return QStringLiteral("INSERT INTO demopicture (%1) VALUES (%2)").arg(names.join(u','), params.join(u','));
}

// A free name for the converted copy while it is written.
QString temp_path_for(const QString& path, int attempt)
{
    const QFileInfo info(path);
    const QString suffix = attempt == 0 ? QString() : QStringLiteral("-%1").arg(attempt + 1);
    return info.absolutePath() + QStringLiteral("/.%1.converting%2.tmp").arg(info.fileName(), suffix);
}

// The copies of the catalogue at path that conversions write: the first
// name and the numbered ones temp_path_for gives.
bool is_copy_name(const QString& entry, const QString& catalogue_name)
{
    const QString stem = QStringLiteral(".%1.converting").arg(catalogue_name);
    if (!entry.startsWith(stem) || !entry.endsWith(QLatin1String(".tmp")))
        return false;
    const QStringView middle = QStringView(entry).mid(stem.size(), entry.size() - stem.size() - 4);
    if (middle.isEmpty())
        return true;
    bool number = false;
    return middle.startsWith(u'-') && middle.mid(1).toUInt(&number) > 1 && number;
}

// Removes every copy of the catalogue at path that no running conversion
// holds: a conversion that was killed left it, however recently.
void clear_abandoned_copies(const QString& path)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!is_copy_name(entry, info.fileName()))
            continue;
        const QString copy = folder.filePath(entry);
        HeldLock lock;
        if (take_abandoned(copy, lock))
            remove_database_files(copy);
    }
}

// Puts the original at a free backup name and the copy in its place. The
// original is linked first, so its name always holds a complete catalogue.
Error swap_in(const QString& path, const QString& temp, QString& backup)
{
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(temp);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        backup = jet_backup_path(path);
        const QByteArray bk = QFile::encodeName(backup);
        if (::link(from.constData(), bk.constData()) == 0) {
            if (::rename(to.constData(), from.constData()) != 0) {
                const int err = errno;
                ::unlink(bk.constData());
                return file_error(path, err);
            }
            return {};
        }
        if (errno == EEXIST)
            continue;   // taken meanwhile: look again
        // Without hard links: move the original aside without replacing anything.
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, bk.constData(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST)
                continue;
            return file_error(backup, errno);
        }
        if (::rename(to.constData(), from.constData()) != 0) {
            const int err = errno;
            ::rename(bk.constData(), from.constData());
            return file_error(path, err);
        }
        return {};
    }
    return file_error(backup, EEXIST);
}

// Copies every row the reader sends into the open copy.
Error copy_rows(ReaderProcess& reader, Connection& conn, int columns, qint64& rows, const QString& path,
                const JetProgress& progress)
{
    auto damaged = [&](const QString& why) {
        return jet_error(QStringLiteral("%1 could not be converted: %2. Nothing was changed.").arg(shown(path), why));
    };
    Statement insert = conn.prepare(insert_sql(columns));
    if (!insert.valid())
        return insert.error();
    QVariantList values;
    values.reserve(columns);
    QByteArray bytes;
    for (;;) {
        unsigned char msg = 0;
        if (!reader.value(msg))
            return damaged(reader.failure());
        if (msg == msg_end) {
            quint64 count = 0;
            if (!reader.value(count))
                return damaged(reader.failure());
            if (qint64(count) != rows)
                return damaged(QStringLiteral("the row count does not match"));
            return {};
        }
        if (msg == msg_error) {
            quint32 failure = 0;
            unsigned char tag = 0;
            if (!reader.value(failure) || !reader.value(tag) || !reader.bytes(bytes))
                return damaged(reader.failure());
            return damaged(QString::fromUtf8(bytes));
        }
        if (msg != msg_row)
            return damaged(QStringLiteral("the Access reader sent something unexpected"));
        values.clear();
        for (int c = 0; c < columns; ++c) {
            unsigned char tag = 0;
            if (!reader.value(tag))
                return damaged(reader.failure());
            switch (tag) {
            case val_null: values << QVariant(); break;
            case val_int: {
                qint64 v = 0;
                if (!reader.value(v))
                    return damaged(reader.failure());
                values << QVariant(v);
                break;
            }
            case val_text:
            case val_bytes:
                if (!reader.bytes(bytes))
                    return damaged(reader.failure());
                if (tag == val_text)
                    values << QVariant(QString::fromUtf8(bytes));
                else
                    values << QVariant(bytes);
                break;
            default: return damaged(QStringLiteral("the Access reader sent something unexpected"));
            }
        }
        if (Error e = insert.bind_list(values).run()) {
            if (is_write_failure(e))
                return e;
            return damaged(QStringLiteral("row %1 cannot be stored (%2)").arg(rows + 1).arg(e.text));
        }
        ++rows;
        if (progress && !progress(rows))
            return make_error(ErrorKind::Engine,
                              QStringLiteral("Conversion stopped; %1 is unchanged.").arg(shown(path)));
    }
}

// Fills the new catalogue at temp from the reader; every connection is closed
// when it returns.
Error write_copy(ReaderProcess& reader, const QString& temp, const Protection& protection, int columns,
                 qint64& rows, const QString& path, const JetProgress& progress)
{
    auto refused = [&](const QString& why) {
        return jet_error(QStringLiteral("%1 could not be converted: %2. Nothing was changed.").arg(shown(path), why));
    };
    Error e;
    std::unique_ptr<Connection> conn = Connection::open(temp, protection.password, e);
    if (!conn)
        return e;
    if (Error se = shape_table(*conn, columns))
        return se;
    Transaction transaction(*conn);
    if (transaction.error())
        return transaction.error();
    if (Error ce = copy_rows(reader, *conn, columns, rows, path, progress))
        return ce;
    if (!reader.finish())
        return refused(reader.failure());
    // libmdb says so when a long value was shorter than its length field.
    const QString said = reader.log();
    if (said.contains(QLatin1String("incorrect memo length")) || said.contains(QLatin1String("Unhandled")))
        return refused(QStringLiteral("a note or picture is incomplete"));
    if (Error ce = transaction.commit())
        return ce;
    if (conn->record_count(e) != rows || e)
        return e ? e : refused(QStringLiteral("not every row was written"));
    return {};
}

} // namespace

JetHeader read_jet_header(const QString& path)
{
    JetHeader h;
    // Only a plain file: opening a pipe would wait for a writer.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return h;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return h;
    QByteArray page = file.read(k_date_offset + 8);
    if (page.size() < k_magic_offset + 15) {
        h.kind = JetHeader::Kind::NotJet;
        return h;
    }
    if (page.mid(k_magic_offset, 15) != QByteArrayLiteral("Standard Jet DB")) {
        h.kind = JetHeader::Kind::NotJet;
        return h;
    }
    if (page.size() < k_date_offset + 8) {
        h.kind = JetHeader::Kind::Unreadable;
        return h;
    }
    auto* p = reinterpret_cast<unsigned char*>(page.data());
    h.version = le32(p + k_version_offset);
    h.kind = h.version == k_jet4_version ? JetHeader::Kind::Jet4
             : h.version == k_jet3_version ? JetHeader::Kind::Jet3
                                         : JetHeader::Kind::Unknown;
    if (h.kind != JetHeader::Kind::Jet4)
        return h;
    const unsigned char mask_key[4] = {k_header_mask_key & 0xff, (k_header_mask_key >> 8) & 0xff,
                                       (k_header_mask_key >> 16) & 0xff, k_header_mask_key >> 24};
    rc4(mask_key, 4, p + k_masked_start, k_masked_length);
    h.encoded = le32(p + k_key_offset) != 0;
    double created = 0;
    std::memcpy(&created, p + k_date_offset, sizeof created);
    // The password is masked once more with the creation date's whole days.
    const qint32 days = std::isfinite(created) && created > -2e9 && created < 2e9 ? qint32(created) : 0;
    const unsigned char date_mask[4] = {static_cast<unsigned char>(days & 0xff), static_cast<unsigned char>((days >> 8) & 0xff),
                                        static_cast<unsigned char>((days >> 16) & 0xff),
                                        static_cast<unsigned char>((quint32(days) >> 24) & 0xff)};
    QString password;
    for (int i = 0; i < k_password_length; i += 2) {
        const char16_t unit = char16_t((p[k_password_offset + i] ^ date_mask[i % 4]) |
                                       (p[k_password_offset + i + 1] ^ date_mask[(i + 1) % 4]) << 8);
        if (unit == 0)
            break;
        password += QChar(unit);
    }
    h.password = password;
    return h;
}

Error jet_header_error(const QString& path, const JetHeader& header)
{
    switch (header.kind) {
    case JetHeader::Kind::Jet4: return {};
    case JetHeader::Kind::Jet3:
        return jet_error(QStringLiteral("%1 is an Access 97 (Jet 3) database; only Access catalogues of the Jet 4.0 "
                                        "format can be converted.")
                             .arg(shown(path)));
    case JetHeader::Kind::Unknown:
        return jet_error(QStringLiteral("%1 is an Access database of an unknown version (%2); only Access catalogues "
                                        "of the Jet 4.0 format can be converted.")
                             .arg(shown(path))
                             .arg(header.version));
    case JetHeader::Kind::NotJet:
        return jet_error(QStringLiteral("%1 is not an Access database.").arg(shown(path)));
    case JetHeader::Kind::Unreadable: break;
    }
    return jet_error(QStringLiteral("%1 could not be converted: its first page cannot be read. Nothing was changed.")
                         .arg(shown(path)));
}

bool jet_password_matches(const JetHeader& header, const QString& typed)
{
    return typed == header.password;
}

Protection jet_protection(const JetHeader& header)
{
    Protection p;
    p.password = header.password;
    p.encrypt = header.password.isEmpty() && header.encoded;
    return p;
}

QString jet_backup_path(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath() + u'/';
    const QString name = info.fileName();
    const QString base = name.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive) ? name.chopped(4) : name;
    for (int n = 1;; ++n) {
        const QString candidate = folder + base + (n == 1 ? QStringLiteral(".access.mdb")
                                                          : QStringLiteral(".access-%1.mdb").arg(n));
        // Only a name that is there is taken; any other failure (a name too
        // long, a folder not searchable) is reported by the link that follows.
        struct stat st {};
        if (::lstat(QFile::encodeName(candidate).constData(), &st) != 0)
            return candidate;
    }
}

QString jet_reader_program()
{
    if (!QCoreApplication::instance())
        return QStringLiteral(MOSSWICK_BUILT_JET_READER);
    const QString folder = QCoreApplication::applicationDirPath();
    const QString beside = folder + u'/' + QLatin1String(k_program_name);
    // A program run from the build tree has none beside it: it takes the
    // one the build made. An installed program never looks there.
    const QString build = QFileInfo(QStringLiteral(MOSSWICK_BUILD_DIR)).canonicalFilePath();
    if (!QFileInfo::exists(beside) && !build.isEmpty() && (folder + u'/').startsWith(build + u'/'))
        return QStringLiteral(MOSSWICK_BUILT_JET_READER);
    return beside;
}

Error convert_jet_catalogue(const QString& given_path, const Protection& protection, JetConversion& result,
                            const JetProgress& progress, const JetReader& reader_setup)
{
    result = {};
    // A catalogue reached through a link is converted where it really lives.
    const QString path = QFileInfo(given_path).canonicalFilePath();
    if (path.isEmpty())
        return file_error(given_path, ENOENT);
    const JetHeader header = read_jet_header(path);
    if (Error e = jet_header_error(path, header))
        return e;
    if (is_read_only_path(path))
        return make_error(ErrorKind::FileAccess, QStringLiteral("The database is Read-Only."));
    struct stat original {};
    if (::stat(QFile::encodeName(path).constData(), &original) != 0)
        return file_error(path, errno);

    auto refused = [&](const QString& why, bool foreign) {
        return jet_error(foreign ? QStringLiteral("%1 is an Access database but not a Mosswick catalogue: %2.")
                                       .arg(shown(path), why)
                                 : QStringLiteral("%1 could not be converted: %2. Nothing was changed.")
                                       .arg(shown(path), why));
    };
    ReaderProcess reader(reader_setup.idle_limit_ms);
    QString why;
    if (!reader.start(reader_setup.program.isEmpty() ? jet_reader_program() : reader_setup.program, path, why))
        return refused(why, false);
    unsigned char msg = 0;
    quint32 columns = 0;
    if (!reader.value(msg))
        return refused(reader.failure(), false);
    if (msg == msg_error) {
        quint32 failure = 0;
        unsigned char tag = 0;
        QByteArray text;
        if (!reader.value(failure) || !reader.value(tag) || !reader.bytes(text))
            return refused(reader.failure(), false);
        return refused(QString::fromUtf8(text), failure == failure_foreign);
    }
    if (msg != msg_columns || !reader.value(columns) ||
        !known_column_count(columns))
        return refused(reader.failure(), false);

    // The copy is written under a name of its own until it is complete, and
    // locked for the conversion's life so that another knows it is in use.
    clear_abandoned_copies(path);
    QString temp;
    HeldLock lock;
    for (int attempt = 0;; ++attempt) {
        temp = temp_path_for(path, attempt);
        const Error e = Connection::create(temp, Schema::Full, protection, &lock);
        if (!e)
            break;
        if (e.kind != ErrorKind::FileExists || attempt > 100)
            return not_written(path, e);
    }
    auto fail = [&](Error e) {
        reader.stop();
        remove_database_files(temp);
        return not_written(path, e);
    };
    if (Error e = write_copy(reader, temp, protection, int(columns), result.rows, path, progress))
        return fail(e);
    if (::chmod(QFile::encodeName(temp).constData(), original.st_mode & 07777) != 0 || !fsync_file(temp, false) ||
        !fsync_file(QFileInfo(temp).absolutePath(), true))
        return fail(make_error(ErrorKind::FileAccess, QString::fromLocal8Bit(strerror(errno))));
    if (Error e = swap_in(path, temp, result.backup_path))
        return fail(e);
    fsync_file(QFileInfo(path).absolutePath(), true);
    // Copies killed while this one ran are not left behind either.
    clear_abandoned_copies(path);
    result.column_count = int(columns);
    return {};
}

} // namespace mosswick::store
