#include "light/compaction.h"

#include "catalogue/catalogue_logic.h"

#include <QDir>
#include <QFileInfo>

namespace mosswick::light {

QString compaction_temp_path(const QString& catalogue_path)
{
    const QString catalogue = QDir::cleanPath(QFileInfo(catalogue_path).absoluteFilePath());
    const QString folder = folder_of(catalogue);
    const QString temp = join_path(folder, QString::fromLatin1(k_compaction_file));
    if (temp == catalogue)
        return join_path(folder, QStringLiteral("NewCmpctDB.tmp.mdb"));
    return temp;
}

store::Protection compaction_protection(const QString& catalogue_path)
{
    store::Protection protection;
    // Without a password the only key such a file can have is the fixed one.
    protection.encrypt = store::probe_file(catalogue_path) == store::FileProbe::MaybeEncrypted;
    return protection;
}

} // namespace mosswick::light
