#include "maintenance/edits.h"

#include <algorithm>

namespace mosswick::maintenance {

namespace {

// A picture found by its number.
struct Found {
    qint64 rowid = 0;
    QVariant numpage;
};

enum class Lookup { Found, Missing, Stale, Failed };

Lookup find_picture(store::Connection& conn, const PictureRef& ref, Found& found, store::Error& error)
{
    store::Statement st = conn.prepare(QStringLiteral("SELECT rowid, numpage, picfile FROM demopicture WHERE numpic = ?1"));
    st.bind_all({ref.numpic});
    if (!st.step()) {
        if ((error = st.error()))
            return Lookup::Failed;
        // A grid row whose number is gone shows an older state.
        return ref.from_grid ? Lookup::Stale : Lookup::Missing;
    }
    found.rowid = st.integer(0);
    found.numpage = st.value(1);
    return still_as_shown(ref, found.numpage, st.text(2)) ? Lookup::Found : Lookup::Stale;
}

EditResult failed(const store::Error& error)
{
    return {EditOutcome::Failed, std::nullopt, error};
}

EditOutcome outcome_of(Lookup lookup, EditOutcome missing)
{
    switch (lookup) {
    case Lookup::Missing: return missing;
    case Lookup::Stale: return EditOutcome::Stale;
    case Lookup::Failed: return EditOutcome::Failed;
    case Lookup::Found: break;
    }
    return EditOutcome::Done;
}

// How an edit closes the numbering: the whole catalogue in the present
// order (or in a given order), or, when the numbers were 1..N before the
// edit, only the rows from the first place it changed, which comes out the
// same without reading or writing the rows before it.
struct Closing {
    const std::vector<qint64>* order = nullptr;   // the whole new order
    bool ranged = false;
    std::vector<Placed> rows;   // the rows from first on, in their new order
    qint64 first = 1;
    qint64 total = 0;           // rows in the catalogue after the edit
};

// Runs the closing renumbering inside the edit's transaction and commits
// the whole edit when it ran through (or found nothing left to number).
EditResult renumber_and_commit(store::Connection& conn, store::Transaction& t, const Closing& closing,
                               const RenumberHooks& hooks)
{
    EditResult result;
    if (hooks.started)
        hooks.started();
    RenumberOutcome outcome;
    if (closing.ranged)
        outcome = closing.total == 0 ? RenumberOutcome::Empty
                                     : place_rows(conn, closing.rows, closing.first, closing.first - 1, closing.total,
                                                  hooks.progress, result.error);
    else if (closing.order)
        outcome = assign_numbers(conn, *closing.order, hooks.progress, result.error);
    else
        outcome = renumber_rows(conn, true, hooks.progress, result.error);
    result.renumbering = outcome;
    switch (outcome) {
    case RenumberOutcome::Stopped:
        result.outcome = EditOutcome::Stopped;
        return result;
    case RenumberOutcome::Failed:
        result.outcome = EditOutcome::Failed;
        return result;
    case RenumberOutcome::Done:
    case RenumberOutcome::Empty:
        break;
    }
    if ((result.error = t.commit()))
        result.outcome = EditOutcome::Failed;
    return result;
}

// Whether the numbers are 1..N now, and N; a failure goes to error.
struct Dense {
    bool dense = false;
    qint64 count = 0;
};

Dense numbering_now(store::Connection& conn, store::Error& error)
{
    Dense d;
    d.dense = numbers_dense(conn, d.count, error);
    return d;
}

// Right after rows were deleted from a catalogue numbered 1..N: the rows
// after the first deleted number move down.
bool close_gap_from(store::Connection& conn, qint64 left, qint64 first, Closing& closing, store::Error& error)
{
    closing.ranged = true;
    closing.first = first;
    closing.total = left;
    closing.rows = rows_numbered(conn, first, std::nullopt, error);
    return !error;
}

EditResult delete_where_page(store::Connection& conn, store::Transaction& t, const QVariant& page,
                             const RenumberHooks& hooks)
{
    store::Error error;
    const Dense before = page.isValid() ? numbering_now(conn, error) : Dense{};
    if (error)
        return failed(error);
    QVariant first;
    qint64 deleted = 0;
    if (before.dense) {
        store::Statement st = conn.prepare(QStringLiteral("SELECT min(numpic), count(*) FROM demopicture WHERE numpage = ?1"));
        st.bind_all({page});
        if (st.step()) {
            first = st.value(0);
            deleted = st.integer(1);
        }
        if ((error = st.error()))
            return failed(error);
    }
    const store::Error e = page.isValid()
        ? conn.exec(QStringLiteral("DELETE FROM demopicture WHERE numpage = ?1"), {page})
        : conn.exec(QStringLiteral("DELETE FROM demopicture WHERE numpage IS NULL"));
    if (e)
        return failed(e);
    Closing closing;
    if (before.dense && first.isValid() && !close_gap_from(conn, before.count - deleted, first.toLongLong(), closing, error))
        return failed(error);
    return renumber_and_commit(conn, t, closing, hooks);
}

} // namespace

bool still_as_shown(const PictureRef& ref, const QVariant& numpage, const QString& picfile)
{
    if (!ref.from_grid)
        return true;
    if (numpage.isValid() != ref.numpage.has_value())
        return false;
    return (!numpage.isValid() || numpage.toLongLong() == *ref.numpage) && picfile == ref.picfile;
}

void move_entry(std::vector<qint64>& order, size_t from, size_t to)
{
    if (from >= order.size() || to >= order.size() || from == to)
        return;
    const auto f = order.begin() + qsizetype(from);
    const auto t = order.begin() + qsizetype(to);
    if (from < to)
        std::rotate(f, f + 1, t + 1);
    else
        std::rotate(t, f, f + 1);
}

EditResult delete_all_pictures(store::Connection& conn)
{
    store::Transaction t(conn);
    if (t.error())
        return failed(t.error());
    if (const store::Error e = conn.exec(QStringLiteral("DELETE FROM demopicture")))
        return failed(e);
    if (const store::Error e = t.commit())
        return failed(e);
    return {};
}

EditResult delete_page(store::Connection& conn, qint64 page, const RenumberHooks& hooks)
{
    store::Transaction t(conn);
    if (t.error())
        return failed(t.error());
    store::Error error;
    const QVariant any = conn.scalar(QStringLiteral("SELECT 1 FROM demopicture WHERE numpage = ?1 LIMIT 1"), {page}, error);
    if (error)
        return failed(error);
    if (!any.isValid())
        return {EditOutcome::Missing, std::nullopt, {}};
    return delete_where_page(conn, t, page, hooks);
}

EditResult delete_page_of(store::Connection& conn, const PictureRef& row, const RenumberHooks& hooks)
{
    store::Transaction t(conn);
    if (t.error())
        return failed(t.error());
    Found found;
    store::Error error;
    if (const Lookup l = find_picture(conn, row, found, error); l != Lookup::Found)
        return {outcome_of(l, EditOutcome::Missing), std::nullopt, error};
    return delete_where_page(conn, t, found.numpage, hooks);
}

EditResult delete_picture(store::Connection& conn, const PictureRef& picture, const RenumberHooks& hooks)
{
    store::Transaction t(conn);
    if (t.error())
        return failed(t.error());
    Found found;
    store::Error error;
    if (const Lookup l = find_picture(conn, picture, found, error); l != Lookup::Found)
        return {outcome_of(l, EditOutcome::Missing), std::nullopt, error};
    const Dense before = numbering_now(conn, error);
    if (error)
        return failed(error);
    if (const store::Error e = conn.exec(QStringLiteral("DELETE FROM demopicture WHERE rowid = ?1"), {found.rowid}))
        return failed(e);
    Closing closing;
    if (before.dense && !close_gap_from(conn, before.count - 1, picture.numpic, closing, error))
        return failed(error);
    return renumber_and_commit(conn, t, closing, hooks);
}

EditResult exchange_pictures(store::Connection& conn, const PictureRef& a, const PictureRef& b)
{
    store::Transaction t(conn);
    if (t.error())
        return failed(t.error());
    Found fa, fb;
    store::Error error;
    if (const Lookup l = find_picture(conn, a, fa, error); l != Lookup::Found)
        return {outcome_of(l, EditOutcome::Missing), std::nullopt, error};
    if (const Lookup l = find_picture(conn, b, fb, error); l != Lookup::Found)
        return {outcome_of(l, EditOutcome::SecondMissing), std::nullopt, error};
    if (fa.rowid == fb.rowid)
        return {};
    // A number of Null parks the first picture: the unique key admits it
    // whatever other rows hold, so no row can collide with the parked one.
    const QString set = QStringLiteral("UPDATE demopicture SET numpic = ?1, numpage = ?2 WHERE rowid = ?3");
    store::Error e = conn.exec(QStringLiteral("UPDATE demopicture SET numpic = NULL WHERE rowid = ?1"), {fa.rowid});
    if (!e)
        e = conn.exec(set, {a.numpic, fa.numpage, fb.rowid});
    if (!e)
        e = conn.exec(set, {b.numpic, fb.numpage, fa.rowid});
    if (!e)
        e = t.commit();
    if (e)
        return failed(e);
    return {};
}

EditResult insert_picture(store::Connection& conn, const PictureRef& moving, const PictureRef& place,
                          const RenumberHooks& hooks)
{
    store::Transaction t(conn);
    if (t.error())
        return failed(t.error());
    Found fs, ft;
    store::Error error;
    if (const Lookup l = find_picture(conn, moving, fs, error); l != Lookup::Found)
        return {outcome_of(l, EditOutcome::Missing), std::nullopt, error};
    if (const Lookup l = find_picture(conn, place, ft, error); l != Lookup::Found)
        return {outcome_of(l, EditOutcome::SecondMissing), std::nullopt, error};
    const Dense before = numbering_now(conn, error);
    if (error)
        return failed(error);
    if (before.dense) {
        // Only the rows between the two places move.
        Closing closing;
        closing.ranged = true;
        closing.first = std::min(moving.numpic, place.numpic);
        closing.total = before.count;
        closing.rows = rows_numbered(conn, closing.first, std::max(moving.numpic, place.numpic), error);
        if (error)
            return failed(error);
        if (moving.numpic < place.numpic)
            std::rotate(closing.rows.begin(), closing.rows.begin() + 1, closing.rows.end());
        else if (moving.numpic > place.numpic)
            std::rotate(closing.rows.begin(), closing.rows.end() - 1, closing.rows.end());
        return renumber_and_commit(conn, t, closing, hooks);
    }
    std::vector<qint64> order = rows_in_number_order(conn, error);
    if (error)
        return failed(error);
    const auto from = std::find(order.begin(), order.end(), fs.rowid);
    const auto to = std::find(order.begin(), order.end(), ft.rowid);
    move_entry(order, size_t(from - order.begin()), size_t(to - order.begin()));
    Closing closing;
    closing.order = &order;
    return renumber_and_commit(conn, t, closing, hooks);
}

} // namespace mosswick::maintenance
