#pragma once

#include "core/edition.h"
#include "platform/store/store_error.h"

#include <QString>

#include <optional>

// Pure rules of the catalogue window: command line, paths, page arithmetic.
namespace mosswick {

inline constexpr int k_pictures_per_page = 6;
// A page slider longer than this gets no tick marks.
inline constexpr int k_max_ticked_pages = 495;

// Why exit is refused while a long action runs: the ways that stop it, or,
// with neither, that it finishes by itself.
QString exit_refusal_text(bool esc_stops, bool progress_bar_stops);

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

// A page or picture number typed or pasted: digits only (surrounding blanks
// allowed), within 32 bits. Anything else is nullopt.
std::optional<qint64> parse_number(const QString& text);

// A message and what more it says after a blank, if anything (a conversion's
// note, what page 1 found wrong).
QString followed_by(const QString& text, const QString& more);

// A status-bar message and the detail its tooltip adds (may be empty).
struct StatusText {
    QString text;
    QString detail;
};

// What the status bar says when a catalogue does not open. A refusal of the
// file's format says its reason without an error number. An edition
// without passwords never asks for one: a protected catalogue is named as
// such, not as a wrong password.
StatusText open_failure_text(const store::Error& error, const Edition& edition);

// What the status bar says when "new.mdb" cannot be created; an edition
// with its own text for it shows that, the store's reason in the tooltip.
StatusText create_failure_text(const store::Error& error, const Edition& edition);

} // namespace mosswick
