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

    // The row must still be the one the grid showed.
    const bool has_inout = conn.column_count() > store::col_inoutpic;
    store::Statement st = conn.prepare(has_inout
        ? QStringLiteral("SELECT rowid, numpage, picfile, movfile, inoutpic FROM demopicture WHERE numpic = ?1")
        : QStringLiteral("SELECT rowid, numpage, picfile, movfile, NULL FROM demopicture WHERE numpic = ?1"));
    st.bind_all({row.numpic});
    if (!st.step())
        return st.error() ? failure(RenameOutcome::Failed, st.error()) : failure(RenameOutcome::Stale);
    const qint64 rowid = st.integer(0);
    const QVariant page = st.value(1);
    const QString old_picture = st.text(2);
    const QString old_movie = st.is_null(3) ? QString() : st.text(3);
    const bool stored_inside = store::picture_stored_inside(st.value(4));
    st = store::Statement();
    if (!still_as_shown(row, page, old_picture))
        return failure(RenameOutcome::Stale);

    const QString new_picture = base + u'.' + extension;
    const bool with_movie = !old_movie.isEmpty();
    const QString new_movie = with_movie ? base + dotted_extension(old_movie) : QString();

    if (new_picture == old_picture)
        return failure(RenameOutcome::TargetExists);
    for (const QString& name : {old_picture, old_movie}) {
        if (!name.isEmpty() && !plain_name(name))
            return failure(RenameOutcome::Failed,
                           store::make_error(store::ErrorKind::FileAccess,
                                             QStringLiteral("The stored file name is not a plain name: ") + name));
    }
    if (const store::Error e = conn.check_value(store::col_picfile, new_picture))
        return failure(RenameOutcome::Failed, e);
    if (with_movie) {
        if (const store::Error e = conn.check_value(store::col_movfile, new_movie))
            return failure(RenameOutcome::Failed, e);
    }

    const QString picture_from = join_path(data_folder, old_picture);
    const QString picture_to = join_path(data_folder, new_picture);
    // A picture kept inside the catalogue may have no file to rename.
    const bool picture_moves = !(stored_inside && !name_taken(picture_from));
    const bool movie_moves = with_movie && new_movie != old_movie;
    const QString movie_from = join_path(data_folder, old_movie);
    const QString movie_to = join_path(data_folder, new_movie);

    // A file other rows name stays where they find it.
    for (const auto& [moves, name, is_movie] : {std::tuple{picture_moves, old_picture, false},
                                                std::tuple{movie_moves, old_movie, true}}) {
        if (!moves)
            continue;
        store::Error error;
        const qint64 others = other_users_of(conn, rowid, name, error);
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

    if (name_taken(picture_to))
        return failure(RenameOutcome::TargetExists);
    if (movie_moves && name_taken(movie_to))
        return failure(RenameOutcome::Failed, files::file_error(movie_to, EEXIST));

    // The row first: a store that refuses leaves the files untouched.
    store::Error e = conn.exec(QStringLiteral("UPDATE demopicture SET picfile = ?1 WHERE rowid = ?2"), {new_picture, rowid});
    if (!e && with_movie)
        e = conn.exec(QStringLiteral("UPDATE demopicture SET movfile = ?1 WHERE rowid = ?2"), {new_movie, rowid});
    if (e)
        return failure(RenameOutcome::Failed, e);

    if (picture_moves) {
        if ((e = files::move_no_replace(picture_from, picture_to)))
            return failure(e.kind == store::ErrorKind::FileExists ? RenameOutcome::TargetExists : RenameOutcome::Failed, e);
    }
    // Moves a file back after a later step failed; a failed undo is said too.
    auto undo = [&e](const QString& from, const QString& to) {
        if (const store::Error u = files::move_no_replace(from, to))
            e.text += QStringLiteral(" The file %1 could not be given back its name %2: %3")
                          .arg(QFileInfo(from).fileName(), QFileInfo(to).fileName(), u.text);
    };
    if (movie_moves) {
        if ((e = files::move_no_replace(movie_from, movie_to))) {
            if (picture_moves)
                undo(picture_to, picture_from);
            return failure(RenameOutcome::Failed, e);
        }
    }
    if ((e = t.commit())) {
        if (movie_moves)
            undo(movie_to, movie_from);
        if (picture_moves)
            undo(picture_to, picture_from);
        return failure(RenameOutcome::Failed, e);
    }
    RenameResult done;
    // A picture with a movie has both renamed, also when the movie's name
    // comes out as it was (only the picture's extension changed).
    done.outcome = with_movie ? RenameOutcome::RenamedWithMovie : RenameOutcome::Renamed;
    done.picfile = new_picture;
    done.movfile = new_movie;
    return done;
}

} // namespace mosswick::maintenance
