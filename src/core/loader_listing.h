#pragma once

#include "core/companions.h"

#include <QString>
#include <QStringList>

namespace mosswick {

// What the update and verify passes run over: the loader's lists and its
// update choices, as they stand when a pass starts.
struct LoaderLists {
    QString picture_folder;   // the picture list's folder
    QStringList pictures;     // the picture list's names, in list order
    QString files_folder;     // the all-files list's folder
    QStringList all_files;    // the all-files list's names
    bool notes_in = false;    // the update pass's "IN" is chosen
    files::NoteTarget target = files::NoteTarget::Note;   // the field "IN" appends to
};

// What the loader's lists show, for the parts that work on the same
// folders: the Open dialog starts in the listed folder, the passes run over
// the lists. The loader tab answers; the others get it at construction.
class LoaderListing {
public:
    virtual ~LoaderListing() = default;
    // The folder the picture list shows ("" before any listing).
    virtual QString listed_folder() const = 0;
    // The lists and the update choices as they stand now.
    virtual LoaderLists lists() const = 0;
};

} // namespace mosswick
