#include "maintenance/messages.h"

#include "core/load_log.h"

namespace mosswick::maintenance {

QString grid_loaded_message(qint64 count, const QString& prefix)
{
    return prefix + QStringLiteral(" %1 record%2 listed.").arg(count).arg(count > 1 ? QStringLiteral("s") : QString());
}

QString rename_prompt_message(const QString& numpic_text, const QString& numpage_text)
{
    return QStringLiteral("Renaming file(s), change the name and press the 'Rename' button;")
        + QStringLiteral(" Picture#:") + numpic_text + QStringLiteral(", ") + QStringLiteral(" Page#:") + numpage_text
        + QStringLiteral(".");
}

QString update_summary(qint64 updated)
{
    if (updated == 0)
        return QStringLiteral("Update pictures completed, no updates made.");
    return QStringLiteral("Update pictures completed on %1 record%2").arg(updated).arg(updated > 1 ? "s." : ".");
}

QString skipped_notes_message(const QStringList& names)
{
    if (names.isEmpty())
        return {};
    QStringList shown;
    for (const QString& n : names)
        shown << files::escape_for_log(n);
    return QStringLiteral("Not imported, a link or not a plain file: %1.").arg(shown.join(QStringLiteral(", ")));
}

QString verify_summary(bool errors_found)
{
    return errors_found ? QStringLiteral("Verify complete, error(s) found.")
                        : QStringLiteral("Verify complete, no error(s) found.");
}

QString edit_stopped_message(EditKind kind)
{
    const char* what = "";
    switch (kind) {
    case EditKind::DeletePage: what = "the page was not deleted"; break;
    case EditKind::DeletePicture: what = "the picture was not deleted"; break;
    case EditKind::Insert: what = "the picture was not inserted"; break;
    case EditKind::Exchange: what = "the pictures were not exchanged"; break;
    }
    return QStringLiteral("Renumbering stopped, %1.").arg(QLatin1String(what));
}

QString elapsed_text(qint64 milliseconds)
{
    return QString::number(milliseconds) + QStringLiteral(" ms");
}

} // namespace mosswick::maintenance
