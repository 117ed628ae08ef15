#pragma once

#include <QString>
#include <QStringList>

// What a cell's movie label may hand to the desktop. A catalogue is often a
// folder someone else made, so its movie names are not trusted: the desktop
// opens a file by its type, and some types (launchers, scripts) run code.
namespace mosswick {

// The movie and sound types a movie label opens (lower case, no dot).
const QStringList& movie_extensions();

enum class MovieVerdict {
    Ok,
    NotBareName,   // a folder part, ".", ".." or a NUL in the stored name
    NotMovieType,  // a type outside movie_extensions()
    NotFound,      // nothing of that name in the data folder
    NotPlainFile,  // a link (live or dangling), a folder, a pipe or a device
    Executable,    // marked executable
};

struct MovieCheck {
    MovieVerdict verdict = MovieVerdict::NotFound;
    QString path;   // data_folder followed by the stored name
    bool ok() const { return verdict == MovieVerdict::Ok; }
};

// Checks a stored movie name before it is opened: a bare file name of a
// movie type naming a regular, non-executable file directly in the data
// folder (data_folder ends with '/'). Looks at the file, never follows a link.
MovieCheck check_movie(const QString& data_folder, const QString& movfile);

// The refusal shown for a verdict other than Ok, as "Error N - text".
QString movie_refusal(const MovieCheck& check, const QString& movfile);

} // namespace mosswick
