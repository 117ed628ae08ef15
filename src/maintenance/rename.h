#pragma once

#include "maintenance/edits.h"
#include "platform/store/connection.h"

#include <QString>

#include <optional>

// Renaming a picture's files in the data folder together with its row.
namespace mosswick::maintenance {

inline constexpr const char* k_msg_name_required = "File name must be specified.";
inline constexpr const char* k_msg_bad_extension =
    "File extension must be specified as bmp, gif, jpg, png, tif, emf, wmf, rle and ico.";
inline constexpr const char* k_msg_hidden_name = "File name must not begin with a dot.";
inline constexpr const char* k_msg_target_exists = "A picture file with the same name was found in the data directory.";
inline constexpr const char* k_msg_renamed = "Picture renamed.";
inline constexpr const char* k_msg_renamed_with_movie = "Picture & Multimedia files renamed.";

enum class RenameOutcome {
    Renamed,            // the picture (and its row)
    RenamedWithMovie,   // the picture, its movie and the row
    NoName,             // the base name is empty or blanks only
    HiddenName,         // the base name begins with a dot: the lists would not show the file
    BadExtension,       // not one of the nine picture types
    BadCharacters,      // a character no file name may hold here
    TargetExists,       // a picture file of the new name is there already
    FileShared,         // other rows name the picture or movie file: it would move away from them
    Stale,              // the row no longer holds what the grid showed
    Failed,             // a file or store error: nothing was changed
};

// Checks what was typed in the two boxes, before anything else is looked at;
// nullopt when both are fine. The extension is compared in lower case.
std::optional<RenameOutcome> check_rename_boxes(const QString& base, const QString& extension);

struct RenameResult {
    RenameOutcome outcome = RenameOutcome::Failed;
    store::Error error;
    QString picfile;   // the new names written
    QString movfile;
    // FileShared: the file other rows name, whether it is the movie, and how
    // many other rows name it.
    QString shared_file;
    bool shared_is_movie = false;
    qint64 other_users = 0;
};

// The refusal of a FileShared rename: "The picture file beach.jpg is also
// used by 2 other pictures; nothing was renamed."
QString shared_file_message(const RenameResult& result);

// Gives a picture the name base + "." + extension (as typed) in the data
// folder and in its row, and its movie, when it has one, the name base +
// the movie's own extension. Never replaces an existing file. All or
// nothing: on any failure the files and the row are as they were. A picture
// stored inside the catalogue whose file is not in the data folder is
// renamed in its row only. A file that other rows name too (as picture or
// movie) is not renamed at all: FileShared, nothing changed.
RenameResult rename_picture(store::Connection& conn, const QString& data_folder, const PictureRef& row,
                            const QString& base, const QString& extension);

} // namespace mosswick::maintenance
