#include "core/file_ops.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mosswick::files {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Copies across file systems into a target created exclusively; the target
// is removed again when anything fails.
store::Error copy_then_remove(const QString& from, const QString& to)
{
    const int in = ::open(native(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return file_error(from, errno);
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int err = errno;
        ::close(in);
        return file_error(from, err);
    }
    const int out = ::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return file_error(to, err);
    }
    auto fail = [&](const QString& path, int err) {
        ::close(in);
        ::close(out);
        ::unlink(native(to).constData());
        return file_error(path, err);
    };
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fail(from, errno);
        }
        if (got == 0)
            break;
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put = ::write(out, buffer + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return fail(to, errno);
            }
            done += put;
        }
    }
    if (::fsync(out) != 0)
        return fail(to, errno);
    ::close(in);
    if (::close(out) != 0) {
        const int err = errno;
        ::unlink(native(to).constData());
        return file_error(to, err);
    }
    if (::unlink(native(from).constData()) != 0) {
        // Keep one copy only: the original could not go, so the new one goes.
        const int err = errno;
        ::unlink(native(to).constData());
        return file_error(from, err);
    }
    return {};
}

} // namespace

store::Error file_error(const QString& path, int err)
{
    const QString shown = QDir::cleanPath(path);
    using store::ErrorKind;
    switch (err) {
    case ENOENT:
        return store::make_error(ErrorKind::FileNotFound, QStringLiteral("File not found: ") + shown);
    case ENOTDIR:
        return store::make_error(ErrorKind::PathNotFound, QStringLiteral("Path not found: ") + shown);
    case EEXIST:
        return store::make_error(ErrorKind::FileExists, QStringLiteral("File already exists: ") + shown);
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
        return {ErrorKind::FileAccess, 68, QStringLiteral("Device unavailable: ") + shown};
    default:
        return store::make_error(ErrorKind::FileAccess, QStringLiteral("Path/File access error: ") + shown
                                                            + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(err))
                                                            + QStringLiteral(")"));
    }
}

bool is_link_or_special(const QString& path)
{
    struct stat st {};
    return ::lstat(native(path).constData(), &st) == 0 && (!S_ISREG(st.st_mode) || st.st_nlink != 1);
}

bool same_folder(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    if (::stat(native(a).constData(), &sa) == 0 && ::stat(native(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

store::Error move_no_replace(const QString& from, const QString& to)
{
    const QByteArray src = native(from);
    const QByteArray dst = native(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return {};
    const int err = errno;
    if (err == EXDEV)
        return copy_then_remove(from, to);
    if (err != EINVAL && err != ENOSYS)
        return file_error(err == EEXIST ? to : from, err);
    // A file system without the no-replace flag: a hard link cannot replace
    // anything either.
    if (::link(src.constData(), dst.constData()) == 0) {
        if (::unlink(src.constData()) != 0) {
            const int uerr = errno;
            ::unlink(dst.constData());
            return file_error(from, uerr);
        }
        return {};
    }
    if (errno == EEXIST)
        return file_error(to, EEXIST);
    struct stat st {};
    if (::lstat(dst.constData(), &st) == 0)
        return file_error(to, EEXIST);
    return copy_then_remove(from, to);
}

} // namespace mosswick::files
