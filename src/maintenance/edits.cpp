#include "maintenance/edits.h"

#include "core/catalogue_logic.h"

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

// How an edit closes the numbering, inside its transaction.
using Closing = std::function<RenumberOutcome(const RenumberProgress& progress, store::Error& error)>;

// The whole catalogue in the present order, when its numbers were not 1..N.
Closing renumber_whole(store::Connection& conn)
{
    return [&conn](const RenumberProgress& progress, store::Error& error) {
        return renumber_rows(conn, true, progress, error);
    };
}

// Runs the closing renumbering inside the edit's transaction and commits
// the whole edit when it ran through (or found nothing left to number).
EditResult renumber_and_commit(store::Transaction& t, const Closing& closing, const RenumberHooks& hooks)
{
    EditResult result;
    if (hooks.started)
        hooks.started();
    const RenumberOutcome outcome = closing(hooks.progress, result.error);
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

// Whether the rows numbered first..last, which an edit of a catalogue
// numbered 1..N moves, can move as a range: whole numbers only. Otherwise
// the whole catalogue is renumbered.
bool moves_as_range(store::Connection& conn, const Dense& before, qint64 first, qint64 last, store::Error& error)
{
    return before.dense && whole_numbers_between(conn, first, last, error);
}

// After the numbers lo..hi of a catalogue numbered 1..count lost `deleted`
// rows: the rows after the gap move down, the rows before it stay as they
// are. A gap with rows left in it (a page whose rows were not together) is
// closed by numbering from its start.
Closing close_gap(store::Connection& conn, qint64 count, qint64 lo, qint64 hi, qint64 deleted)
{
    return [&conn, count, lo, hi, deleted](const RenumberProgress& progress, store::Error& error) {
        const qint64 left = count - deleted;
        if (left == 0)
            return RenumberOutcome::Empty;
        if (hi - lo + 1 == deleted)
            return shift_numbers(conn, hi + 1, count, -deleted, {lo - 1, left}, progress, error);
        return renumber_from(conn, lo, left, progress, error);
    };
}

EditResult delete_where_page(store::Connection& conn, store::Transaction& t, const QVariant& page,
                             const RenumberHooks& hooks)
{
    store::Error error;
    const Dense before = page.isValid() ? numbering_now(conn, error) : Dense{};
    if (error)
        return failed(error);
    QVariant lo;
    QVariant hi;
    qint64 deleted = 0;
    bool ranged = false;
    if (before.dense) {
        store::Statement st =
            conn.prepare(QStringLiteral("SELECT min(numpic), max(numpic), count(*) FROM demopicture WHERE numpage = ?1"));
        st.bind_all({page});
        if (st.step()) {
            lo = st.value(0);
            hi = st.value(1);
            deleted = st.integer(2);
        }
        if ((error = st.error()))
            return failed(error);
        ranged = lo.typeId() == QMetaType::LongLong && moves_as_range(conn, before, lo.toLongLong(), before.count, error);
        if (error)
            return failed(error);
    }
    const store::Error e = page.isValid()
        ? conn.exec(QStringLiteral("DELETE FROM demopicture WHERE numpage = ?1"), {page})
        : conn.exec(QStringLiteral("DELETE FROM demopicture WHERE numpage IS NULL"));
    if (e)
        return failed(e);
    if (ranged)
        return renumber_and_commit(t, close_gap(conn, before.count, lo.toLongLong(), hi.toLongLong(), deleted), hooks);
    return renumber_and_commit(t, renumber_whole(conn), hooks);
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
    const bool ranged = !error && moves_as_range(conn, before, picture.numpic, before.count, error);
    if (error)
        return failed(error);
    if (const store::Error e = conn.exec(QStringLiteral("DELETE FROM demopicture WHERE rowid = ?1"), {found.rowid}))
        return failed(e);
    if (ranged)
        return renumber_and_commit(t, close_gap(conn, before.count, picture.numpic, picture.numpic, 1), hooks);
    return renumber_and_commit(t, renumber_whole(conn), hooks);
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
    const qint64 s = moving.numpic;
    const qint64 p = place.numpic;
    const bool ranged = moves_as_range(conn, before, std::min(s, p), std::max(s, p), error);
    if (error)
        return failed(error);
    if (!ranged)
        return renumber_and_commit(
            t,
            [&conn, s, p, total = before.count](const RenumberProgress& progress, store::Error& err) {
                return renumber_moving(conn, s, p, total, progress, err);
            },
            hooks);
    // Only the rows between the two places move: the moving picture waits
    // without a number while they shift by one, then takes its new place.
    const Closing closing = [&conn, &fs, s, p, count = before.count](const RenumberProgress& progress,
                                                                       store::Error& err) {
        const qint64 lo = std::min(s, p);
        const qint64 hi = std::max(s, p);
        if (s != p) {
            if ((err = conn.exec(QStringLiteral("UPDATE demopicture SET numpic = NULL WHERE rowid = ?1"), {fs.rowid})))
                return RenumberOutcome::Failed;
            const RenumberOutcome shifted = s < p ? shift_numbers(conn, s + 1, p, -1, {lo - 1, count}, progress, err)
                                                  : shift_numbers(conn, p, s - 1, 1, {lo - 1, count}, progress, err);
            if (shifted != RenumberOutcome::Done)
                return shifted;
        }
        if ((err = conn.exec(QStringLiteral("UPDATE demopicture SET numpic = ?1, numpage = ?2 WHERE rowid = ?3 "
                                            "AND (numpic IS NOT ?1 OR numpage IS NOT ?2)"),
                             {p, page_count(p), fs.rowid})))
            return RenumberOutcome::Failed;
        return !progress || progress(hi, count) ? RenumberOutcome::Done : RenumberOutcome::Stopped;
    };
    return renumber_and_commit(t, closing, hooks);
}

} // namespace mosswick::maintenance
