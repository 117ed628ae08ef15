#pragma once

#include "platform/store/connection.h"

#include <functional>
#include <vector>

namespace mosswick {

enum class RenumberOutcome { Done, Empty, Stopped, Failed };

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
// caller must roll it back after a stop or a failure.
RenumberOutcome assign_numbers(store::Connection& conn, const std::vector<qint64>& rowids,
                               const RenumberProgress& progress, store::Error& error);

} // namespace mosswick
