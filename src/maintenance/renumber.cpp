#include "maintenance/renumber.h"

#include <vector>

namespace mosswick {

RenumberOutcome renumber_rows(store::Connection& conn, bool keep_order,
                              const std::function<bool(qint64, qint64)>& progress, store::Error& error)
{
    error = {};
    const qint64 count = conn.record_count(error);
    if (error)
        return RenumberOutcome::Failed;
    if (count == 0)
        return RenumberOutcome::Empty;

    std::vector<qint64> order;
    order.reserve(size_t(count));
    {
        store::Statement st = conn.prepare(
            keep_order ? QStringLiteral("SELECT rowid FROM demopicture ORDER BY numpic, rowid")
                       : QStringLiteral("SELECT rowid FROM demopicture ORDER BY picfile COLLATE mw_fold, picfile, numpic, rowid"));
        while (st.step())
            order.push_back(st.integer(0));
        if ((error = st.error()))
            return RenumberOutcome::Failed;
    }

    store::Transaction t(conn);
    if ((error = t.error()))
        return RenumberOutcome::Failed;
    // Clearing every number first keeps the unique key free of collisions
    // whatever numbers the rows carried.
    if ((error = conn.exec(QStringLiteral("UPDATE demopicture SET numpic = NULL"))))
        return RenumberOutcome::Failed;
    store::Statement set = conn.prepare(QStringLiteral("UPDATE demopicture SET numpic = ?1, numpage = ?2 WHERE rowid = ?3"));
    qint64 i = 0;
    for (qint64 rowid : order) {
        ++i;
        set.bind_all({i, (i + 5) / 6, rowid});
        if ((error = set.run()))
            return RenumberOutcome::Failed;
        if (progress && !progress(i, qint64(order.size())))
            return RenumberOutcome::Stopped;
    }
    if ((error = t.commit()))
        return RenumberOutcome::Failed;
    return RenumberOutcome::Done;
}

} // namespace mosswick
