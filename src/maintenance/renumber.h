#pragma once

#include "platform/store/connection.h"

#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace mosswick {

enum class RenumberOutcome { Done, Empty, Stopped, Failed };

// Rows moved by one step of a renumbering: between two steps the progress
// is shown and a stop is seen.
inline constexpr qint64 k_renumber_step_rows = 4096;

// Called after each row with the rows done and the total; false stops.
using RenumberProgress = std::function<bool(qint64 done, qint64 total)>;

// Gives the rows numbers 1..N and pages of six, in file-name order (case
// folded, then exact, then old number) or keeping the present number order.
// progress(done, total) is called after each row; returning false stops the
// run, which is then rolled back: the catalogue is fully renumbered or
// unchanged (inside the caller's transaction, as assign_numbers says).
RenumberOutcome renumber_rows(store::Connection& conn, bool keep_order, const RenumberProgress& progress,
                              store::Error& error);

// The rows' ids in the present number order; rows without a number come last.
std::vector<qint64> rows_in_number_order(store::Connection& conn, store::Error& error);

// Gives the listed rows the numbers 1..N in list order, pages of six, in one
// transaction that a stop or a failure rolls back. Empty for an empty list.
// Inside a transaction the caller opened, it runs in that one, and the
// caller must roll it back after a stop or a failure. Only rows whose number
// or page changes are written.
RenumberOutcome assign_numbers(store::Connection& conn, const std::vector<qint64>& rowids,
                               const RenumberProgress& progress, store::Error& error);

// A row with the number and page it carries now; k_no_number for Null or a
// value that is not a whole number.
struct Placed {
    static constexpr qint64 k_no_number = std::numeric_limits<qint64>::min();
    qint64 rowid = 0;
    qint64 numpic = k_no_number;
    qint64 numpage = k_no_number;
};

// True when the numbers are exactly 1..N: no Null, the smallest 1, the
// largest the row count N (given back in count). Read from the indexes
// alone, so it costs next to nothing on any size of catalogue.
bool numbers_dense(store::Connection& conn, qint64& count, store::Error& error);

// The rows numbered first..last (last: nullopt for no end), in number order.
std::vector<Placed> rows_numbered(store::Connection& conn, qint64 first, std::optional<qint64> last,
                                  store::Error& error);

// Gives rows[k] the number first + k and its page, writing only the rows
// whose number or page changes; the caller's transaction holds it all.
// progress sees done_before + k of total after each row.
RenumberOutcome place_rows(store::Connection& conn, const std::vector<Placed>& rows, qint64 first,
                           qint64 done_before, qint64 total, const RenumberProgress& progress, store::Error& error);

} // namespace mosswick
