#pragma once

#include "platform/store/connection.h"

#include <functional>

namespace mosswick {

enum class RenumberOutcome { Done, Empty, Stopped, Failed };

// Rows moved by one step of a renumbering: between two steps the progress
// is shown and a stop is seen.
inline constexpr qint64 k_renumber_step_rows = 4096;

// Called after each step with the rows done and the total; false stops.
using RenumberProgress = std::function<bool(qint64 done, qint64 total)>;

// Gives the rows numbers 1..N and pages of six, in file-name order (case
// folded, then exact, then old number) or keeping the present number order
// (rows without a number last). progress(done, total) is called after each
// step; returning false stops the run, which is then rolled back: the
// catalogue is fully renumbered or unchanged. Inside a transaction the caller
// opened it runs in that one, and the caller rolls it back after a stop or a
// failure. Only rows whose number or page changes are written.
RenumberOutcome renumber_rows(store::Connection& conn, bool keep_order, const RenumberProgress& progress,
                              store::Error& error);

// True when the numbers run from 1 to N, the row count (given back in
// count), none Null. Read from the number index alone, so it costs next to
// nothing on any size of catalogue. (A fraction among them is found by
// whole_numbers_between.)
bool numbers_dense(store::Connection& conn, qint64& count, store::Error& error);

// True when every number from first to last is a whole number: then, in a
// catalogue whose numbers run from 1 to N, those rows are numbered
// first..last, one each. Reads that range of the number index.
bool whole_numbers_between(store::Connection& conn, qint64 first, qint64 last, store::Error& error);

// Where a step of an edit's renumbering puts the bar: done_before rows are
// counted as done when it starts, of total.
struct RenumberSpan {
    qint64 done_before = 0;
    qint64 total = 0;
};

// The renumbering steps of the edits, inside the caller's transaction (which
// the caller rolls back after a stop or a failure).

// In a catalogue numbered 1..N but for places an edit emptied or parked:
// moves the rows numbered first..last by `by` places, pages with them, a set
// of rows per statement, so that no number is ever held twice. Needs the
// places the rows move into free and no number below 1.
RenumberOutcome shift_numbers(store::Connection& conn, qint64 first, qint64 last, qint64 by, RenumberSpan span,
                              const RenumberProgress& progress, store::Error& error);

// Numbers the rows numbered first or more first, first + 1, ... keeping
// their order (rows before first are left as they are).
RenumberOutcome renumber_from(store::Connection& conn, qint64 first, qint64 total, const RenumberProgress& progress,
                              store::Error& error);

// Numbers every row 1..N in the present order (rows without a number last),
// with the picture numbered moving put in the place of the one numbered
// place; those between shift by one towards moving's old place.
RenumberOutcome renumber_moving(store::Connection& conn, qint64 moving, qint64 place, qint64 total,
                                const RenumberProgress& progress, store::Error& error);

} // namespace mosswick
