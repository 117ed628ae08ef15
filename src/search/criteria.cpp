#include "search/criteria.h"

#include "platform/store/text_rules.h"

namespace mosswick::search {

namespace {

QString trim_spaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString contains_term(const QString& column, int placeholder)
{
    return QStringLiteral("%1(%2, ?%3)").arg(QLatin1String(store::k_contains_function), column).arg(placeholder);
}

// "(term OR term ...)" for the words of a text, each word one bound value.
QString word_group(const QStringList& words, const QString& column, bool joined_by_and, QVariantList& params)
{
    QStringList terms;
    for (const QString& w : words) {
        params << w;
        terms << contains_term(column, int(params.size()));
    }
    const QString glue = joined_by_and ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
    return terms.size() == 1 ? terms.front() : QStringLiteral("(%1)").arg(terms.join(glue));
}

} // namespace

QStringList split_words(const QString& text)
{
    return trim_spaces(text).split(u' ', Qt::KeepEmptyParts);
}

bool exceeds_pattern_limit(int reference_words, int picture_words, bool picture_text_given)
{
    if (reference_words + picture_words > k_pattern_limit)
        return true;
    return picture_text_given && (picture_words > k_pattern_limit - 1 || reference_words > k_pattern_limit - 1);
}

std::optional<PictureScope> scope_for_same_text(const QString& picture_text, const QString& reference_text,
                                                bool parts_and)
{
    if (picture_text.isEmpty() || picture_text != reference_text)
        return std::nullopt;
    return parts_and ? PictureScope::PictureAndReference : PictureScope::PictureOrReference;
}

PictureCriteria build_picture_criteria(const PictureSearchInput& in)
{
    PictureCriteria c;
    const QString reference = in.has_reference ? QStringLiteral("reference") : QStringLiteral("NULL");
    const bool has_picture = !in.picture_text.isEmpty();
    const bool has_words = !in.reference_text.isEmpty();
    QStringList parts;

    // The joiner between the reference part and the picture part; with no
    // reference text it is the one the scope implies.
    QString joiner;
    if (has_words) {
        const QStringList words = split_words(in.reference_text);
        c.reference_words = int(words.size());
        parts << word_group(words, reference, in.words_and, c.params);
        if (has_picture)
            joiner = in.parts_and ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
    } else if (in.scope == PictureScope::PictureOrReference) {
        joiner = QStringLiteral(" OR ");
    } else if (in.scope == PictureScope::PictureAndReference) {
        joiner = QStringLiteral(" AND ");
    }

    if (has_picture) {
        c.params << in.picture_text;
        parts << contains_term(QStringLiteral("picfile"), int(c.params.size()));
        if (in.scope != PictureScope::Picture) {
            const QStringList words = split_words(in.picture_text);
            c.picture_words = int(words.size());
            parts << word_group(words, reference, in.scope == PictureScope::PictureAndReference, c.params);
        }
    }

    c.too_many = exceeds_pattern_limit(c.reference_words, c.picture_words, has_picture);
    if (!parts.isEmpty())
        c.where = QStringLiteral(" WHERE ") + parts.join(joiner);
    return c;
}

BoundQuery picture_search_query(const PictureCriteria& criteria, bool order_by_name)
{
    BoundQuery q;
    q.columns = QStringLiteral("numpic, numpage, CASE WHEN movfile IS NULL THEN '' ELSE '*' END, picfile");
    q.where = criteria.where;
    if (order_by_name)
        q.order = QStringLiteral(" ORDER BY picfile COLLATE %1, numpic").arg(QLatin1String(store::k_fold_collation));
    q.params = criteria.params;
    return q;
}

} // namespace mosswick::search
