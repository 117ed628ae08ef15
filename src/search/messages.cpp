#include "search/messages.h"

namespace mosswick::search {

QString selected_message(qint64 count)
{
    return QString::number(count) + (count >= 2 ? QStringLiteral(" records") : QStringLiteral(" record"))
        + QStringLiteral(" selected.");
}

QString listed_message(qint64 count)
{
    return QStringLiteral(" ") + QString::number(count) + QStringLiteral(" record")
        + (count > 1 ? QStringLiteral("s") : QString()) + QStringLiteral(" listed.");
}

QString movie_message(const QString& file_name, bool has_movie)
{
    return file_name + (has_movie ? QStringLiteral(" have movie.") : QStringLiteral(" have not a movie."));
}

QString elapsed_message(qint64 milliseconds)
{
    return QString::number(milliseconds) + QStringLiteral(" ms");
}

} // namespace mosswick::search
