#include "maintenance/verify_pass.h"

#include "core/catalogue_logic.h"
#include "core/file_ops.h"
#include "core/name_rules.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mosswick::maintenance {

namespace {

enum class Probe { Present, Missing, Failed };

// Opens a file of a folder for reading and closes it again; a folder of
// that name is no file, and no folder listed means no file either.
Probe probe_file(const QString& folder, const QString& name, store::Error& error)
{
    if (folder.isEmpty())
        return Probe::Missing;
    const QString path = join_path(folder, name);
    // Non-blocking so that a named pipe of that name cannot hang the pass.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return Probe::Missing;
        error = files::file_error(path, errno);
        return Probe::Failed;
    }
    struct stat st {};
    const bool is_folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    ::close(fd);
    return is_folder ? Probe::Missing : Probe::Present;
}

using PairKey = std::pair<QString, QString>;

} // namespace

std::optional<qint64> phase1_maximum(qint64 pictures, qint64 all_files)
{
    if (all_files != 0)
        return all_files;
    if (pictures != 0)
        return pictures;
    return std::nullopt;
}

DuplicateGroups::DuplicateGroups(const std::vector<PicturePair>& rows) : m_rows(rows), m_first_of_group(rows.size(), false)
{
    QHash<PairKey, qint64> counts;
    counts.reserve(qsizetype(rows.size()));
    for (const PicturePair& p : rows)
        if (p.picfile)
            ++counts[{*p.picfile, p.movfile}];
    QSet<PairKey> listed;
    for (size_t i = 0; i < rows.size(); ++i) {
        const PicturePair& p = rows[i];
        if (!p.picfile)
            continue;
        const PairKey key{*p.picfile, p.movfile};
        if (counts.value(key) > 1 && !listed.contains(key)) {
            listed.insert(key);
            m_first_of_group[i] = true;
        }
    }
}

QStringList DuplicateGroups::lines_at(size_t i) const
{
    if (i >= m_rows.size() || !m_first_of_group[i])
        return {};
    const PicturePair& p = m_rows[i];
    return {*p.picfile, p.movfile.isEmpty() ? QString::fromLatin1(k_no_movie) : p.movfile,
            QString::fromLatin1(k_duplicate_separator)};
}

VerifyResult run_verify_pass(store::Connection& conn, const VerifyRequest& request, const VerifyHooks& hooks)
{
    VerifyResult result;
    auto fail = [&](const store::Error& e) {
        result.outcome = VerifyOutcome::Failed;
        result.error = e;
        return result;
    };
    auto advance = [&](qint64 value) { return !hooks.advance || hooks.advance(value); };

    // Every row once, ordered so that the rows of a pair follow one another.
    std::vector<PicturePair> rows;
    QSet<QString> picfiles, movfiles;
    {
        store::Error error;
        rows.reserve(size_t(std::max<qint64>(conn.record_count(error), 0)));
        if (error)
            return fail(error);
        store::Statement st = conn.prepare(QStringLiteral(
            "SELECT picfile, movfile FROM demopicture ORDER BY picfile COLLATE mw_fold, movfile COLLATE mw_fold, rowid"));
        while (st.step()) {
            PicturePair p;
            if (!st.is_null(0))
                p.picfile = st.text(0);
            if (!st.is_null(1))
                p.movfile = st.text(1);
            if (p.picfile)
                picfiles.insert(*p.picfile);
            if (!st.is_null(1))
                movfiles.insert(p.movfile);
            rows.push_back(std::move(p));
        }
        if (st.error())
            return fail(st.error());
    }

    // Phase 1: the folder's files that no row names.
    result.phase = 1;
    if (hooks.phase_started)
        hooks.phase_started(1, phase1_maximum(request.pictures.size(), request.all_files.size()));
    qint64 value = 0;
    for (const QString& name : request.pictures) {
        if (!files::is_picture_extension(name))
            continue;
        if (!picfiles.contains(name))
            result.not_loaded << name;
        if (!advance(++value)) {
            result.outcome = VerifyOutcome::Stopped;
            return result;
        }
    }
    for (const QString& name : request.all_files) {
        if (files::is_picture_extension(name) || !files::has_dot(name))
            continue;
        if (!movfiles.contains(name))
            result.not_loaded << name;
        if (!advance(++value)) {
            result.outcome = VerifyOutcome::Stopped;
            return result;
        }
    }

    // Phase 2: each row's files, and the pairs more than one row holds.
    result.phase = 2;
    if (hooks.phase_started)
        hooks.phase_started(2, qint64(rows.size()));
    const DuplicateGroups groups(rows);
    for (size_t i = 0; i < rows.size(); ++i) {
        const PicturePair& p = rows[i];
        store::Error error;
        const QString picture = p.picfile.value_or(QString());
        const Probe picture_probe = probe_file(request.picture_folder, picture, error);
        if (picture_probe == Probe::Failed)
            return fail(error);
        if (picture_probe == Probe::Missing)
            result.missing << picture;
        if (!p.movfile.isEmpty()) {
            const Probe movie_probe = probe_file(request.files_folder, p.movfile, error);
            if (movie_probe == Probe::Failed)
                return fail(error);
            if (movie_probe == Probe::Missing)
                result.missing << p.movfile;
        }
        result.duplicates << groups.lines_at(i);
        if (!advance(qint64(i) + 1)) {
            result.outcome = VerifyOutcome::Stopped;
            return result;
        }
    }
    result.outcome = VerifyOutcome::Done;
    return result;
}

} // namespace mosswick::maintenance
