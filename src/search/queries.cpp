#include "search/queries.h"

#include "platform/richtext/plain_text.h"
#include "platform/store/text_rules.h"

namespace mosswick::search {

namespace {

const QString k_movie_mark = QStringLiteral("CASE WHEN movfile IS NULL THEN '' ELSE '*' END");

QString by_number()
{
    return QStringLiteral(" ORDER BY numpic, numpage");
}

QString by_folded(const QString& column)
{
    return QStringLiteral(" ORDER BY %1 COLLATE %2, numpic").arg(column, QLatin1String(store::k_fold_collation));
}

} // namespace

QString column_or_null(const store::Connection& conn, int column)
{
    if (column < 0 || column >= conn.column_count())
        return QStringLiteral("NULL");
    return QLatin1String(store::column_defs()[size_t(column)].name);
}

GridRows read_rows(store::Connection& conn, const BoundQuery& query, int columns, store::Error& error)
{
    GridRows rows(columns);
    store::Statement st = conn.prepare(query.sql);
    if (!st.valid()) {
        error = st.error();
        return rows;
    }
    st.bind_list(query.params);
    std::vector<QString> cells(static_cast<size_t>(columns));
    while (st.step()) {
        for (int c = 0; c < columns; ++c)
            cells[size_t(c)] = st.text(c);
        rows.append_moved(cells.data());
    }
    error = st.error();
    return rows;
}

BoundQuery reference_list_query(const store::Connection& conn, bool order_by_reference)
{
    const QString reference = column_or_null(conn, store::col_reference);
    BoundQuery q;
    q.sql = QStringLiteral("SELECT numpic, numpage, %1, %2 FROM demopicture").arg(k_movie_mark, reference)
        + (order_by_reference && reference != QLatin1String("NULL") ? by_folded(reference) : by_number());
    return q;
}

BoundQuery import_export_query(const store::Connection& conn)
{
    const QString inoutpic = column_or_null(conn, store::col_inoutpic);
    BoundQuery q;
    q.sql = QStringLiteral("SELECT numpic, numpage, %1, CASE WHEN %2 IS NULL THEN 'OUT' ELSE 'IN' END, picfile "
                           "FROM demopicture")
                .arg(k_movie_mark, inoutpic)
        + by_number();
    return q;
}

bool note_matches(const QVariant& note, const QString& text)
{
    if (text.isEmpty())
        return true;
    if (!note.isValid())
        return false;
    const QString plain = richtext::extract_plain_text(note.toString());
    return richtext::find_text(plain, text, 0, 0) >= 0;
}

NoteSearchResult run_note_search(store::Connection& conn, const NoteSearchRequest& request,
                                 const std::function<bool(qint64 index)>& before_record)
{
    NoteSearchResult result;
    const bool any = request.text.isEmpty();
    // Only the fields searched are read; with an empty text none is needed.
    const bool read_note = !any && request.fields != NoteFields::AddNote;
    const bool read_addnote = !any && request.fields != NoteFields::Note;
    const QString sql = QStringLiteral("SELECT numpic, numpage, %1, picfile, %2, %3 FROM demopicture")
                            .arg(k_movie_mark,
                                 read_note ? column_or_null(conn, store::col_note) : QStringLiteral("NULL"),
                                 read_addnote ? column_or_null(conn, store::col_addnote) : QStringLiteral("NULL"))
        + (request.order_by_name ? by_folded(QStringLiteral("picfile")) : by_number());
    store::Statement st = conn.prepare(sql);
    if (!st.valid()) {
        result.error = st.error();
        return result;
    }
    QString cells[k_search_columns];
    while (st.step()) {
        if (before_record && !before_record(result.scanned)) {
            result.stopped = true;
            break;
        }
        ++result.scanned;
        bool match = any;
        if (!match && read_note)
            match = note_matches(st.value(4), request.text);
        if (!match && read_addnote)
            match = note_matches(st.value(5), request.text);
        if (!match)
            continue;
        for (int c = 0; c < k_search_columns; ++c)
            cells[c] = st.text(c);
        result.rows.append_moved(cells);
    }
    if (!result.stopped)
        result.error = st.error();
    return result;
}

std::optional<RecordDetails> read_record(store::Connection& conn, qint64 numpic, qint64 numpage, store::Error& error)
{
    using namespace store;
    const QString sql = QStringLiteral("SELECT numpic, numpage, movfile, picfile, %1, %2, %3, %4, %5 FROM demopicture "
                                       "WHERE numpic = ?1 AND numpage = ?2")
                            .arg(column_or_null(conn, col_note), column_or_null(conn, col_reference),
                                 column_or_null(conn, col_addnote), column_or_null(conn, col_inoutpic),
                                 column_or_null(conn, col_dbpic));
    Statement st = conn.prepare(sql);
    if (!st.valid()) {
        error = st.error();
        return std::nullopt;
    }
    st.bind_all({numpic, numpage});
    std::optional<RecordDetails> record;
    if (st.step()) {
        RecordDetails r;
        r.numpic = st.value(0);
        r.numpage = st.value(1);
        r.movfile = st.value(2);
        r.picfile = st.value(3);
        r.note = st.value(4);
        r.reference = st.value(5);
        r.addnote = st.value(6);
        r.inoutpic = st.value(7);
        r.dbpic = st.blob(8);
        record = std::move(r);
    }
    error = st.error();
    return record;
}

std::optional<qint64> grid_number(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || text.trimmed() != text || text.startsWith(u'+'))
        return std::nullopt;
    return n;
}

} // namespace mosswick::search
