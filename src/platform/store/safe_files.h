#pragma once

#include <QString>

namespace mosswick::store {

// Installs, once per process, the engine's file layer of ours: every file
// the engine opens (catalogue, journal, WAL, shared memory, temporary
// copies) is opened without following a link and must be a regular file,
// and one with a single name: a hard link is refused on the opened
// descriptor, before the engine reads or writes it, whenever it appears.
void install_safe_files();

// While one lives, the database file the engine opens on this thread may
// have more than one name: the catalogue itself, never a side file (which
// the engine opens later, at its first read).
class CatalogueFileOpen {
public:
    CatalogueFileOpen();
    ~CatalogueFileOpen();
    CatalogueFileOpen(const CatalogueFileOpen&) = delete;
    CatalogueFileOpen& operator=(const CatalogueFileOpen&) = delete;
};

// What is at a path, without following a final link.
enum class PathKind { Missing, Regular, Link, Folder, Other };
PathKind path_kind(const QString& path);

// Describes what is wrong with a side file of the catalogue at path
// (-journal, -wal, -shm) that exists and is not a regular file of its own
// (a link, a hard link, a folder ...); empty when every side file is absent
// or such a file.
QString side_file_problem(const QString& path);

// "a link", "a folder", "a FIFO, device or socket" for messages.
QString describe_kind(PathKind kind);

// An advisory lock (flock) on a file, held while this object lives: it tells
// other programs that the file is in use. flock locks are the file's own and
// do not meet the engine's record locks.
class HeldLock {
public:
    HeldLock() = default;
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    ~HeldLock() { release(); }

    // Takes the lock on an open descriptor, which this object then owns.
    // False (and the descriptor closed) when someone else holds a lock on the file.
    bool take(int fd);
    void release();
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Takes the lock of the regular file at path when nobody holds it: the file
// was left by a program that ended without removing it, and the caller may
// remove it while it holds the lock (the path still names the locked file).
bool take_abandoned(const QString& path, HeldLock& lock);

} // namespace mosswick::store
