#include "support/catalogue_builder.h"

#include "support/test_support.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace testsupport {

using namespace mosswick::store;

QString picture_name(int n)
{
    return QStringLiteral("pic%1.jpg").arg(n, 3, 10, QLatin1Char('0'));
}

QString make_catalogue(const QString& folder, const CatalogueSpec& spec)
{
    const QString path = folder + QStringLiteral("/") + spec.name;
    const Error e = Connection::create(path, spec.schema, spec.protection);
    if (e) {
        ADD_FAILURE() << e.text.toStdString();
        return {};
    }
    if (spec.write_files)
        QDir().mkpath(folder + QStringLiteral("/data"));
    if (spec.pictures == 0)
        return path;
    Error oe;
    auto c = Connection::open(path, spec.protection.password, oe);
    if (!c) {
        ADD_FAILURE() << oe.text.toStdString();
        return {};
    }
    Transaction t(*c);
    for (int i = 1; i <= spec.pictures; ++i) {
        Row r;
        r.set(col_movfile, QVariant());
        r.set(col_picfile, picture_name(i));
        r.set(col_note, QStringLiteral("note %1").arg(i));
        r.set(col_numpage, (i + 5) / 6);
        r.set(col_numpic, i);
        if (const Error ae = c->add_row(r)) {
            ADD_FAILURE() << ae.text.toStdString();
            return {};
        }
        if (spec.write_files)
            write_picture(folder + QStringLiteral("/data/") + picture_name(i), spec.width, spec.height, "jpg",
                          QColor::fromHsv((i * 40) % 360, 200, 200));
    }
    if (const Error ce = t.commit())
        ADD_FAILURE() << ce.text.toStdString();
    return path;
}

bool damage_table_page_holding(const QString& path, const QString& marker)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = f.readAll();
    if (bytes.size() < 100)
        return false;
    const int page_size = (quint8(bytes[16]) << 8) | quint8(bytes[17]);
    const QByteArray needle = marker.toUtf8();
    // Page 1 carries the file header; table leaves are type 13.
    for (qsizetype at = page_size; at + page_size <= bytes.size(); at += page_size) {
        if (bytes[at] != char(13) || bytes.mid(at, page_size).indexOf(needle) < 0)
            continue;
        bytes[at + 3] = char(0xFF);
        bytes[at + 4] = char(0xFF);
        f.seek(0);
        return f.write(bytes) == bytes.size();
    }
    return false;
}

} // namespace testsupport
