#pragma once

#include "store_fixture.h"

#include "platform/store/sqlite.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace storetest {

// Writes a catalogue straight through the engine: key (empty: plain), the
// pragmas that pick the file's format, then the SQL. This is how files of
// other tools and of earlier builds look.
inline QString raw_catalogue(const QString& path, const QByteArray& key, const QStringList& format_pragmas,
                             const QStringList& sql)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    if (!key.isEmpty())
        sqlite3_key(db, key.constData(), int(key.size()));
    for (const QString& s : format_pragmas + sql)
        EXPECT_EQ(sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << s.toStdString() << ": " << sqlite3_errmsg(db);
    sqlite3_close(db);
    return path;
}

// Our full table with two rows, as create_statements writes it.
inline QStringList full_catalogue_sql()
{
    QStringList sql;
    for (const QString& s : create_statements(Schema::Full))
        sql << s;
    sql << "INSERT INTO demopicture (picfile, numpage, numpic) VALUES ('a.jpg', 1, 1), ('b.jpg', 1, 2)";
    return sql;
}

// The settings earlier builds wrote encrypted catalogues with.
inline QStringList legacy_pragmas()
{
    return {"PRAGMA cipher_compatibility = 3", "PRAGMA cipher_page_size = 4096"};
}

// The fixed key of "encrypt" without a password, as earlier builds stored it.
inline QByteArray legacy_internal_key()
{
    return "x'6D6F73737769636B2D736372616D626C652D6B65792D76312D2D2D2D2D2D2D2D'";
}

// Runs a shell (sqlite3, sqlcipher) on a file with a script.
inline bool run_shell(const QString& shell, const QString& path, const QString& script)
{
    QProcess p;
    p.start(shell, {path});
    if (!p.waitForStarted(5000))
        return false;
    p.write(script.toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(30000))
        return false;
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace storetest
