#pragma once

#include "platform/store/connection.h"

#include <functional>

namespace mosswick {

enum class RenumberOutcome { Done, Empty, Stopped, Failed };

// Gives the rows numbers 1..N and pages of six, in file-name order (case
// folded, then exact, then old number) or keeping the present number order.
// progress(done, total) is called after each row; returning false stops the
// run, which is then rolled back: the catalogue is fully renumbered or unchanged.
RenumberOutcome renumber_rows(store::Connection& conn, bool keep_order,
                              const std::function<bool(qint64, qint64)>& progress, store::Error& error);

} // namespace mosswick
