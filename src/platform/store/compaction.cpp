#include "platform/store/compaction.h"

namespace mosswick::store {

Protection compaction_protection(const QString& catalogue_path)
{
    Protection protection;
    // Without a password the only key such a file can have is the fixed one.
    protection.encrypt = probe_file(catalogue_path) == FileProbe::MaybeEncrypted;
    return protection;
}

} // namespace mosswick::store
