#pragma once

#include "platform/store/connection.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace storetest {

using namespace mosswick::store;

inline std::unique_ptr<Connection> open_ok(const QString& path, const QString& password = {})
{
    Error e;
    auto c = Connection::open(path, password, e);
    EXPECT_TRUE(c) << e.text.toStdString();
    return c;
}

// Neither no password nor a wrong one opens the file, and the refusal says why.
inline void expect_refused_without_right_password(const QString& path)
{
    Error e;
    for (const QString& password : {QString(), QStringLiteral("wrong")}) {
        EXPECT_FALSE(Connection::open(path, password, e)) << password.toStdString();
        EXPECT_EQ(e.kind, ErrorKind::WrongPassword);
        EXPECT_TRUE(e.text.toLower().contains("password")) << e.text.toStdString();
    }
}

inline Row make_row(int numpic, const QVariant& picfile, const QVariant& note = QVariant())
{
    Row r;
    r.set(col_movfile, QVariant());
    r.set(col_picfile, picfile);
    r.set(col_note, note);
    r.set(col_numpage, (numpic + 5) / 6);
    r.set(col_numpic, numpic);
    return r;
}

// A new full catalogue with n rows named p1.jpg ... pn.jpg.
inline QString new_catalogue(const testsupport::TempDir& dir, int rows = 0, Schema schema = Schema::Full,
                             const Protection& protection = {}, const QString& name = QStringLiteral("new.mdb"))
{
    const QString path = dir.file(name);
    const Error e = Connection::create(path, schema, protection);
    EXPECT_TRUE(e.ok()) << e.text.toStdString();
    if (rows > 0) {
        auto c = open_ok(path, protection.password);
        Transaction t(*c);
        for (int i = 1; i <= rows; ++i)
            EXPECT_TRUE(c->add_row(make_row(i, QStringLiteral("p%1.jpg").arg(i))).ok());
        EXPECT_TRUE(t.commit().ok());
    }
    return path;
}

} // namespace storetest
