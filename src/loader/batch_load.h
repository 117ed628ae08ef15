#pragma once

#include "core/companions.h"
#include "loader/numbering.h"
#include "platform/store/connection.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// The batch load: every listed picture of a folder into the catalogue, in
// two phases (name lengths, then rows), with companions, note files and the
// error log. No widgets: the window drives it through hooks.
namespace mosswick::loader {

struct BatchOptions {
    bool pictures_inside = false;     // store each picture's bytes ("IN")
    bool companion_text_in = false;   // read .txt/.rtf companions into a field
    files::NoteTarget note_target = files::NoteTarget::Note;
};

struct BatchRequest {
    QString list_folder;      // the folder both lists show
    QStringList pictures;     // the picture list, in list order
    QStringList all_files;    // every file of the folder, in list order
    QString db_folder;        // the catalogue's folder (note files move there)
    QString data_folder;      // the catalogue's data folder
    QString log_path;         // the load error log
    BatchOptions options;
};

struct BatchHooks {
    // A phase starts (1: names, 2: rows) with the progress bar's maximum.
    std::function<void(int phase, qint64 maximum)> phase_started;
    // After each item of a phase, with the bar's new value; false stops the run.
    std::function<bool(qint64 value)> advance;
    // The full path of the picture being loaded.
    std::function<void(const QString& path)> picture_started;
    // The companion found for it ("" for none); only runs that store names look.
    std::function<void(const QString& name)> movie_found;
    // The time stamped on log lines; the clock when empty.
    std::function<QDateTime()> now;
};

enum class BatchOutcome {
    Done,          // every listed picture processed
    NameTooLong,   // phase 1 refused a name; nothing written
    Stopped,       // stopped by the user; rows saved so far stay
    Failed,        // an error ended phase 2; rows saved before it stay
};

struct BatchResult {
    BatchOutcome outcome = BatchOutcome::Done;
    int phase = 0;            // the phase the run ended in
    qint64 listed = 0;        // pictures in the list
    qint64 loaded = 0;        // rows saved
    bool errors = false;      // a file was skipped (and a line meant for the log)
    QString message;          // the name-length or error message
    QString log_error;        // why the log could not be written; the run went on
};

// Rows saved between commits; every exit commits too.
inline constexpr int k_rows_per_commit = 500;
// Picture bytes stored between commits.
inline constexpr qint64 k_bytes_per_commit = 64 * 1024 * 1024;
// Longest time between commits, in milliseconds.
inline constexpr qint64 k_ms_per_commit = 2000;

// Runs both phases over the listed pictures. The caller has made sure that
// the catalogue is open, writable, has idxPicfile and that the list is not empty.
BatchResult run_batch_load(store::Connection& conn, const BatchRequest& request, const BatchHooks& hooks);

} // namespace mosswick::loader
