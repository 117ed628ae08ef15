#include "maintenance/rename.h"

#include <QFileInfo>

#include "core/catalogue_logic.h"
#include "core/file_ops.h"
#include "core/name_rules.h"
#include "maintenance/input_rules.h"

#include <QFile>

#include <cerrno>
#include <tuple>
#include <sys/stat.h>

namespace mosswick::maintenance {

namespace {

// lstat: a dangling link still takes the name.
bool name_taken(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The extension of a movie file with its dot; "" when it has no dot.
QString dotted_extension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

// A stored name that is not a plain file name would reach outside the data folder.
bool plain_name(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && name != QLatin1String(".") && name != QLatin1String("..");
}

// How many other rows name a file as their picture or their movie.
qint64 other_users_of(store::Connection& conn, qint64 rowid, const QString& name, store::Error& error)
{
    return conn
        .scalar(QStringLiteral("SELECT count(*) FROM demopicture WHERE rowid <> ?1 AND (picfile = ?2 OR movfile = ?2)"),
                {rowid, name}, error)
        .toLongLong();
}

RenameResult failure(RenameOutcome outcome, const store::Error& error = {})
{
    RenameResult r;
    r.outcome = outcome;
    r.error = error;
    return r;
}

// What ends a rename before it is done; nullopt lets it go on.
using Ended = std::optional<RenameResult>;

// The row a rename acts on, as the catalogue holds it now.
struct StoredRow {
    qint64 rowid = 0;
    QString picture;
    QString movie;   // "" without a movie
    bool stored_inside = false;
};

// What a rename does: the new names, and which files move from where to where.
struct RenamePlan {
    QString new_picture;
    QString new_movie;   // "" without a movie
    bool with_movie = false;
    bool picture_moves = false;
    bool movie_moves = false;
    QString picture_from, picture_to, movie_from, movie_to;
};

// Reads the row; Stale unless it is still the one the grid showed.
Ended read_row_as_shown(store::Connection& conn, const PictureRef& row, StoredRow& stored)
{
    const bool has_inout = conn.column_count() > store::col_inoutpic;
    store::Statement st = conn.prepare(has_inout
        ? QStringLiteral("SELECT rowid, numpage, picfile, movfile, inoutpic FROM demopicture WHERE numpic = ?1")
        : QStringLiteral("SELECT rowid, numpage, picfile, movfile, NULL FROM demopicture WHERE numpic = ?1"));
    st.bind_all({row.numpic});
    if (!st.step())
        return st.error() ? failure(RenameOutcome::Failed, st.error()) : failure(RenameOutcome::Stale);
    stored.rowid = st.integer(0);
    const QVariant page = st.value(1);
    stored.picture = st.text(2);
    stored.movie = st.is_null(3) ? QString() : st.text(3);
    stored.stored_inside = store::picture_stored_inside(st.value(4));
    if (!still_as_shown(row, page, stored.picture))
        return failure(RenameOutcome::Stale);
    return std::nullopt;
}

RenamePlan new_names(const StoredRow& stored, const QString& base, const QString& extension)
{
    RenamePlan plan;
    plan.new_picture = base + u'.' + extension;
    plan.with_movie = !stored.movie.isEmpty();
    plan.new_movie = plan.with_movie ? base + dotted_extension(stored.movie) : QString();
    return plan;
}

// Refuses a picture name that does not change, stored names that are not
// plain, and new names the columns do not take.
Ended refuse_names(store::Connection& conn, const StoredRow& stored, const RenamePlan& plan)
{
    if (plan.new_picture == stored.picture)
        return failure(RenameOutcome::TargetExists);
    for (const QString& name : {stored.picture, stored.movie}) {
        if (!name.isEmpty() && !plain_name(name))
            return failure(RenameOutcome::Failed,
                           store::make_error(store::ErrorKind::FileAccess,
                                             QStringLiteral("The stored file name is not a plain name: ") + name));
    }
    if (const store::Error e = conn.check_value(store::col_picfile, plan.new_picture))
        return failure(RenameOutcome::Failed, e);
    if (plan.with_movie) {
        if (const store::Error e = conn.check_value(store::col_movfile, plan.new_movie))
            return failure(RenameOutcome::Failed, e);
    }
    return std::nullopt;
}

void plan_moves(const QString& data_folder, const StoredRow& stored, RenamePlan& plan)
{
    plan.picture_from = join_path(data_folder, stored.picture);
    plan.picture_to = join_path(data_folder, plan.new_picture);
    // A picture kept inside the catalogue may have no file to rename.
    plan.picture_moves = !(stored.stored_inside && !name_taken(plan.picture_from));
    plan.movie_moves = plan.with_movie && plan.new_movie != stored.movie;
    plan.movie_from = join_path(data_folder, stored.movie);
    plan.movie_to = join_path(data_folder, plan.new_movie);
}

// A file other rows name stays where they find it: FileShared.
Ended refuse_shared_files(store::Connection& conn, const StoredRow& stored, const RenamePlan& plan)
{
    for (const auto& [moves, name, is_movie] : {std::tuple{plan.picture_moves, stored.picture, false},
                                                std::tuple{plan.movie_moves, stored.movie, true}}) {
        if (!moves)
            continue;
        store::Error error;
        const qint64 others = other_users_of(conn, stored.rowid, name, error);
        if (error)
            return failure(RenameOutcome::Failed, error);
        if (others > 0) {
            RenameResult shared = failure(RenameOutcome::FileShared);
            shared.shared_file = name;
            shared.shared_is_movie = is_movie;
            shared.other_users = others;
            return shared;
        }
    }
    return std::nullopt;
}

// Never replaces an existing file.
Ended refuse_taken_names(const RenamePlan& plan)
{
    if (name_taken(plan.picture_to))
        return failure(RenameOutcome::TargetExists);
    if (plan.movie_moves && name_taken(plan.movie_to))
        return failure(RenameOutcome::Failed, files::file_error(plan.movie_to, EEXIST));
    return std::nullopt;
}

// The row first: a store that refuses leaves the files untouched.
store::Error write_new_names(store::Connection& conn, qint64 rowid, const RenamePlan& plan)
{
    store::Error e = conn.exec(QStringLiteral("UPDATE demopicture SET picfile = ?1 WHERE rowid = ?2"), {plan.new_picture, rowid});
    if (!e && plan.with_movie)
        e = conn.exec(QStringLiteral("UPDATE demopicture SET movfile = ?1 WHERE rowid = ?2"), {plan.new_movie, rowid});
    return e;
}

// Moves the files, then commits the row; a step that fails moves back the
// files moved before it.
Ended move_files_and_commit(store::Transaction& t, const RenamePlan& plan)
{
    store::Error e;
    if (plan.picture_moves) {
        if ((e = files::move_no_replace(plan.picture_from, plan.picture_to)))
            return failure(e.kind == store::ErrorKind::FileExists ? RenameOutcome::TargetExists : RenameOutcome::Failed, e);
    }
    // A failed undo is said too.
    auto undo = [&e](const QString& from, const QString& to) {
        if (const store::Error u = files::move_no_replace(from, to))
            e.text += QStringLiteral(" The file %1 could not be given back its name %2: %3")
                          .arg(QFileInfo(from).fileName(), QFileInfo(to).fileName(), u.text);
    };
    if (plan.movie_moves) {
        if ((e = files::move_no_replace(plan.movie_from, plan.movie_to))) {
            if (plan.picture_moves)
                undo(plan.picture_to, plan.picture_from);
            return failure(RenameOutcome::Failed, e);
        }
    }
    if ((e = t.commit())) {
        if (plan.movie_moves)
            undo(plan.movie_to, plan.movie_from);
        if (plan.picture_moves)
            undo(plan.picture_to, plan.picture_from);
        return failure(RenameOutcome::Failed, e);
    }
    return std::nullopt;
}

} // namespace

QString shared_file_message(const RenameResult& result)
{
    return QStringLiteral("The %1 file %2 is also used by %3 other picture%4; nothing was renamed.")
        .arg(result.shared_is_movie ? QStringLiteral("movie") : QStringLiteral("picture"), result.shared_file)
        .arg(result.other_users)
        .arg(result.other_users == 1 ? QString() : QStringLiteral("s"));
}

std::optional<RenameOutcome> check_rename_boxes(const QString& base, const QString& extension)
{
    if (base.trimmed().isEmpty())
        return RenameOutcome::NoName;
    if (base.startsWith(u'.'))
        return RenameOutcome::HiddenName;
    if (extension.trimmed().isEmpty() || !files::picture_extensions().contains(extension.toLower()))
        return RenameOutcome::BadExtension;
    if (without_refused_name_characters(base) != base || base.contains(QChar(0)))
        return RenameOutcome::BadCharacters;
    return std::nullopt;
}

RenameResult rename_picture(store::Connection& conn, const QString& data_folder, const PictureRef& row,
                            const QString& base, const QString& extension)
{
    if (const auto refused = check_rename_boxes(base, extension))
        return failure(*refused);
    store::Transaction t(conn);
    if (t.error())
        return failure(RenameOutcome::Failed, t.error());
    StoredRow stored;
    if (Ended ended = read_row_as_shown(conn, row, stored))
        return *ended;
    RenamePlan plan = new_names(stored, base, extension);
    if (Ended ended = refuse_names(conn, stored, plan))
        return *ended;
    plan_moves(data_folder, stored, plan);
    if (Ended ended = refuse_shared_files(conn, stored, plan))
        return *ended;
    if (Ended ended = refuse_taken_names(plan))
        return *ended;
    if (const store::Error e = write_new_names(conn, stored.rowid, plan))
        return failure(RenameOutcome::Failed, e);
    if (Ended ended = move_files_and_commit(t, plan))
        return *ended;
    RenameResult done;
    // A picture with a movie has both renamed, also when the movie's name
    // comes out as it was (only the picture's extension changed).
    done.outcome = plan.with_movie ? RenameOutcome::RenamedWithMovie : RenameOutcome::Renamed;
    done.picfile = plan.new_picture;
    done.movfile = plan.new_movie;
    return done;
}

} // namespace mosswick::maintenance
