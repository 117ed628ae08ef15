#pragma once

#include "platform/store/connection.h"
#include "search/grid_model.h"
#include "support/catalogue_builder.h"
#include "support/test_support.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace searchtest {

using namespace mosswick;

// Fields of a row a test sets beyond its number and file name; invalid
// variants are Null.
struct Fields {
    QVariant movfile;
    QVariant note;
    QVariant reference;
    QVariant addnote;
};

// Adds picture n on page (n + 5) / 6.
inline void add_picture(store::Connection& c, int n, const QVariant& picfile, const Fields& f = {})
{
    store::Row r;
    r.set(store::col_movfile, f.movfile);
    r.set(store::col_picfile, picfile);
    r.set(store::col_note, f.note);
    r.set(store::col_numpage, (n + 5) / 6);
    r.set(store::col_numpic, n);
    r.set(store::col_reference, f.reference);
    r.set(store::col_addnote, f.addnote);
    const store::Error e = c.add_row(r);
    ASSERT_FALSE(e) << e.text.toStdString();
}

// An empty full catalogue in a temporary folder, open on `conn`.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = testsupport::make_catalogue(dir.path(), {});
        store::Error e;
        conn = store::Connection::open(path, {}, e);
        ASSERT_TRUE(conn) << e.text.toStdString();
        db_folder = dir.path() + QStringLiteral("/");
    }

    // Adds picture n on page (n + 5) / 6.
    void add(int n, const QVariant& picfile, const Fields& f = {}) { add_picture(*conn, n, picfile, f); }

    testsupport::TempDir dir;
    QString path;
    QString db_folder;
    std::unique_ptr<store::Connection> conn;
};

// One column of a table of grid rows.
inline QStringList column(const search::GridRows& rows, int c)
{
    QStringList out;
    for (int r = 0; r < rows.count(); ++r)
        out << rows.cell(r, c);
    return out;
}

// A small RTF note as a rich-text box writes one.
inline QString rtf(const QString& body)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Comic Sans MS;}}"
                          "\\viewkind4\\uc1\\pard\\f0\\fs16 %1\\par\r\n}")
        .arg(body);
}

} // namespace searchtest
