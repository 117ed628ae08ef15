#pragma once

#include <QString>

// Texts the search tab and the import/export page show.
namespace mosswick::search {

// "<n> record selected." or "<n> records selected." (2 and more).
QString selected_message(qint64 count);

// " <n> record listed." or " <n> records listed." (more than 1); the text
// always begins with a blank.
QString listed_message(qint64 count);

// "<file> have movie." or "<file> have not a movie.".
QString movie_message(const QString& file_name, bool has_movie);

// "<ms> ms" for the timing panel.
QString elapsed_message(qint64 milliseconds);

inline constexpr const char* k_loading = "Loading, please wait...";
inline constexpr const char* k_time_elapsed = "Time elapsed ...";
inline constexpr const char* k_select_one_row = "Select one row.";
inline constexpr const char* k_too_many_strings = "There are more than 99 strings, please reduce.";
inline constexpr const char* k_loading_import_export = "Loading Import / Export grid, please wait...";
inline constexpr const char* k_file_name_refused = "Characters not supported \\ / * ? < > | \"";
inline constexpr const char* k_reference_refused = "Character not supported \"";
inline constexpr const char* k_note_refused = "Characters not supported \"";
inline constexpr const char* k_picture_not_found = "Picture file not found.";
inline constexpr const char* k_replace_question = "A file with the same name was found, delete it?";
inline constexpr const char* k_import_type_refused = "Cannot import PNG, TIF, RLE, WMF, ICO or EMF files.";
inline constexpr const char* k_file_not_found = "File not found.";
inline constexpr const char* k_confirmation_title = "Mosswick Zudidudi - Confirmation";
inline constexpr const char* k_error_title = "Error";
inline constexpr const char* k_ready = "Ready.";
// A grid older than the catalogue: nothing is read or written from the row.
inline constexpr const char* k_row_gone = "The record is no longer in the catalogue, refresh the grid.";
inline constexpr const char* k_row_changed = "The record has changed since the grid was filled, refresh the grid.";

} // namespace mosswick::search
