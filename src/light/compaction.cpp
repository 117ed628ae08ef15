#include "light/compaction.h"

#include "catalogue/catalogue_logic.h"

#include <QDir>
#include <QFileInfo>

namespace mosswick::light {

store::Protection compaction_protection(const QString& catalogue_path)
{
    store::Protection protection;
    // Without a password the only key such a file can have is the fixed one.
    protection.encrypt = store::probe_file(catalogue_path) == store::FileProbe::MaybeEncrypted;
    return protection;
}

} // namespace mosswick::light
