#include "loader/row_writer.h"

#include "core/file_ops.h"
#include "core/name_rules.h"

#include <QFileInfo>

namespace mosswick::loader {

using store::Error;

InsideCheck check_inside(const QString& path, const QString& name)
{
    InsideCheck check;
    if (files::is_blob_refused(name)) {
        check.verdict = InsideVerdict::TypeRefused;
        return check;
    }
    if (files::is_link_or_special(path)) {
        check.verdict = InsideVerdict::NotPlainFile;
        return check;
    }
    const picture::PictureInfo info = picture::measure_picture(picture::PictureSource::file(path));
    if (!info.ok() || info.size.isEmpty()) {
        check.verdict = InsideVerdict::Unusable;
        check.status = info.ok() ? picture::PictureStatus::Undecodable : info.status;
        return check;
    }
    // The content decides, not the name: a png named .jpg is still a png.
    switch (info.format) {
    case picture::PictureFormat::Bmp:
    case picture::PictureFormat::Gif:
    case picture::PictureFormat::Jpeg:
        break;
    default:
        check.verdict = InsideVerdict::TypeRefused;
        return check;
    }
    check.bytes = QFileInfo(path).size();
    return check;
}

QString inside_refusal_message(const InsideCheck& check)
{
    switch (check.verdict) {
    case InsideVerdict::Ok:
        return {};
    case InsideVerdict::TypeRefused:
        return files::blob_refused_message();
    case InsideVerdict::NotPlainFile:
        return QStringLiteral("Cannot load the picture within the database: the file is a link or not a plain file.");
    case InsideVerdict::Unusable:
        break;
    }
    if (check.status == picture::PictureStatus::NotFound)
        return picture::status_text(check.status);
    return QStringLiteral("Cannot load the picture within the database: ") + picture::status_text(check.status);
}

RowWriter::RowWriter(store::Connection& conn) : m_conn(conn), m_columns(conn.column_count())
{
    m_find = conn.prepare(QStringLiteral("SELECT 1 FROM demopicture WHERE picfile = ?1 LIMIT 1"));
    // The narrower tables of older files and the light edition lack the later columns.
    QString sql;
    if (m_columns >= 7)
        sql = QStringLiteral("INSERT INTO demopicture (movfile, picfile, note, numpage, numpic, reference, addnote) "
                             "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    else
        sql = QStringLiteral("INSERT INTO demopicture (movfile, picfile, note, numpage, numpic) VALUES (?1, ?2, ?3, ?4, ?5)");
    m_insert = conn.prepare(sql);
    if (!m_find.valid())
        m_error = m_find.error();
    else if (!m_insert.valid())
        m_error = m_insert.error();
}

bool RowWriter::is_catalogued(const QString& picfile, Error& error)
{
    error = m_error;
    if (error)
        return false;
    m_find.bind_all({picfile});
    const bool found = m_find.step();
    error = m_find.error();
    m_find.reset();
    return found;
}

Error RowWriter::add(const NewPicture& row)
{
    if (m_error)
        return m_error;
    for (const auto& [column, value] : {std::pair<int, QVariant>{store::col_movfile, row.movfile},
                                        {store::col_picfile, QVariant(row.picfile)},
                                        {store::col_reference, row.reference}}) {
        if (column < m_columns)
            if (Error e = m_conn.check_value(column, value))
                return e;
    }
    const bool inside = !row.inside_path.isEmpty();
    // A row with its picture bytes is written as one unit: a failed copy
    // leaves no row behind.
    std::optional<store::Transaction> unit;
    if (inside) {
        unit.emplace(m_conn);
        if (unit->error())
            return unit->error();
    }
    if (m_columns >= 7)
        m_insert.bind_all({row.movfile, row.picfile, row.note, row.numpage, row.numpic, row.reference, row.addnote});
    else
        m_insert.bind_all({row.movfile, row.picfile, row.note, row.numpage, row.numpic});
    if (Error e = m_insert.run())
        return e;
    if (inside) {
        if (Error e = m_conn.write_picture_bytes(row.numpic, row.inside_path))
            return e;
        return unit->commit();
    }
    return {};
}

} // namespace mosswick::loader
