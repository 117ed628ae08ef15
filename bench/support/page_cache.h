#pragma once

// Cold figures: a file's pages dropped from the kernel's cache; warm ones:
// the whole file read into it.

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

namespace benchsupport {

// Drops the file's pages from the kernel's cache (written back first);
// false when the file cannot be opened or the kernel refuses.
inline bool drop_from_cache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::fdatasync(fd);
    const bool ok = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return ok;
}

// Reads the whole file once, so that its pages are in the kernel's cache;
// false when it cannot be read.
inline bool read_into_cache(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    while (!f.read(1 << 20).isEmpty()) {
    }
    return f.error() == QFileDevice::NoError;
}

} // namespace benchsupport
