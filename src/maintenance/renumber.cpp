#include "maintenance/renumber.h"

#include "catalogue/catalogue_logic.h"

#include <algorithm>
#include <optional>

namespace mosswick {

namespace {

std::vector<qint64> read_ids(store::Connection& conn, const QString& sql, qint64 expected, store::Error& error)
{
    std::vector<qint64> ids;
    ids.reserve(size_t(std::max<qint64>(expected, 0)));
    store::Statement st = conn.prepare(sql);
    while (st.step())
        ids.push_back(st.integer(0));
    error = st.error();
    return ids;
}

// A page cache large enough for a whole catalogue's numbers while they are
// rewritten; the connection's own size comes back afterwards. With the
// default cache the rewrite slows down as the catalogue outgrows it.
class BulkWriteCache {
public:
    explicit BulkWriteCache(store::Connection& conn) : m_conn(conn)
    {
        store::Error e;
        m_previous = conn.scalar(QStringLiteral("PRAGMA cache_size"), {}, e);
        if (!e && m_previous.isValid() && cache_kib(m_previous.toLongLong()) < k_bulk_kib)
            m_changed = conn.exec(QStringLiteral("PRAGMA cache_size = -%1").arg(k_bulk_kib)).ok();
    }
    ~BulkWriteCache()
    {
        if (m_changed)
            m_conn.exec(QStringLiteral("PRAGMA cache_size = %1").arg(m_previous.toLongLong()));
    }
    BulkWriteCache(const BulkWriteCache&) = delete;
    BulkWriteCache& operator=(const BulkWriteCache&) = delete;

private:
    static constexpr qint64 k_bulk_kib = 64 * 1024;
    // cache_size is in pages when positive, in KiB when negative.
    static qint64 cache_kib(qint64 value) { return value < 0 ? -value : value * 4; }

    store::Connection& m_conn;
    QVariant m_previous;
    bool m_changed = false;
};

} // namespace

std::vector<qint64> rows_in_number_order(store::Connection& conn, store::Error& error)
{
    const qint64 count = conn.record_count(error);
    if (error)
        return {};
    return read_ids(conn, QStringLiteral("SELECT rowid FROM demopicture ORDER BY numpic IS NULL, numpic, rowid"), count,
                    error);
}

RenumberOutcome assign_numbers(store::Connection& conn, const std::vector<qint64>& rowids,
                               const RenumberProgress& progress, store::Error& error)
{
    error = {};
    if (rowids.empty())
        return RenumberOutcome::Empty;
    // A savepoint inside a transaction makes every one-row statement journal
    // its pages again, many times slower: inside the caller's transaction
    // the caller's rollback undoes a stop.
    std::optional<store::Transaction> own;
    if (conn.savepoint_depth() == 0) {
        own.emplace(conn);
        if ((error = own->error()))
            return RenumberOutcome::Failed;
    }
    const BulkWriteCache cache(conn);
    // Clearing every number first keeps the unique key free of collisions
    // whatever numbers the rows carried.
    if ((error = conn.exec(QStringLiteral("UPDATE demopicture SET numpic = NULL"))))
        return RenumberOutcome::Failed;
    store::Statement set = conn.prepare(QStringLiteral("UPDATE demopicture SET numpic = ?1, numpage = ?2 WHERE rowid = ?3"));
    if ((error = set.error()))
        return RenumberOutcome::Failed;
    // Written in the rows' storage order, so that the table is walked once
    // front to back however the new order scatters the rows.
    std::vector<std::pair<qint64, qint64>> numbered;   // rowid, new number
    numbered.reserve(rowids.size());
    for (size_t k = 0; k < rowids.size(); ++k)
        numbered.emplace_back(rowids[k], qint64(k) + 1);
    std::sort(numbered.begin(), numbered.end());
    const qint64 total = qint64(numbered.size());
    qint64 done = 0;
    for (const auto& [rowid, number] : numbered) {
        set.bind_all({number, page_count(number), rowid});
        if ((error = set.run()))
            return RenumberOutcome::Failed;
        if (progress && !progress(++done, total))
            return RenumberOutcome::Stopped;
    }
    if (own && (error = own->commit()))
        return RenumberOutcome::Failed;
    return RenumberOutcome::Done;
}

RenumberOutcome renumber_rows(store::Connection& conn, bool keep_order, const RenumberProgress& progress,
                              store::Error& error)
{
    error = {};
    const qint64 count = conn.record_count(error);
    if (error)
        return RenumberOutcome::Failed;
    if (count == 0)
        return RenumberOutcome::Empty;
    const std::vector<qint64> order =
        keep_order ? rows_in_number_order(conn, error)
                   : read_ids(conn,
                              QStringLiteral("SELECT rowid FROM demopicture "
                                             "ORDER BY picfile COLLATE mw_fold, picfile, numpic IS NULL, numpic, rowid"),
                              count, error);
    if (error)
        return RenumberOutcome::Failed;
    return assign_numbers(conn, order, progress, error);
}

} // namespace mosswick
