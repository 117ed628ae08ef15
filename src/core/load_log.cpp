#include "core/load_log.h"

#include "core/file_ops.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mosswick::files {

namespace {

bool needs_escape(char16_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// The locale's long time (with seconds), without its time zone.
QString time_format(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.simplified();
}

store::Error log_refused(const QString& log_path)
{
    return store::make_error(store::ErrorKind::FileAccess,
                             QStringLiteral("The log %1 is a link or not a plain file; nothing was written to it.")
                                 .arg(QDir::cleanPath(log_path)));
}

} // namespace

QString escape_for_log(QStringView name)
{
    QString out;
    out.reserve(name.size());
    for (QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else if (needs_escape(c)) {
            out += c <= 0xFF ? QStringLiteral("\\x%1").arg(unsigned(c), 2, 16, QLatin1Char('0'))
                             : QStringLiteral("\\u%1").arg(unsigned(c), 4, 16, QLatin1Char('0'));
        } else {
            out += qc;
        }
    }
    return out;
}

QString log_line(const QDateTime& when, const QString& name, const QLocale& locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QStringLiteral(" - ")
        + locale.toString(when.time(), time_format(locale)) + QStringLiteral(" - File name: ") + escape_for_log(name)
        + QStringLiteral("\r\n");
}

store::Error append_log_line(const QString& log_path, const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    // A log is written only where the user could have meant it: never through
    // a link (a folder someone sent may hold one under the log's name), never
    // into a pipe or device, never into a file with another name elsewhere.
    const int fd = ::open(QFile::encodeName(log_path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
    if (fd < 0)
        return errno == ELOOP ? log_refused(log_path) : file_error(log_path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return file_error(log_path, err);
    }
    if (!S_ISREG(st.st_mode) || st.st_nlink != 1) {
        ::close(fd);
        return log_refused(log_path);
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return file_error(log_path, err);
        }
        done += put;
    }
    if (::close(fd) != 0)
        return file_error(log_path, errno);
    return {};
}

} // namespace mosswick::files
