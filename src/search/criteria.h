#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// Criteria of the picture and reference search, built as SQL with bound
// values: typed words are never part of the SQL text.
namespace mosswick::search {

// What the picture text is matched against (the "Picture" options).
enum class PictureScope { Picture, PictureOrReference, PictureAndReference };

// The search tab's boxes and options as the search reads them.
struct PictureSearchInput {
    QString picture_text;                    // file-name text, used as typed
    QString reference_text;                  // reference words
    PictureScope scope = PictureScope::Picture;
    bool parts_and = false;                  // the reference part AND the picture part ("And" chosen)
    bool words_and = false;                  // reference words joined by AND ("And" chosen)
    bool order_by_name = false;              // order by file name, else by number and page
    bool has_reference = true;               // the catalogue has the reference column
};

// A listing of the picture table ready to prepare: the columns it shows,
// what follows "FROM demopicture" (criteria and order), and its values.
struct BoundQuery {
    QString columns;
    QString where;   // "" or " WHERE ..."
    QString order;   // " ORDER BY ..."; "" for by number, then page
    QVariantList params;

    QString sql() const
    {
        return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM demopicture") + where
            + (order.isEmpty() ? QStringLiteral(" ORDER BY numpic, numpage") : order);
    }
};

// The criteria built from the input.
struct PictureCriteria {
    QString where;              // "" or " WHERE ..." with ?n placeholders
    QVariantList params;        // the values of the placeholders
    int reference_words = 0;    // words taken from the reference text
    int picture_words = 0;      // words taken from the picture text for the reference
    bool too_many = false;      // more patterns than the limit allows
};

// Largest number of patterns one search may use.
inline constexpr int k_pattern_limit = 99;

// The words of a search text: leading and trailing spaces removed, then the
// pieces between single spaces; two adjacent spaces give an empty word, and
// a text of spaces only gives one empty word.
QStringList split_words(const QString& text);

// True when the counts break the limit: more than 99 patterns in all, or
// more than 98 of one kind while a picture text is given.
bool exceeds_pattern_limit(int reference_words, int picture_words, bool picture_text_given);

// The same non-empty text in both boxes is searched in the file name as a
// whole and in the reference word by word: returns the scope to select
// then (the reference box is emptied by the caller), else nullopt.
std::optional<PictureScope> scope_for_same_text(const QString& picture_text, const QString& reference_text,
                                                bool parts_and);

// Builds the criteria. Each word is matched as a literal, case-insensitive
// part of the column (mw_contains); an empty word matches every non-Null
// value. Word groups are bracketed so that AND and OR never mix by precedence.
PictureCriteria build_picture_criteria(const PictureSearchInput& input);

// The whole statement listing number, page, movie mark and file name, in
// the order asked for (file names case-folded, ties by exact name, then number).
BoundQuery picture_search_query(const PictureCriteria& criteria, bool order_by_name);

} // namespace mosswick::search
