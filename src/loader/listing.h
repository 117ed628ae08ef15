#pragma once

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
// case-insensitively with ties broken by exact value.
Listing list_folder(const QString& folder);

// Sorts names the way every listing is sorted.
void sort_names(QStringList& names);

} // namespace mosswick
