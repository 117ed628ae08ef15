#pragma once

#include <QString>

namespace mosswick::store {

// Installs, once per process, the engine's file layer of ours: every file
// the engine opens (catalogue, journal, WAL, shared memory, temporary
// copies) is opened without following a link and must be a regular file.
void install_safe_files();

// What is at a path, without following a final link.
enum class PathKind { Missing, Regular, Link, Folder, Other };
PathKind path_kind(const QString& path);

// Describes what is wrong with a side file of the catalogue at path
// (-journal, -wal, -shm) that exists and is not a regular file; empty when
// every side file is absent or regular.
QString side_file_problem(const QString& path);

// "a link", "a folder", "a FIFO, device or socket" for messages.
QString describe_kind(PathKind kind);

} // namespace mosswick::store
