#pragma once

// Long status messages as the program words them, each naming a path.

#include "platform/ui/message_fit.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace testsupport {

struct LongMessage {
    QString text;
    QString reason;   // the words that say what went wrong
};

// An Access conversion on a full disk, a copy in a folder that cannot be
// written, a catalogue refused for its collation.
inline const LongMessage k_long_messages[] = {
    {"Error 13 - /home/ada/Pictures/old catalogues/jet4-pw20.mdb was not converted: the new catalogue could not be "
     "written beside it (database or disk is full). The original is unchanged.",
     "the new catalogue could not be written beside it (database or disk is full)"},
    {"Error 75 - The folder /media/ada/archive/2019 cannot be written: no temporary copy of the catalogue can be made "
     "there. Nothing was changed.",
     "cannot be written: no temporary copy of the catalogue can be made there"},
    {"/home/ada/Pictures/holidays/nocase.mdb was refused: column 1 (picfile) of the picture table is declared with the "
     "collation NOCASE; only BINARY (exact comparison) is accepted.",
     "column 1 (picfile) of the picture table is declared with the collation NOCASE"},
};

// The words of a fitted message that are not whole words of the message,
// such as one cut before the final ellipsis; a path that gave way (what
// follows its ellipsis ends a path of the message, or nothing) is not one.
inline QStringList cut_words(const QString& fitted, const QString& text)
{
    const QStringList words = text.split(u' ');
    auto ends_a_path = [&](const QString& tail) {
        return std::any_of(words.begin(), words.end(), [&](const QString& w) { return w.contains(u'/') && w.endsWith(tail); });
    };
    QStringList cut;
    for (QString word : fitted.split(u' ')) {
        if (word.endsWith(mosswick::ui::k_ellipsis))
            word.chop(1);   // where the message was cut
        const qsizetype at = word.indexOf(mosswick::ui::k_ellipsis);
        if (at >= 0 ? !ends_a_path(word.mid(at + 1)) : !word.isEmpty() && !words.contains(word))
            cut << word;
    }
    return cut;
}

} // namespace testsupport
