#pragma once

#include "platform/store/store_error.h"

#include <QMetaType>
#include <QString>

#include <functional>

namespace mosswick::store {

class Connection;

enum class IntegrityOutcome {
    Passed,    // the whole file was read and found sound
    Damaged,   // the engine found damage; detail says what
    Stopped,   // stopped before the end
    Failed,    // the check itself could not run; error says why
};

struct IntegrityResult {
    IntegrityOutcome outcome = IntegrityOutcome::Failed;
    QString detail;   // the engine's first findings, for Damaged
    Error error;      // for Failed
};

// Reads the whole catalogue file through the engine's quick check. Slow on
// large files: it reads every page. keep_going(permille) is called now and
// then on the calling thread with an estimate of the share done; false
// stops the check.
IntegrityResult check_integrity(Connection& conn, const std::function<bool(int permille)>& keep_going = {});

// The message for a check that found damage or could not run.
QString integrity_problem(const IntegrityResult& result);

} // namespace mosswick::store

Q_DECLARE_METATYPE(mosswick::store::IntegrityResult)
