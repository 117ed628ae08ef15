#include "loader/listing.h"

#include "platform/store/text_rules.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace mosswick {

void sort_names(QStringList& names)
{
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return store::fold_compare(a, b) < 0; });
}

Listing list_folder(const QString& folder)
{
    Listing out;
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir) {
        out.error = errno;
        return out;
    }
    const int dfd = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        bool is_dir = e->d_type == DT_DIR;
        bool is_file = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            if (::fstatat(dfd, e->d_name, &st, 0) != 0)
                continue;
            is_dir = S_ISDIR(st.st_mode);
            is_file = S_ISREG(st.st_mode);
        }
        const QString name = QFile::decodeName(e->d_name);
        if (is_dir)
            out.folders << name;
        else if (is_file)
            out.files << name;
    }
    ::closedir(dir);
    sort_names(out.files);
    sort_names(out.folders);
    out.ok = true;
    return out;
}

} // namespace mosswick
