#pragma once

#include "core/listing.h"
#include "loader/batch_load.h"
#include "platform/store/connection.h"
#include "support/catalogue_builder.h"
#include "support/test_support.h"
#include "support/catalogue_rows.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace loadertest {

// A catalogue in a temporary folder, with its data folder, opened.
struct Catalogue {
    explicit Catalogue(int pictures = 0, mosswick::store::Schema schema = mosswick::store::Schema::Full)
    {
        testsupport::CatalogueSpec spec;
        spec.pictures = pictures;
        spec.schema = schema;
        path = testsupport::make_catalogue(dir.path(), spec);
        QDir().mkpath(data_folder());
        mosswick::store::Error e;
        conn = mosswick::store::Connection::open(path, {}, e);
        EXPECT_TRUE(conn) << e.text.toStdString();
    }
    QString db_folder() const { return dir.path() + "/"; }
    QString data_folder() const { return dir.path() + "/data/"; }

    struct Stored {
        qint64 numpic;
        qint64 numpage;
        QVariant picfile, movfile, note, reference, addnote, inoutpic;
        qint64 dbpic_bytes;
    };
    // Every row by picture number.
    std::vector<Stored> rows() const
    {
        std::vector<Stored> out;
        auto st = conn->prepare(
            "SELECT numpic, numpage, picfile, movfile, note, reference, addnote, inoutpic, length(dbpic) FROM demopicture "
            "ORDER BY numpic");
        while (st.step())
            out.push_back({st.integer(0), st.integer(1), st.value(2), st.value(3), st.value(4), st.value(5), st.value(6),
                           st.value(7), st.integer(8)});
        EXPECT_TRUE(st.error().ok()) << st.error().text.toStdString();
        return out;
    }
    // The row whose picfile is name; fails the test when there is not exactly one.
    Stored row(const QString& name) const
    {
        std::vector<Stored> found;
        for (const Stored& r : rows())
            if (r.picfile.toString() == name)
                found.push_back(r);
        EXPECT_EQ(found.size(), 1u) << name.toStdString();
        return found.empty() ? Stored{} : found.front();
    }

    testsupport::TempDir dir;
    QString path;
    std::unique_ptr<mosswick::store::Connection> conn;
};

// A 1 x 1 gif: Qt writes no gif of its own.
inline QByteArray tiny_gif()
{
    static const unsigned char bytes[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,
                                          0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00,
                                          0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02,
                                          0x44, 0x01, 0x00, 0x3B};
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Writes a text file; returns its path.
inline QString text_file(const QString& folder, const QString& name, const QByteArray& bytes)
{
    return testsupport::write_file(folder + "/" + name, bytes);
}

// Writes a small real picture; returns its path.
inline QString picture(const QString& folder, const QString& name, const char* format = "jpg")
{
    if (qstrcmp(format, "gif") == 0)
        return text_file(folder, name, tiny_gif());
    const QString path = folder + "/" + name;
    EXPECT_TRUE(testsupport::write_picture(path, 24, 16, format)) << path.toStdString();
    return path;
}

// A batch load of a folder's pictures as the loader lists them, into a catalogue.
inline mosswick::loader::BatchRequest batch_request(const QString& folder, const Catalogue& cat, const QString& log_path)
{
    static const QStringList k_pictures = {"bmp", "gif", "jpg", "png", "tif", "emf", "wmf", "rle", "ico"};
    const mosswick::Listing l = mosswick::list_folder(folder);
    EXPECT_TRUE(l.ok);
    mosswick::loader::BatchRequest r;
    r.list_folder = folder;
    for (const QString& n : l.files)
        if (n.contains(u'.') && k_pictures.contains(n.section(u'.', -1).toLower()))
            r.pictures << n;
    r.all_files = l.files;
    r.db_folder = cat.db_folder();
    r.data_folder = cat.data_folder();
    r.log_path = log_path;
    return r;
}

} // namespace loadertest
