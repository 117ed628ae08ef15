#include "core/listing.h"

#include "core/file_ops.h"
#include "platform/store/text_rules.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
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
    int read_error = 0;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) {
            read_error = errno;
            break;
        }
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
        if (QFile::encodeName(name) != QByteArray(e->d_name, qsizetype(std::strlen(e->d_name))))
            continue;
        if (is_dir)
            out.folders << name;
        else if (is_file)
            out.files << name;
    }
    ::closedir(dir);
    if (read_error != 0) {
        out.error = read_error;
        out.files.clear();
        out.folders.clear();
        return out;
    }
    sort_names(out.files);
    sort_names(out.folders);
    out.ok = true;
    return out;
}

store::Error listing_error(const QString& folder, const Listing& listing)
{
    if (listing.ok)
        return {};
    if (listing.error == ENOENT || listing.error == ENOTDIR)
        return store::make_error(store::ErrorKind::PathNotFound, QStringLiteral("Path not found: ") + folder);
    return files::file_error(folder, listing.error);
}

} // namespace mosswick
