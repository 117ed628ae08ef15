#include "platform/store/safe_files.h"

#include "platform/store/sqlite.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mosswick::store {

namespace {

sqlite3_vfs* g_base = nullptr;
sqlite3_vfs g_shim {};

// Set while a catalogue's own file is opened on this thread: the one file
// that may have other names (the user picked it, links and all).
thread_local int t_catalogue_opens = 0;

// Replaces the open() the engine's unix layer calls for every file,
// including the shared-memory file and folders opened for fsync. The kernel
// refuses a link at the last component (O_NOFOLLOW), so nothing can swap a
// link in between a check and the open; O_NONBLOCK keeps a FIFO from
// blocking while fstat on the very descriptor decides what was opened.
int open_no_follow(const char* name, int flags, int mode)
{
    const int fd = ::open(name, flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, mode);
    if (fd < 0)
        return fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    const bool writes = (flags & O_ACCMODE) != O_RDONLY || (flags & O_CREAT);
    // Folders are opened read-only to sync them after a delete.
    // The engine's own source of random bytes is the one device it may read.
    const bool random_source = S_ISCHR(st.st_mode) && !writes && std::strcmp(name, "/dev/urandom") == 0;
    // A side file with a second name is someone else's file: the engine
    // would write through it (the shared memory even on a read-only open).
    const bool other_names = S_ISREG(st.st_mode) && st.st_nlink > 1 && t_catalogue_opens == 0;
    const bool allowed = (S_ISREG(st.st_mode) && !other_names) || (S_ISDIR(st.st_mode) && !writes) || random_source;
    if (!allowed) {
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
        return -1;
    }
    if (!(flags & O_NONBLOCK))
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// The file layer's own check gives the engine a plain "cannot open" before
// it touches anything that is not a regular file; the open above still
// holds if the path changes after this look.
int shim_open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* out_flags)
{
    if (name) {
        struct stat st {};
        if (::lstat(name, &st) == 0 && !S_ISREG(st.st_mode)) {
            file->pMethods = nullptr;
            return SQLITE_CANTOPEN;
        }
    }
    return g_base->xOpen(g_base, name, file, flags, out_flags);
}

} // namespace

void install_safe_files()
{
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_initialize();
        g_base = sqlite3_vfs_find("unix");
        if (!g_base)
            return;
        g_base->xSetSystemCall(g_base, "open", reinterpret_cast<sqlite3_syscall_ptr>(&open_no_follow));
        g_shim = *g_base;
        g_shim.zName = "mosswick";
        g_shim.pNext = nullptr;
        g_shim.xOpen = &shim_open;
        sqlite3_vfs_register(&g_shim, 1);
    });
}

CatalogueFileOpen::CatalogueFileOpen()
{
    ++t_catalogue_opens;
}

CatalogueFileOpen::~CatalogueFileOpen()
{
    --t_catalogue_opens;
}

PathKind path_kind(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
    if (S_ISREG(st.st_mode))
        return PathKind::Regular;
    if (S_ISLNK(st.st_mode))
        return PathKind::Link;
    if (S_ISDIR(st.st_mode))
        return PathKind::Folder;
    return PathKind::Other;
}

QString describe_kind(PathKind kind)
{
    switch (kind) {
    case PathKind::Link:
        return QStringLiteral("a link");
    case PathKind::Folder:
        return QStringLiteral("a folder");
    case PathKind::Missing:
        return QStringLiteral("missing");
    case PathKind::Regular:
        return QStringLiteral("a file");
    case PathKind::Other:
        break;
    }
    return QStringLiteral("a FIFO, device or socket");
}

QString side_file_problem(const QString& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QString side = path + QLatin1String(suffix);
        const PathKind kind = path_kind(side);
        if (kind != PathKind::Missing && kind != PathKind::Regular)
            return QStringLiteral("%1 beside it is %2, not a regular file").arg(side, describe_kind(kind));
        struct stat st {};
        if (kind == PathKind::Regular && ::lstat(QFile::encodeName(side).constData(), &st) == 0 && st.st_nlink > 1)
            return QStringLiteral("%1 beside it is a hard link to another file, not a file of its own").arg(side);
    }
    return {};
}

bool HeldLock::take(int fd)
{
    release();
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void HeldLock::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool take_abandoned(const QString& path, HeldLock& lock)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat held {};
    if (fd < 0 || ::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (!lock.take(fd))
        return false;
    // Removed and made again meanwhile: the new file is someone else's.
    struct stat now {};
    if (::lstat(name.constData(), &now) != 0 || now.st_dev != held.st_dev || now.st_ino != held.st_ino) {
        lock.release();
        return false;
    }
    return true;
}

} // namespace mosswick::store
