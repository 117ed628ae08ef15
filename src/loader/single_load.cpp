#include "loader/single_load.h"

#include "core/catalogue_logic.h"
#include "core/file_ops.h"
#include "core/name_rules.h"
#include "loader/row_writer.h"
#include "platform/ui/vb.h"

#include <QFileInfo>

namespace mosswick::loader {

namespace {

SingleLoadResult failed(const store::Error& e)
{
    SingleLoadResult r;
    r.status = SingleLoadStatus::Failed;
    r.message = ui::error_message(e.code, e.text);
    return r;
}

SingleLoadResult refused(SingleLoadStatus status, const QString& message)
{
    SingleLoadResult r;
    r.status = status;
    r.message = message;
    return r;
}

} // namespace

QString note_to_store(const QString& plain, const QString& rich, bool rtf_load, const QString& picture)
{
    if (plain.isEmpty())
        return picture;
    return rtf_load ? rich : plain;
}

SingleLoadResult commit_single_load(store::Connection& conn, const SingleLoadRequest& request)
{
    if (conn.read_only())
        return refused(SingleLoadStatus::Refused, QStringLiteral("The database is Read-Only."));
    if (store::Error e = conn.ensure_picfile_index())
        return failed(e);
    if (files::name_too_long(request.picture))
        return refused(SingleLoadStatus::PictureNameTooLong, files::picture_name_message(request.picture));
    if (files::name_too_long(request.movie))
        return refused(SingleLoadStatus::MovieNameTooLong, files::movie_name_message(request.movie));

    const QString path = join_path(request.folder, request.picture);
    if (request.inside) {
        const InsideCheck check = check_inside(path, request.picture);
        if (check.verdict != InsideVerdict::Ok)
            return refused(SingleLoadStatus::Refused, inside_refusal_message(check));
    } else if (!QFileInfo(path).isFile()) {
        // Time passes between the pick and the commit; a name whose file
        // is gone is not catalogued.
        return refused(SingleLoadStatus::Refused, QStringLiteral("Picture file not found."));
    }

    store::Error error;
    SingleLoadResult result;
    result.slot = next_picture_slot(conn, error);
    if (error)
        return failed(error);

    RowWriter writer(conn);
    if (writer.error())
        return failed(writer.error());
    if (!request.inside && !files::same_folder(request.folder, request.data_folder)) {
        const bool catalogued = writer.is_catalogued(request.picture, error);
        if (error)
            return failed(error);
        if (catalogued) {
            result.status = SingleLoadStatus::Duplicate;
            result.message = QStringLiteral("Picture is already loaded.");
            return result;
        }
    }

    NewPicture row;
    row.movfile = request.movie.isEmpty() ? QVariant() : QVariant(request.movie);
    row.picfile = request.picture;
    row.note = request.note;
    row.reference = request.reference;
    row.addnote = request.addnote;
    row.numpic = result.slot.numpic;
    row.numpage = result.slot.numpage;
    if (request.inside)
        row.inside_path = path;
    if (store::Error e = writer.add(row))
        return failed(e);
    result.status = SingleLoadStatus::Loaded;
    result.message = QStringLiteral("Picture loaded.");
    return result;
}

} // namespace mosswick::loader
