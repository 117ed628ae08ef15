#pragma once

#include "platform/store/connection.h"

#include <QString>

// How the "Compact" button rewrites a catalogue. No widgets.
namespace mosswick::light {

// The name of the temporary compacted copy, in the catalogue's folder.
inline constexpr const char* k_compaction_file = "NewCmpctDB.mdb";

// The temporary file a compaction of a catalogue writes before it takes the
// catalogue's place: NewCmpctDB.mdb beside it, or another name when the
// catalogue itself is called so (it must never be taken for a leftover).
QString compaction_temp_path(const QString& catalogue_path);

// How the compacted copy is protected: as the catalogue is. A catalogue this
// edition can open has no password, but one scrambled with the program's
// fixed key stays scrambled.
store::Protection compaction_protection(const QString& catalogue_path);

} // namespace mosswick::light
