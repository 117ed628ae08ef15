#pragma once

#include "platform/store/store_error.h"

#include <QString>
#include <QStringList>

// Folder listings shared by every list box and companion rule.
namespace mosswick {

struct Listing {
    bool ok = false;
    int error = 0;          // errno when not ok
    QStringList files;      // names only, sorted
    QStringList folders;    // sub-folder names, sorted
};

// Lists a folder once: files and sub-folders, dot-files left out, sorted
// case-insensitively with ties broken by exact value. Names that cannot be
// written back to the same bytes (not valid in the file-name encoding) are
// left out: no path built from them would reach the file.
Listing list_folder(const QString& folder);

// Sorts names the way every listing is sorted.
void sort_names(QStringList& names);

// The program's error for a listing that failed (76 path not found, 75
// access error, 68 device unavailable).
store::Error listing_error(const QString& folder, const Listing& listing);

} // namespace mosswick
