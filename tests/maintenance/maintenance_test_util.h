#pragma once

#include "platform/store/connection.h"
#include "support/catalogue_builder.h"
#include "support/test_support.h"
#include "support/catalogue_rows.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A catalogue of n rows (pic001.jpg ... numbered 1..n, six to a page) in a
// temporary folder with an empty data folder, open on one connection.
class CatalogueTest : public ::testing::Test {
protected:
    void make(int pictures)
    {
        testsupport::CatalogueSpec spec;
        spec.pictures = pictures;
        path = testsupport::make_catalogue(dir.path(), spec);
        QDir().mkpath(data_folder());
        mosswick::store::Error e;
        conn = mosswick::store::Connection::open(path, {}, e);
        ASSERT_TRUE(conn) << e.text.toStdString();
    }

    QString db_folder() const { return dir.path() + "/"; }
    QString data_folder() const { return dir.path() + "/data/"; }

    // Writes a file (empty unless bytes are given) and returns its path.
    QString touch(const QString& path, const QByteArray& bytes = {}) const { return testsupport::write_file(path, bytes); }

    void exec(const QString& sql, const QVariantList& params = {})
    {
        const mosswick::store::Error e = conn->exec(sql, params);
        ASSERT_TRUE(e.ok()) << e.text.toStdString();
    }

    QStringList rows() const { return testsupport::row_texts(*conn); }

    // Every row is numbered 1..N in order, six to a page.
    void expect_numbered_in_pages() const
    {
        const QStringList all = rows();
        for (int i = 0; i < all.size(); ++i)
            EXPECT_TRUE(all[i].startsWith(QStringLiteral("%1/%2/").arg(i + 1).arg(i / 6 + 1))) << all[i].toStdString();
    }

    // The picture files in number order.
    QStringList order() const
    {
        QStringList out;
        for (const QString& r : rows())
            out << r.section('/', 2, 2);
        return out;
    }

    QVariant field(const QString& column, qint64 numpic) const { return testsupport::field_of(*conn, column, numpic); }

    // pic001.jpg ... for the numbers given.
    static QStringList names(const std::vector<int>& numbers)
    {
        QStringList out;
        for (int n : numbers)
            out << testsupport::picture_name(n);
        return out;
    }

    testsupport::TempDir dir;
    QString path;
    std::unique_ptr<mosswick::store::Connection> conn;
};
