#pragma once

#include <QString>

// Pure rules of the catalogue window: command line, paths, page arithmetic.
namespace mosswick {

inline constexpr int k_pictures_per_page = 6;
// A page slider longer than this gets no tick marks.
inline constexpr int k_max_ticked_pages = 495;

// The catalogue named on the command line: one surrounding pair of double
// quotes is removed only when both are there; the result is made absolute
// against cwd. Empty for an empty argument.
QString command_line_path(const QString& argument, const QString& cwd);

// The folder part of a path, with its trailing '/' ("/" for the root).
QString folder_of(const QString& path);
// The file-name part of a path (after the last '/').
QString file_name_of(const QString& path);
// Joins a folder and a name with exactly one '/' between them.
QString join_path(const QString& folder, const QString& name);

// Number of pages for a picture count: count / 6 rounded up (0 for none).
qint64 page_count(qint64 pictures);

// The page slider's tick interval for a number of pages: 1, or 0 (none).
int slider_tick_interval(qint64 pages);

} // namespace mosswick
