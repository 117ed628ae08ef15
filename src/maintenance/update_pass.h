#pragma once

#include "core/companions.h"
#include "platform/store/connection.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

// The update pass: brings the rows of the listed pictures into line with
// the files beside the catalogue. "OUT" links or unlinks movies found in the
// data folder; "IN" appends .txt companions of the catalogue's own folder to
// a note field and logs each import. No widgets: the window drives it.
namespace mosswick::maintenance {

inline constexpr const char* k_update_log_name = "Mosswick-Zudidudi update verify.log";

struct UpdateRequest {
    QStringList pictures;     // the loader's picture list, in list order
    bool notes_in = false;    // "IN"; else "OUT"
    files::NoteTarget target = files::NoteTarget::Note;
    QString db_folder;        // the catalogue's folder ("IN" looks here)
    QString data_folder;      // the data folder ("OUT" looks here)
    QString log_path;         // the update log
};

struct UpdateHooks {
    // After each listed name, with the progress bar's new value; false stops.
    std::function<bool(qint64 value)> advance;
    // The time stamped on log lines; the clock when empty.
    std::function<QDateTime()> now;
};

enum class UpdateOutcome {
    Done,      // every listed name handled; the changes are saved
    Stopped,   // stopped by the user: nothing changed, nothing logged
    Failed,    // an error: nothing changed, nothing logged
};

struct UpdateResult {
    UpdateOutcome outcome = UpdateOutcome::Done;
    qint64 updated = 0;   // rows written
    store::Error error;
    // Note files left alone because they are links or not regular files
    // (a folder someone sent may link a private file under a note's name).
    QStringList skipped;
};

// Runs the pass over the listed names in one transaction. A row counts as
// updated when the pass writes to it: a movie linked or unlinked, or a note
// file's text appended (a .rtf companion only unlinks the movie). The log
// lines are written once the rows are, so the log never names an import
// that was rolled back.
UpdateResult run_update_pass(store::Connection& conn, const UpdateRequest& request, const UpdateHooks& hooks);

// One line of the update log:
// "<date> - <time> - Picture: <name> - <companion> - TXT in NOTE" and CR LF,
// the date and time in the locale's short formats, names escaped as in the
// load log.
QString update_log_line(const QDateTime& when, const QString& picture, const QString& companion,
                        files::NoteTarget target, const QLocale& locale = QLocale::system());

// A note as fresh rich text in the reset format whose plain text is text.
QString rich_text_of_plain(const QString& text);

// The reference after an import: the old one directly followed by the added
// text, cut to the column's 255 characters (never inside a character pair).
QString joined_reference(const QString& old_reference, const QString& added);

} // namespace mosswick::maintenance
