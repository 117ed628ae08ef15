#pragma once

#include "loader/numbering.h"
#include "platform/store/connection.h"

#include <QString>
#include <QVariant>

// The commit of the single load: one picture, picked with its movie, with
// the notes typed for it.
namespace mosswick::loader {

struct SingleLoadRequest {
    QString folder;        // the folder the picture was picked in
    QString picture;       // its file name
    QString movie;         // the paired movie's file name; empty: none
    bool inside = false;   // "Load IN": store the picture's bytes
    QString note;          // what to store; see note_to_store
    // What the reference and the additional note store: the typed texts (""
    // when nothing was typed), or Null where the edition has no such box.
    QVariant reference = QStringLiteral("");
    QVariant addnote = QStringLiteral("");
    QString data_folder;   // the catalogue's data folder
};

enum class SingleLoadStatus {
    Loaded,               // a row was added
    Duplicate,            // the name is catalogued already; nothing written
    PictureNameTooLong,   // refused, the load stays pending
    MovieNameTooLong,     // refused, the load stays pending
    Refused,              // type or content refused, or the file is gone; pending
    Failed,               // the catalogue or a file failed; nothing written; pending
};

struct SingleLoadResult {
    SingleLoadStatus status = SingleLoadStatus::Failed;
    PictureSlot slot;      // the slot given (Loaded) or that would have been (Duplicate)
    QString message;       // for message_panel

    // True when the load is still pending after this result.
    bool pending() const { return status != SingleLoadStatus::Loaded && status != SingleLoadStatus::Duplicate; }
};

// The note to store: the picture's file name when the box shows no text,
// else the box's rich text (RTF load) or its plain text.
QString note_to_store(const QString& plain, const QString& rich, bool rtf_load, const QString& picture);

// Commits a picked picture: checks names and type, numbers it, refuses a
// duplicate loaded by name from a folder other than the data folder, and
// writes the row (with the picture's bytes for "Load IN") as one unit.
SingleLoadResult commit_single_load(store::Connection& conn, const SingleLoadRequest& request);

} // namespace mosswick::loader
