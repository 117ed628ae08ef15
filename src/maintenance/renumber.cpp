#include "maintenance/renumber.h"

#include "catalogue/catalogue_logic.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

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

qint64 whole_number(const QVariant& v)
{
    return v.typeId() == QMetaType::LongLong ? v.toLongLong() : Placed::k_no_number;
}

} // namespace

std::vector<qint64> rows_in_number_order(store::Connection& conn, store::Error& error)
{
    const qint64 count = conn.record_count(error);
    if (error)
        return {};
    return read_ids(conn, QStringLiteral("SELECT rowid FROM demopicture ORDER BY numpic IS NULL, numpic, rowid"), count,
                    error);
}

bool numbers_dense(store::Connection& conn, qint64& count, store::Error& error)
{
    count = conn.record_count(error);
    if (error)
        return false;
    if (count == 0)
        return true;
    store::Statement st = conn.prepare(QStringLiteral(
        "SELECT (SELECT min(numpic) FROM demopicture), (SELECT max(numpic) FROM demopicture), "
        "EXISTS (SELECT 1 FROM demopicture WHERE numpic IS NULL)"));
    if (!st.step()) {
        error = st.error();
        return false;
    }
    // The unique key makes the numbers distinct: N of them from 1 to N are all of 1..N.
    return whole_number(st.value(0)) == 1 && whole_number(st.value(1)) == count && st.integer(2) == 0;
}

std::vector<Placed> rows_numbered(store::Connection& conn, qint64 first, std::optional<qint64> last,
                                  store::Error& error)
{
    std::vector<Placed> rows;
    store::Statement st = conn.prepare(
        last ? QStringLiteral("SELECT rowid, numpic, numpage FROM demopicture WHERE numpic >= ?1 AND numpic <= ?2 "
                              "ORDER BY numpic")
             : QStringLiteral("SELECT rowid, numpic, numpage FROM demopicture WHERE numpic >= ?1 ORDER BY numpic"));
    if (last)
        st.bind_all({first, *last});
    else
        st.bind_all({first});
    while (st.step())
        rows.push_back({st.integer(0), whole_number(st.value(1)), whole_number(st.value(2))});
    error = st.error();
    return rows;
}

RenumberOutcome place_rows(store::Connection& conn, const std::vector<Placed>& rows, qint64 first,
                           qint64 done_before, qint64 total, const RenumberProgress& progress, store::Error& error)
{
    error = {};
    struct Change {
        qint64 rowid;
        qint64 number;
        bool renumbered;
    };
    std::vector<Change> changes;
    for (size_t k = 0; k < rows.size(); ++k) {
        const qint64 number = first + qint64(k);
        const Placed& r = rows[k];
        if (r.numpic != number || r.numpage != page_count(number))
            changes.push_back({r.rowid, number, r.numpic != number});
    }
    const qint64 count = qint64(rows.size());
    if (changes.empty()) {
        if (progress && count > 0 && !progress(done_before + count, total))
            return RenumberOutcome::Stopped;
        return RenumberOutcome::Done;
    }
    // Written in the rows' storage order, so that the table is walked once
    // front to back however the new order scatters the rows.
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.rowid < b.rowid; });
    const BulkWriteCache cache(conn);
    // Numbers that move are cleared first: the unique key never sees one
    // number twice, and rows that keep theirs are never touched.
    store::Statement clear = conn.prepare(QStringLiteral("UPDATE demopicture SET numpic = NULL WHERE rowid = ?1"));
    for (const Change& c : changes) {
        if (!c.renumbered)
            continue;
        clear.bind_all({c.rowid});
        if ((error = clear.run()))
            return RenumberOutcome::Failed;
    }
    store::Statement set = conn.prepare(QStringLiteral("UPDATE demopicture SET numpic = ?1, numpage = ?2 WHERE rowid = ?3"));
    if ((error = set.error()))
        return RenumberOutcome::Failed;
    const qint64 written_total = qint64(changes.size());
    qint64 written = 0;
    for (const Change& c : changes) {
        set.bind_all({c.number, page_count(c.number), c.rowid});
        if ((error = set.run()))
            return RenumberOutcome::Failed;
        ++written;
        // The bar moves over every row of the list, written or not.
        if (progress && !progress(done_before + written * count / written_total, total))
            return RenumberOutcome::Stopped;
    }
    return RenumberOutcome::Done;
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
    std::unordered_map<qint64, size_t> position;
    position.reserve(rowids.size());
    std::vector<Placed> rows(rowids.size());
    for (size_t k = 0; k < rowids.size(); ++k) {
        rows[k].rowid = rowids[k];
        position.emplace(rowids[k], k);
    }
    {
        store::Statement st = conn.prepare(QStringLiteral("SELECT rowid, numpic, numpage FROM demopicture"));
        while (st.step()) {
            const auto it = position.find(st.integer(0));
            if (it == position.end())
                continue;
            rows[it->second].numpic = whole_number(st.value(1));
            rows[it->second].numpage = whole_number(st.value(2));
        }
        if ((error = st.error()))
            return RenumberOutcome::Failed;
    }
    const RenumberOutcome outcome = place_rows(conn, rows, 1, 0, qint64(rows.size()), progress, error);
    if (outcome != RenumberOutcome::Done)
        return outcome;
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
