#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// A picture's companions: the field a note companion fills, and finding a
// companion among a folder's files without walking the folder once per
// picture.
namespace mosswick::files {

// Which field a .txt or .rtf companion fills.
enum class NoteTarget { Note, AddNote, Reference };

class CompanionIndex {
public:
    CompanionIndex() = default;
    // Indexes the companions among names (a folder's files in list order).
    explicit CompanionIndex(const QStringList& names);

    // The first companion of picture in list order; empty when it has none.
    QString first_for(QStringView picture) const;
    // The last companion of picture in list order; empty when it has none.
    QString last_for(QStringView picture) const;
    // Forgets a name (a note file moved away).
    void remove(const QString& name);

private:
    QHash<QString, QStringList> m_by_base;   // base name -> companions in list order
};

} // namespace mosswick::files
