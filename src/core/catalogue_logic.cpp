#include "core/catalogue_logic.h"

#include "platform/ui/vb.h"

#include <QDir>

#include <limits>

namespace mosswick {

QString exit_refusal_text(bool esc_stops, bool progress_bar_stops)
{
    if (esc_stops && progress_bar_stops)
        return QStringLiteral("Busy: stop the running action first (Esc, or a click on the progress bar), then exit.");
    if (esc_stops)
        return QStringLiteral("Busy: stop the running action first (Esc), then exit.");
    if (progress_bar_stops)
        return QStringLiteral("Busy: stop the running action first (a click on the progress bar), then exit.");
    return QStringLiteral("Busy: the running action finishes by itself; exit when it is done.");
}

QString command_line_path(const QString& argument, const QString& cwd)
{
    QString p = argument;
    if (p.size() >= 2 && p.startsWith(u'"') && p.endsWith(u'"'))
        p = p.mid(1, p.size() - 2);
    if (p.isEmpty())
        return {};
    if (QDir::isRelativePath(p))
        p = join_path(cwd, p);
    return QDir::cleanPath(p);
}

QString folder_of(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    return path.left(slash + 1);
}

QString file_name_of(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString join_path(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(u'/'))
        return name.startsWith(u'/') ? folder + name.mid(1) : folder + name;
    return name.startsWith(u'/') ? folder + name : folder + u'/' + name;
}

qint64 page_count(qint64 pictures)
{
    if (pictures <= 0)
        return 0;
    return (pictures + k_pictures_per_page - 1) / k_pictures_per_page;
}

int slider_tick_interval(qint64 pages)
{
    return pages <= k_max_ticked_pages ? 1 : 0;
}

std::optional<qint64> parse_number(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 10)
        return std::nullopt;
    qint64 v = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    if (v > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return v;
}

StatusText open_failure_text(const store::Error& error, const Edition& edition)
{
    switch (error.kind) {
    // A refusal of the file's format is ours, not an engine error: no number.
    case store::ErrorKind::NotCatalogue:
    case store::ErrorKind::JetFile:
    case store::ErrorKind::UnsafeSchema: return {error.text, {}};
    default: break;
    }
    const QString plain = ui::error_message(error.code, error.text);
    if (error.kind == store::ErrorKind::WrongPassword && !edition.features.passwords)
        return {QStringLiteral("The catalogue has a password: it is opened by the full edition (mosswick-enhanced)."),
                plain};
    return {plain, {}};
}

StatusText create_failure_text(const store::Error& error, const Edition& edition)
{
    const QString plain = ui::error_message(error.code, error.text);
    if (edition.texts.create_failed.isEmpty())
        return {plain, {}};
    return {edition.texts.create_failed, plain};
}

QString followed_by(const QString& text, const QString& more)
{
    return more.isEmpty() ? text : text + u' ' + more;
}

} // namespace mosswick
