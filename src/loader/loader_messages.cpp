#include "loader/loader_messages.h"

namespace mosswick::loader {

QString count_message(qint64 pictures, qint64 others)
{
    if (pictures <= 0)
        return QStringLiteral("No pictures found.");
    QString text = QStringLiteral("Listed %1 picture").arg(pictures);
    if (pictures >= 2)
        text += u's';
    if (others >= 1) {
        text += QStringLiteral(" & %1 movie").arg(others);
        text += others >= 2 ? QStringLiteral("s.") : QStringLiteral(".");
    } else {
        text += QStringLiteral(", no movies found.");
    }
    return text;
}

QString loading_message(bool with_movie)
{
    return with_movie ? QStringLiteral("Loading picture & movie, press the 'Cancel' button to abort.")
                      : QStringLiteral("Loading picture, press the 'Cancel' button to abort.");
}

QString slot_caption(qint64 numpic, qint64 numpage)
{
    return QStringLiteral("Pic# %1 at the pag# %2.").arg(numpic).arg(numpage);
}

QString batch_summary(qint64 listed, qint64 loaded, bool errors)
{
    return QStringLiteral("%1 picture%2 processed. %3 loaded. %4")
        .arg(QString::number(listed), listed > 1 ? QStringLiteral("s") : QString(), QString::number(loaded),
             errors ? QStringLiteral("There are errors.") : QStringLiteral("No Errors found."));
}

QString phase2_message(qint64 pictures)
{
    return QStringLiteral("File length verification phase 1/2 passed. Starting phase 2/2, loading %1 files, please wait...")
        .arg(pictures);
}

} // namespace mosswick::loader
