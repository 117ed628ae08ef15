#include "platform/store/checked_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <vector>

namespace mosswick::store {

namespace {

const QByteArray k_header = QByteArrayLiteral("mosswick checked catalogues 1");
// A record larger than this is not ours: it is read as empty.
constexpr qint64 k_largest_record = 4 * 1024 * 1024;
// How long later_changes_show waits for the clock at most.
constexpr int k_longest_wait_ms = 50;
constexpr qint64 k_ns = 1000000000;

qint64 ns_of(const timespec& t)
{
    return qint64(t.tv_sec) * k_ns + t.tv_nsec;
}

qint64 coarse_now_ns()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return ns_of(now);
}

struct Entry {
    QByteArray key;   // the path's bytes, percent-encoded
    FileState state;
};

// One entry per catalogue: the same file under another spelling of its
// path is the same entry.
QByteArray key_of(const QString& path)
{
    QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        real = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return QFile::encodeName(real).toPercentEncoding();
}

// The record's bytes; empty unless it is a regular file of a sensible size.
// Opened without blocking (a FIFO there) and without following a link.
QByteArray read_record(const QString& record)
{
    const int fd = ::open(QFile::encodeName(record).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    QFile f;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > k_largest_record ||
        !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    return f.read(k_largest_record);
}

std::vector<Entry> read_entries(const QString& record)
{
    std::vector<Entry> entries;
    const QList<QByteArray> lines = read_record(record).split('\n');
    if (lines.isEmpty() || lines.front() != k_header)
        return entries;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        if (fields.size() != 6)
            continue;
        bool ok[5] = {};
        Entry e;
        e.state.device = fields[0].toULongLong(&ok[0]);
        e.state.inode = fields[1].toULongLong(&ok[1]);
        e.state.size = fields[2].toLongLong(&ok[2]);
        e.state.modified_ns = fields[3].toLongLong(&ok[3]);
        e.state.changed_ns = fields[4].toLongLong(&ok[4]);
        e.key = fields[5];
        if (ok[0] && ok[1] && ok[2] && ok[3] && ok[4] && !e.key.isEmpty())
            entries.push_back(e);
    }
    return entries;
}

bool write_entries(const QString& record, const std::vector<Entry>& entries)
{
    const QFileInfo where(record);
    if (!QDir().mkpath(where.absolutePath()))
        return false;
    // Written beside it, then renamed onto its name: whatever is there (a
    // link too) is replaced, never written through. The temporary file is
    // made private (0600), since the paths of a user's catalogues are
    // nobody else's business.
    QTemporaryFile f(where.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!f.open())
        return false;
    QByteArray out = k_header + '\n';
    for (const Entry& e : entries)
        out += QByteArray::number(e.state.device) + ' ' + QByteArray::number(e.state.inode) + ' ' +
               QByteArray::number(e.state.size) + ' ' + QByteArray::number(e.state.modified_ns) + ' ' +
               QByteArray::number(e.state.changed_ns) + ' ' + e.key + '\n';
    if (f.write(out) != out.size() || !f.flush() || ::fsync(f.handle()) != 0 ||
        ::rename(QFile::encodeName(f.fileName()).constData(), QFile::encodeName(record).constData()) != 0)
        return false;
    f.setAutoRemove(false);
    return true;
}

} // namespace

std::optional<FileState> file_state(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileState{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), ns_of(st.st_mtim), ns_of(st.st_ctim)};
}

bool later_changes_show(const FileState& state)
{
    const qint64 newest = std::max(state.modified_ns, state.changed_ns);
    // Times in whole seconds: the file system may round to two.
    if (state.modified_ns % k_ns == 0 && state.changed_ns % k_ns == 0)
        return coarse_now_ns() >= newest + 2 * k_ns;
    // The file system stamps times from the coarse clock: once it has moved
    // on, every later change gets a later time.
    for (int waited = 0; coarse_now_ns() <= newest; ++waited) {
        if (waited >= k_longest_wait_ms)
            return false;
        QThread::msleep(1);
    }
    return true;
}

QString CheckedCatalogues::default_path()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/mosswick/checked-catalogues");
}

CheckedCatalogues::CheckedCatalogues(QString record_path) : m_path(std::move(record_path)) {}

bool CheckedCatalogues::unchanged(const QString& path, const FileState& state) const
{
    const QByteArray key = key_of(path);
    for (const Entry& e : read_entries(m_path))
        if (e.key == key)
            return e.state == state;
    return false;
}

bool CheckedCatalogues::record(const QString& path, const FileState& state) const
{
    const QByteArray key = key_of(path);
    std::vector<Entry> entries = read_entries(m_path);
    std::erase_if(entries, [&key](const Entry& e) { return e.key == key; });
    entries.push_back({key, state});
    if (entries.size() > size_t(k_max_entries))
        entries.erase(entries.begin(), entries.end() - k_max_entries);
    return write_entries(m_path, entries);
}

bool CheckedCatalogues::forget(const QString& path) const
{
    const QByteArray key = key_of(path);
    std::vector<Entry> entries = read_entries(m_path);
    const size_t before = entries.size();
    std::erase_if(entries, [&key](const Entry& e) { return e.key == key; });
    return entries.size() == before || write_entries(m_path, entries);
}

} // namespace mosswick::store
