#pragma once

#include "platform/store/connection.h"

#include <QString>

// How the "Compact" button rewrites a catalogue. No widgets.
namespace mosswick::light {

// How the compacted copy is protected: as the catalogue is. A catalogue this
// edition can open has no password, but one scrambled with the program's
// fixed key stays scrambled.
store::Protection compaction_protection(const QString& catalogue_path);

} // namespace mosswick::light
