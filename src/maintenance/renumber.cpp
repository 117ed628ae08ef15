#include "maintenance/renumber.h"

#include "core/catalogue_logic.h"

#include <algorithm>
#include <optional>

namespace mosswick {

namespace {

// A page cache large enough for the indexes of a large catalogue while its
// numbers are rewritten in an order of their own; the connection's own size
// comes back afterwards. With the default cache such a rewrite slows down
// as the catalogue outgrows it.
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
        // A cache left large only costs memory until the catalogue closes.
        if (m_changed)
            (void)m_conn.exec(QStringLiteral("PRAGMA cache_size = %1").arg(m_previous.toLongLong()));
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

// The bar's position after a step; false when a stop was asked for.
bool report(const RenumberProgress& progress, qint64 done, qint64 total)
{
    return !progress || progress(done, total);
}

// The orders a whole renumbering follows.
const QString k_by_number = QStringLiteral("ORDER BY numpic IS NULL, numpic, rowid");
const QString k_by_name = QStringLiteral("ORDER BY picfile COLLATE mw_fold, picfile, numpic IS NULL, numpic, rowid");

// New numbers held in a temporary table while the rows take them: only the
// rows whose number or page changes, listed in storage order, so that the
// rows are rewritten front to back however the new order scatters them, a
// step of rows per statement. The table lives in the connection's
// temporary store and goes with this object.
class NumberMap {
public:
    explicit NumberMap(store::Connection& conn) : m_conn(conn)
    {
        m_error = conn.exec(QStringLiteral("DROP TABLE IF EXISTS temp.mw_renumber"));
        if (!m_error)
            m_error = conn.exec(QStringLiteral("CREATE TEMP TABLE mw_renumber (seq INTEGER PRIMARY KEY, "
                                               "id INTEGER NOT NULL, number INTEGER NOT NULL, moved INTEGER NOT NULL)"));
    }
    // A table left behind is dropped by the next map and goes with the connection.
    ~NumberMap() { (void)m_conn.exec(QStringLiteral("DROP TABLE IF EXISTS temp.mw_renumber")); }
    NumberMap(const NumberMap&) = delete;
    NumberMap& operator=(const NumberMap&) = delete;

    // Ranks the rows (where: "" or a condition on them) in an order and
    // gives each the number `number` computes from its rank r.
    store::Error fill(const QString& order, const QString& where, const QString& number, const QVariantList& params)
    {
        if (m_error)
            return m_error;
        return m_conn.exec(QStringLiteral("INSERT INTO temp.mw_renumber (id, number, moved) "
                                          "SELECT id, number, numpic IS NOT number FROM ("
                                          "SELECT id, numpic, numpage, %1 AS number FROM ("
                                          "SELECT rowid AS id, numpic, numpage, row_number() OVER (%2) AS r "
                                          "FROM demopicture %3)) "
                                          "WHERE numpic IS NOT number OR numpage IS NOT (number + 5) / 6 ORDER BY id")
                               .arg(number, order, where),
                           params);
    }

    // Gives the rows their new numbers: first every number that moves is
    // cleared (the unique key admits any number of Null), then every row
    // takes its own, so no number is held twice at any moment. The bar goes
    // from done_before over the scope rows the map ranked.
    RenumberOutcome apply(const RenumberProgress& progress, qint64 done_before, qint64 scope, qint64 total,
                          store::Error& error)
    {
        qint64 rows = 0;
        qint64 moved = 0;
        {
            store::Statement st = m_conn.prepare(QStringLiteral("SELECT count(*), total(moved) FROM temp.mw_renumber"));
            if (st.step()) {
                rows = st.integer(0);
                moved = qint64(st.value(1).toDouble());
            }
            if ((error = st.error()))
                return RenumberOutcome::Failed;
        }
        if (rows == 0)
            return report(progress, done_before + scope, total) ? RenumberOutcome::Done : RenumberOutcome::Stopped;
        const qint64 steps = (rows + k_renumber_step_rows - 1) / k_renumber_step_rows;
        const qint64 all_steps = moved > 0 ? 2 * steps : steps;
        qint64 steps_done = 0;
        const auto run_steps = [&](const QString& sql) {
            store::Statement st = m_conn.prepare(sql);
            for (qint64 first = 1; first <= rows; first += k_renumber_step_rows) {
                st.bind_all({first, first + k_renumber_step_rows - 1});
                if ((error = st.run()))
                    return RenumberOutcome::Failed;
                ++steps_done;
                if (!report(progress, done_before + scope * steps_done / all_steps, total))
                    return RenumberOutcome::Stopped;
            }
            return RenumberOutcome::Done;
        };
        if (moved > 0) {
            const RenumberOutcome cleared = run_steps(
                QStringLiteral("UPDATE OR FAIL demopicture SET numpic = NULL WHERE rowid IN "
                               "(SELECT id FROM temp.mw_renumber WHERE seq BETWEEN ?1 AND ?2 AND moved)"));
            if (cleared != RenumberOutcome::Done)
                return cleared;
        }
        return run_steps(QStringLiteral("UPDATE OR FAIL demopicture SET numpic = m.number, numpage = (m.number + 5) / 6 "
                                        "FROM temp.mw_renumber AS m WHERE m.seq BETWEEN ?1 AND ?2 AND demopicture.rowid = m.id"));
    }

    const store::Error& error() const { return m_error; }

private:
    store::Connection& m_conn;
    store::Error m_error;
};

// Fills a map and applies it.
RenumberOutcome renumber_through_map(store::Connection& conn, const QString& order, const QString& where,
                                     const QString& number, const QVariantList& params, const RenumberProgress& progress,
                                     RenumberSpan span, qint64 scope, store::Error& error)
{
    const BulkWriteCache cache(conn);
    NumberMap map(conn);
    if ((error = map.fill(order, where, number, params)))
        return RenumberOutcome::Failed;
    return map.apply(progress, span.done_before, scope, span.total, error);
}

qint64 whole_number(const QVariant& v, bool& ok)
{
    ok = v.typeId() == QMetaType::LongLong;
    return ok ? v.toLongLong() : 0;
}

} // namespace

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
    bool min_ok = false;
    bool max_ok = false;
    // The unique key makes the numbers distinct: N whole numbers from 1 to N are all of 1..N.
    return whole_number(st.value(0), min_ok) == 1 && min_ok && whole_number(st.value(1), max_ok) == count && max_ok &&
           st.integer(2) == 0;
}

bool whole_numbers_between(store::Connection& conn, qint64 first, qint64 last, store::Error& error)
{
    const QVariant other = conn.scalar(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM demopicture WHERE numpic BETWEEN ?1 AND ?2 AND typeof(numpic) <> 'integer')"),
        {first, last}, error);
    return !error && other.toLongLong() == 0;
}

RenumberOutcome shift_numbers(store::Connection& conn, qint64 first, qint64 last, qint64 by, RenumberSpan span,
                              const RenumberProgress& progress, store::Error& error)
{
    error = {};
    if (first > last || by == 0)
        return RenumberOutcome::Done;
    const BulkWriteCache cache(conn);
    // A set of rows moves in one statement when the engine, which takes
    // the rows of one statement in storage order, finds each place free as
    // it comes to it: so it is for rows stored in number order (as loading
    // stores them) moving down. Otherwise the unique key refuses the
    // statement, which the engine then undoes, and the set passes through
    // the negative numbers, which no row holds, and back: the key holds
    // after every statement whatever the order. Sets are taken from the end
    // the rows move towards, so that each lands on free places.
    store::Statement direct = conn.prepare(QStringLiteral(
        "UPDATE OR ABORT demopicture SET numpic = numpic + ?3, numpage = (numpic + ?3 + 5) / 6 "
        "WHERE numpic BETWEEN ?1 AND ?2"));
    store::Statement away = conn.prepare(QStringLiteral(
        "UPDATE OR ABORT demopicture SET numpic = -(numpic + ?3), numpage = (numpic + ?3 + 5) / 6 "
        "WHERE numpic BETWEEN ?1 AND ?2"));
    store::Statement back = conn.prepare(QStringLiteral("UPDATE OR ABORT demopicture SET numpic = -numpic WHERE numpic < 0"));
    if ((error = direct.error()) || (error = away.error()) || (error = back.error()))
        return RenumberOutcome::Failed;
    const qint64 rows = last - first + 1;
    for (qint64 done = 0; done < rows; done += k_renumber_step_rows) {
        const qint64 size = std::min(k_renumber_step_rows, rows - done);
        const qint64 low = by < 0 ? first + done : last - done - size + 1;
        const QVariantList set{low, low + size - 1, by};
        direct.bind_list(set);
        error = direct.run();
        if (error.kind == store::ErrorKind::Engine && error.code == store::k_engine_constraint) {
            away.bind_list(set);
            if (!(error = away.run()))
                error = back.run();
        }
        if (error)
            return RenumberOutcome::Failed;
        if (!report(progress, span.done_before + done + size, span.total))
            return RenumberOutcome::Stopped;
    }
    return RenumberOutcome::Done;
}

RenumberOutcome renumber_from(store::Connection& conn, qint64 first, qint64 total, const RenumberProgress& progress,
                              store::Error& error)
{
    error = {};
    const qint64 scope =
        conn.scalar(QStringLiteral("SELECT count(*) FROM demopicture WHERE numpic >= ?1"), {first}, error).toLongLong();
    if (error)
        return RenumberOutcome::Failed;
    if (scope == 0)
        return RenumberOutcome::Done;
    return renumber_through_map(conn, k_by_number, QStringLiteral("WHERE numpic >= ?1"), QStringLiteral("r + ?1 - 1"),
                                {first}, progress, {first - 1, total}, scope, error);
}

RenumberOutcome renumber_moving(store::Connection& conn, qint64 moving, qint64 place, qint64 total,
                                const RenumberProgress& progress, store::Error& error)
{
    error = {};
    // Their places in the present order: Null sorts last there, and text or
    // other values after every number, so the rows before a numbered row
    // are those with a smaller number.
    qint64 from = 0;
    qint64 to = 0;
    {
        store::Statement st = conn.prepare(QStringLiteral("SELECT (SELECT count(*) FROM demopicture WHERE numpic < ?1) + 1, "
                                                          "(SELECT count(*) FROM demopicture WHERE numpic < ?2) + 1"));
        st.bind_all({moving, place});
        if (!st.step()) {
            error = st.error();
            return RenumberOutcome::Failed;
        }
        from = st.integer(0);
        to = st.integer(1);
    }
    return renumber_through_map(conn, k_by_number, {},
                                QStringLiteral("CASE WHEN r = ?1 THEN ?2 "
                                               "WHEN ?1 < ?2 AND r > ?1 AND r <= ?2 THEN r - 1 "
                                               "WHEN ?1 > ?2 AND r >= ?2 AND r < ?1 THEN r + 1 ELSE r END"),
                                {from, to}, progress, {0, total}, total, error);
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
    // A savepoint inside a transaction makes every statement journal its
    // pages again: inside the caller's transaction the caller's rollback
    // undoes a stop.
    std::optional<store::Transaction> own;
    if (conn.savepoint_depth() == 0) {
        own.emplace(conn);
        if ((error = own->error()))
            return RenumberOutcome::Failed;
    }
    const RenumberOutcome outcome = renumber_through_map(conn, keep_order ? k_by_number : k_by_name, {},
                                                         QStringLiteral("r"), {}, progress, {0, count}, count, error);
    if (outcome != RenumberOutcome::Done)
        return outcome;
    if (own && (error = own->commit()))
        return RenumberOutcome::Failed;
    return RenumberOutcome::Done;
}

} // namespace mosswick
