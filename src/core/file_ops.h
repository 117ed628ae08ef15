#pragma once

#include "platform/store/store_error.h"

#include <QString>

// File-system steps the parts share: folder identity and moves that never
// replace an existing file.
namespace mosswick::files {

// True when both paths name the same folder. Existing folders are compared
// by identity (device and inode), so case, "..", symbolic links and a
// trailing '/' do not matter; otherwise the cleaned paths are compared exactly.
bool same_folder(const QString& a, const QString& b);

// Moves a file to a new path without ever replacing an existing file: one
// rename when both lie on the same file system, else a copy then the
// removal of the original. FileExists (58) when the target exists, and
// nothing moved; on any failure the original stays where it was.
store::Error move_no_replace(const QString& from, const QString& to);

// True when something is at the path that is not a regular file of its own:
// a symbolic link (live or dangling, even to a regular file), a regular file
// with more than one name (a hard link: the other name may be any file of the
// user's), a folder, a pipe or a device. False for a regular file with one
// name and for nothing at all.
bool is_link_or_special(const QString& path);

// The program's error for an errno met on a path (53, 58, 75, 76 or 68).
store::Error file_error(const QString& path, int err);

} // namespace mosswick::files
