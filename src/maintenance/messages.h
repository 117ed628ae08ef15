#pragma once

#include <QString>
#include <QStringList>

// Status-bar texts of catalogue maintenance that are built from values.
namespace mosswick::maintenance {

// "Grid loaded: 5 records listed." ("record" for 0 and 1); prefix is the
// text before the blank and the count.
QString grid_loaded_message(qint64 count, const QString& prefix = QStringLiteral("Grid loaded:"));

// The rename prompt after a grid click, naming the row's picture and page
// numbers as the grid shows them:
// "Renaming file(s), change the name and press the 'Rename' button; Picture#:3,  Page#:1."
QString rename_prompt_message(const QString& numpic_text, const QString& numpage_text);

// "Update pictures completed on 1 record." / "... on 12 records." /
// "Update pictures completed, no updates made."
QString update_summary(qint64 updated);

// "Not imported, a link or not a plain file: a.txt, b.txt." for note files
// the update pass left alone; "" when there are none.
QString skipped_notes_message(const QStringList& names);

// "Verify complete, no error(s) found." or "Verify complete, error(s) found."
QString verify_summary(bool errors_found);

// The edits that end with a renumbering (or, for the exchange, run as one).
enum class EditKind { DeletePage, DeletePicture, Insert, Exchange };

// A stopped edit is rolled back: the stop message says the edit was not made,
// e.g. "Renumbering stopped, the picture was not deleted."
QString edit_stopped_message(EditKind kind);

// Elapsed milliseconds for the timing panel: "125 ms".
QString elapsed_text(qint64 milliseconds);

inline constexpr const char* k_msg_out_of_date =
    "The list is out of date: press \"Load List\" and try again. Nothing was changed.";
// A grid edit refused for an out-of-date row has listed the catalogue again.
inline constexpr const char* k_msg_listed_again =
    "The list was out of date and is listed again: try again. Nothing was changed.";
inline constexpr const char* k_msg_no_catalogue = "Open a database first.";

} // namespace mosswick::maintenance
