#pragma once

#include "platform/store/connection.h"

#include <QString>

// How compaction protects the catalogue it rewrites.
namespace mosswick::store {

// How the compacted copy of a catalogue without a password is protected: as
// the catalogue is, so one scrambled with the program's fixed key stays
// scrambled.
Protection compaction_protection(const QString& catalogue_path);

} // namespace mosswick::store
