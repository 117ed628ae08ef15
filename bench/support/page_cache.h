#pragma once

// Cold figures: a file's pages dropped from the kernel's cache.

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

} // namespace benchsupport
