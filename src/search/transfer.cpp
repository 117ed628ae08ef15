#include "search/transfer.h"

#include "core/catalogue_logic.h"
#include "core/file_ops.h"
#include "core/name_rules.h"
#include "platform/picture/picture.h"
#include "platform/ui/vb.h"
#include "search/messages.h"
#include "search/queries.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <optional>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace mosswick::search {

namespace {

using store::Error;

TransferResult result(TransferStatus status, const QString& message = {}, const QString& path = {})
{
    return {status, message, path};
}

TransferResult failed(const Error& e, const QString& path = {})
{
    return result(TransferStatus::Failed, ui::error_message(e.code, e.text), path);
}

QString unusable_name(const QString& picfile)
{
    return QStringLiteral("The file name cannot be used in the catalogue's folder: %1").arg(picfile);
}

// The row as the catalogue holds it now must be the row the grid shows;
// returns why not, or nullopt when it is.
std::optional<TransferResult> check_row(store::Connection& conn, const TransferRow& row, qint64& numpic)
{
    const std::optional<qint64> n = grid_number(row.numpic);
    if (!n)
        return result(TransferStatus::Refused, QString::fromLatin1(k_row_gone));
    numpic = *n;
    Error e;
    const std::optional<store::Row> now = conn.find_row(numpic, e);
    if (e)
        return failed(e);
    if (!now)
        return result(TransferStatus::Refused, QString::fromLatin1(k_row_gone));
    const bool stored = store::picture_stored_inside(now->value(store::col_inoutpic));
    if (grid_text(now->value(store::col_picfile)) != row.picfile || stored != (row.state == QLatin1String("IN")))
        return result(TransferStatus::Refused, QString::fromLatin1(k_row_changed));
    return std::nullopt;
}

// Writes bytes to a new hidden file beside target, in the export's chunks,
// and flushes it to disk. Returns the temporary path, or an error.
Error write_temporary(const QString& folder, const QString& name, const QByteArray& bytes, QString& temp_path)
{
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp_path = join_path(folder, QStringLiteral(".%1.part-%2").arg(name).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        fd = ::open(QFile::encodeName(temp_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return files::file_error(temp_path, errno);
    }
    if (fd < 0)
        return files::file_error(temp_path, EEXIST);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(QFile::encodeName(temp_path).constData());
        return files::file_error(join_path(folder, name), err);
    };
    const qint64 size = bytes.size();
    const qint64 chunk = export_chunk_size(size);
    for (qint64 offset = 0; offset < size;) {
        const qint64 piece = std::min(chunk, size - offset);
        const ssize_t put = ::write(fd, bytes.constData() + offset, size_t(piece));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        offset += put;
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(QFile::encodeName(temp_path).constData());
        return files::file_error(join_path(folder, name), err);
    }
    return {};
}

TransferResult export_picture(store::Connection& conn, qint64 numpic, const TransferRow& row, const QString& db_folder,
                              const ConfirmReplace& confirm_replace)
{
    const QString name = export_file_name(row.picfile);
    if (!plain_file_name(row.picfile) || !plain_file_name(name))
        return result(TransferStatus::Refused, unusable_name(row.picfile));
    if (const Error e = conn.check_value(store::col_picfile, name))
        return result(TransferStatus::Refused, e.text);
    Error e;
    const QByteArray bytes = conn.read_picture_bytes(numpic, e);
    if (e)
        return failed(e);
    if (bytes.isEmpty())
        return result(TransferStatus::Refused, QStringLiteral("No picture is stored in this record."));

    const QString target = join_path(db_folder, name);
    const QFileInfo existing(target);
    const bool replace = existing.exists() || existing.isSymLink();
    if (replace && !(confirm_replace && confirm_replace(target)))
        return result(TransferStatus::Declined, {}, target);

    QString temp;
    if (const Error we = write_temporary(db_folder, name, bytes, temp))
        return failed(we, target);
    auto drop_temp = [&] { ::unlink(QFile::encodeName(temp).constData()); };

    // The record changes with the file's arrival, or not at all.
    store::Transaction t(conn);
    if (t.error()) {
        drop_temp();
        return failed(t.error(), target);
    }
    if (const Error ue = conn.update_fields(numpic, {{store::col_dbpic, QVariant()},
                                                    {store::col_picfile, name},
                                                    {store::col_inoutpic, QVariant()}})) {
        drop_temp();
        return failed(ue, target);
    }
    if (replace) {
        if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
            const int err = errno;
            drop_temp();
            return failed(files::file_error(target, err), target);
        }
    } else if (const Error me = files::move_no_replace(temp, target)) {
        drop_temp();
        return failed(me, target);
    }
    if (const Error ce = t.commit()) {
        // The record still holds the picture; the file must not claim otherwise.
        ::unlink(QFile::encodeName(target).constData());
        return failed(ce, target);
    }
    return result(TransferStatus::Exported, {}, target);
}

TransferResult import_picture(store::Connection& conn, qint64 numpic, const TransferRow& row, const QString& db_folder)
{
    if (import_type_refused(row.picfile))
        return result(TransferStatus::Refused, QString::fromLatin1(k_import_type_refused));
    if (row.picfile.contains(u'/') || row.picfile.contains(QChar(0)))
        return result(TransferStatus::Refused, unusable_name(row.picfile));
    const QString path = join_path(db_folder, row.picfile);
    // Hidden files count as missing, as the folder lists leave them out.
    if (!plain_file_name(row.picfile) || !QFileInfo(path).isFile())
        return result(TransferStatus::FileMissing, {}, path);

    const picture::Picture decoded = picture::load_picture(picture::PictureSource::file(path));
    if (!decoded.ok())
        return result(TransferStatus::Refused,
                      QStringLiteral("Cannot import %1: %2").arg(row.picfile, picture::status_text(decoded.status)),
                      path);
    if (const Error e = conn.write_picture_bytes(numpic, path))
        return failed(e, path);
    return result(TransferStatus::Imported, {}, path);
}

} // namespace

qint64 export_chunk_size(qint64 size)
{
    return size > 10000 ? 20000 : 10000;
}

QString export_file_name(const QString& picfile)
{
    const qsizetype dot = picfile.lastIndexOf(u'.');
    return (dot < 0 ? picfile : picfile.left(dot)) + QStringLiteral(".bmp");
}

bool import_type_refused(const QString& picfile)
{
    return files::is_blob_refused(picfile);
}

bool plain_file_name(const QString& name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(QChar(0));
}

TransferResult transfer_picture(store::Connection& conn, const TransferRow& row, const QString& db_folder,
                                const ConfirmReplace& confirm_replace)
{
    if (conn.read_only())
        return result(TransferStatus::Refused, QStringLiteral("The database is Read-Only."));
    qint64 numpic = 0;
    if (std::optional<TransferResult> refused = check_row(conn, row, numpic))
        return *refused;
    if (row.state == QLatin1String("IN"))
        return export_picture(conn, numpic, row, db_folder, confirm_replace);
    return import_picture(conn, numpic, row, db_folder);
}

} // namespace mosswick::search
