#include "search/queries.h"

#include "platform/store/text_rules.h"

namespace mosswick::search {

namespace {

const QString k_movie_mark = QStringLiteral("CASE WHEN movfile IS NULL THEN '' ELSE '*' END");

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
    auto listed = std::make_shared<store::RowBlocks>();
    error = listed->list(conn, query.columns, columns, query.where, query.order, query.params);
    return GridRows(std::move(listed));
}

BoundQuery reference_list_query(const store::Connection& conn, bool order_by_reference)
{
    const QString reference = column_or_null(conn, store::col_reference);
    BoundQuery q;
    q.columns = QStringLiteral("numpic, numpage, %1, %2").arg(k_movie_mark, reference);
    if (order_by_reference && reference != QLatin1String("NULL"))
        q.order = by_folded(reference);
    return q;
}

BoundQuery import_export_query(const store::Connection& conn)
{
    const QString inoutpic = column_or_null(conn, store::col_inoutpic);
    BoundQuery q;
    q.columns = QStringLiteral("numpic, numpage, %1, CASE WHEN %2 IS NULL THEN 'OUT' ELSE 'IN' END, picfile")
                    .arg(k_movie_mark, inoutpic);
    return q;
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
