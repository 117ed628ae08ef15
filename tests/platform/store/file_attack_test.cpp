#include "old_files.h"
#include "support/watched_file.h"

#include "platform/store/safe_files.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace storetest;
using testsupport::TempDir;
using testsupport::WatchedFile;

namespace {

QString wal_catalogue(const TempDir& dir, const QString& name)
{
    return raw_catalogue(dir.file(name), {}, {"PRAGMA page_size = 4096", "PRAGMA journal_mode = WAL"},
                         full_catalogue_sql());
}

bool make_fifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

} // namespace

TEST(FileAttacks, LinksAtEverySideFileNameRefuseTheCatalogueAndTouchNothing)
{
    for (const bool wal : {false, true}) {
        for (const char* suffix : {"-journal", "-wal", "-shm"}) {
            for (const bool dangling : {false, true}) {
                const std::string what = std::string(suffix) + (wal ? " wal" : " rollback") + (dangling ? " dangling" : " live");
                TempDir dir;
                const QString cat = wal ? wal_catalogue(dir, "cat.mdb") : new_catalogue(dir, 2, Schema::Full, {}, "cat.mdb");
                const WatchedFile catalogue = WatchedFile::as_it_is(cat);
                const QString target = dangling ? dir.file("elsewhere/created.txt") : dir.write("bashrc", "keep me\n");
                if (dangling)
                    QDir(dir.path()).mkdir("elsewhere");
                const QString side = cat + QLatin1String(suffix);
                ASSERT_TRUE(QFile::link(target, side)) << what;

                Error e;
                EXPECT_FALSE(Connection::open(cat, {}, e)) << what;
                EXPECT_TRUE(e.text.contains(side)) << what << ": " << e.text.toStdString();
                EXPECT_TRUE(e.text.contains("link")) << what;
                catalogue.expect_untouched();
                if (dangling)
                    EXPECT_FALSE(QFileInfo::exists(target)) << what;
                else
                    WatchedFile::as_it_is(target).expect_untouched();
                EXPECT_TRUE(QFileInfo(side).isSymLink()) << what;
            }
        }
    }
}

TEST(FileAttacks, ALinkAppearingAfterTheOpenIsNeverWrittenThrough)
{
    TempDir dir;
    const QString cat = new_catalogue(dir, 2, Schema::Full, {}, "cat.mdb");
    const QString target = dir.write("bashrc", "keep me\n");
    const WatchedFile witness = WatchedFile::as_it_is(target);
    const QString dangling = dir.file("created-by-journal");
    for (const QString& to : {target, dangling}) {
        auto c = open_ok(cat);
        ASSERT_TRUE(c);
        ASSERT_TRUE(QFile::link(to, cat + "-journal"));
        // The engine's own open refuses the link: the write fails instead.
        EXPECT_FALSE(c->add_row(make_row(3, "c.jpg")).ok());
        c.reset();
        QFile::remove(cat + "-journal");
        witness.expect_untouched();
        EXPECT_FALSE(QFileInfo::exists(dangling));
    }
    auto c = open_ok(cat);
    ASSERT_TRUE(c);
    Error e;
    EXPECT_EQ(c->record_count(e), 2);
}

TEST(FileAttacks, HardLinksAsSideFilesAreRefusedBeforeTheEngineReadsOrWritesThem)
{
    const auto hard_link = [](const QString& target, const QString& name) {
        return ::link(QFile::encodeName(target).constData(), QFile::encodeName(name).constData()) == 0;
    };
    for (const bool wal : {false, true}) {
        for (const bool read_only : {false, true}) {
            for (const char* suffix : {"-journal", "-wal", "-shm"}) {
                const std::string what = std::string(suffix) + (wal ? " wal" : " rollback") + (read_only ? " read-only" : "");
                TempDir dir;
                const QString cat = wal ? wal_catalogue(dir, "cat.mdb") : new_catalogue(dir, 2, Schema::Full, {}, "cat.mdb");
                ::chmod(QFile::encodeName(cat).constData(), read_only ? 0444 : 0644);
                const WatchedFile catalogue = WatchedFile::as_it_is(cat);
                const WatchedFile target(dir.file("bashrc"), "keep me\n");
                const QString side = cat + QLatin1String(suffix);
                ASSERT_TRUE(hard_link(target.path(), side)) << what;
                Error e;
                EXPECT_FALSE(Connection::open(cat, {}, e)) << what;
                EXPECT_TRUE(e.text.contains(side + " beside it is a hard link")) << what << ": " << e.text.toStdString();

                // Should the link appear after that look, the engine's own open
                // refuses it: a WAL catalogue's first read fails, as does a
                // write that needs a journal.
                if (wal ? std::strcmp(suffix, "-journal") != 0 : !read_only && std::strcmp(suffix, "-journal") == 0) {
                    sqlite3* db = nullptr;
                    install_safe_files();
                    sqlite3_open_v2(QFile::encodeName(cat).constData(), &db,
                                    read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, nullptr);
                    const char* sql = wal ? "SELECT count(*) FROM demopicture" : "INSERT INTO demopicture (numpic) VALUES (9)";
                    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_CANTOPEN) << what;
                    sqlite3_close(db);
                }
                catalogue.expect_untouched();
                target.expect_untouched();
                // Without the link the catalogue opens as it is, WAL mode and all.
                ASSERT_EQ(::unlink(QFile::encodeName(side).constData()), 0);
                auto c = open_ok(cat);
                ASSERT_TRUE(c);
                EXPECT_EQ(c->add_row(make_row(3, "c.jpg")).ok(), !read_only) << what;
            }
        }
    }

    // A link made while the catalogue is open: no write and no second
    // connection goes through it, and no catalogue is made beside one.
    TempDir dir;
    const QString cat = new_catalogue(dir, 2, Schema::Full, {}, "cat.mdb");
    const WatchedFile target(dir.file("bashrc"), "keep me\n");
    auto c = open_ok(cat);
    ASSERT_TRUE(c);
    ASSERT_TRUE(hard_link(target.path(), cat + "-journal"));
    EXPECT_FALSE(c->add_row(make_row(3, "c.jpg")).ok());
    Error e;
    EXPECT_FALSE(Connection::open(cat, {}, e));
    EXPECT_TRUE(e.text.contains(cat + "-journal")) << e.text.toStdString();
    c.reset();
    ASSERT_TRUE(hard_link(target.path(), dir.file("new.mdb-wal")));
    EXPECT_TRUE(Connection::create(dir.file("new.mdb"), Schema::Light, {}).text.contains("new.mdb-wal beside it is a hard link"));

    // A leftover of the compaction's copy is removed (the name only), a
    // linked side name of it refused.
    const QString temp = dir.file("NewCmpctDB.mdb");
    ::unlink(QFile::encodeName(cat + "-journal").constData());
    ASSERT_TRUE(hard_link(target.path(), temp) && hard_link(target.path(), temp + "-journal"));
    EXPECT_TRUE(Connection::compact(cat, {}, {"pw", false}, temp).ok());
    ASSERT_TRUE(hard_link(target.path(), temp + "-shm"));
    EXPECT_TRUE(Connection::compact(cat, "pw", {}, temp).text.contains(temp + "-shm beside it is a hard link"));
    target.expect_untouched();

    // The catalogue itself may have a second name: the user's own, and the file is the same.
    ASSERT_TRUE(hard_link(cat, dir.file("also.mdb")));
    c = open_ok(dir.file("also.mdb"), "pw");
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->add_row(make_row(3, "c.jpg")).ok());
    c.reset();
    c = open_ok(cat, "pw");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->record_count(e), 3);
}

TEST(FileAttacks, FifosFoldersAndDevicesAreRefusedWithoutBlocking)
{
    TempDir dir;
    const QString fifo = dir.file("cat.mdb");
    ASSERT_TRUE(make_fifo(fifo));
    EXPECT_EQ(probe_file(fifo), FileProbe::NotRegular);
    Error e;
    EXPECT_FALSE(Connection::open(fifo, {}, e));
    EXPECT_EQ(e.kind, ErrorKind::NotCatalogue);
    EXPECT_TRUE(e.text.contains("not a regular file")) << e.text.toStdString();
    EXPECT_FALSE(Connection::open(fifo, "pw", e));

    QDir(dir.path()).mkdir("folder.mdb");
    EXPECT_FALSE(Connection::open(dir.file("folder.mdb"), {}, e));
    EXPECT_TRUE(e.text.contains("folder")) << e.text.toStdString();

    EXPECT_FALSE(Connection::open("/dev/null", {}, e));
    EXPECT_EQ(e.kind, ErrorKind::NotCatalogue);

    // A link to a FIFO is no better.
    ASSERT_TRUE(QFile::link(fifo, dir.file("link.mdb")));
    EXPECT_FALSE(Connection::open(dir.file("link.mdb"), {}, e));
    EXPECT_TRUE(e.text.contains("not a regular file"));

    // A FIFO as a side file.
    const QString cat = new_catalogue(dir, 1, Schema::Full, {}, "real.mdb");
    const WatchedFile witness = WatchedFile::as_it_is(cat);
    for (const char* suffix : {"-journal", "-wal"}) {
        ASSERT_TRUE(make_fifo(cat + suffix));
        EXPECT_FALSE(Connection::open(cat, {}, e));
        EXPECT_TRUE(e.text.contains(cat + suffix)) << e.text.toStdString();
        ::unlink(QFile::encodeName(cat + suffix).constData());
    }
    witness.expect_untouched();
}

TEST(FileAttacks, ACraftedSchemaRowIsRefusedWithoutACrash)
{
    TempDir dir;
    for (const QString& row : {QStringLiteral("CREATE TABLE y AS SELECT 1"), QStringLiteral("CREATE TABLE y(x) AS SELECT 1"),
                               QStringLiteral("CREATE VIEW y AS SELECT * FROM y")}) {
        const QString cat = new_catalogue(dir, 2, Schema::Full, {}, QStringLiteral("crafted%1.mdb").arg(row.size()));
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(cat).constData(), &db), SQLITE_OK);
        sqlite3_exec(db, "PRAGMA writable_schema = ON", nullptr, nullptr, nullptr);
        Statement st(db, "INSERT INTO sqlite_master VALUES ('table', 'y', 'y', 0, ?1)");
        st.bind(1, row);
        EXPECT_TRUE(st.run().ok()) << sqlite3_errmsg(db);
        st = Statement();
        sqlite3_close(db);

        const WatchedFile witness = WatchedFile::as_it_is(cat);
        Error e;
        EXPECT_FALSE(Connection::open(cat, {}, e)) << row.toStdString();
        EXPECT_TRUE(e.kind == ErrorKind::Corrupt || e.kind == ErrorKind::UnsafeSchema) << e.text.toStdString();
        EXPECT_TRUE(e.text.contains(cat)) << e.text.toStdString();
        witness.expect_untouched();
    }
}

TEST(FileAttacks, EveryConnectionHasTheEngineDefencesOn)
{
    TempDir dir;
    const QString cat = new_catalogue(dir, 1, Schema::Full, {"pw", false});
    auto c = open_ok(cat, "pw");
    ASSERT_TRUE(c);
    Error e;
    // A second connection, as the check behind the page opens one.
    auto second = Connection::open(cat, "pw", e);
    ASSERT_TRUE(second);
    for (Connection* conn : {c.get(), second.get()}) {
        EXPECT_EQ(conn->scalar("PRAGMA cell_size_check", {}, e).toInt(), 1);
        EXPECT_EQ(conn->scalar("PRAGMA mmap_size", {}, e).toInt(), 0);
        EXPECT_EQ(conn->scalar("PRAGMA trusted_schema", {}, e).toInt(), 0);
        int on = -1;
        sqlite3_db_config(conn->handle(), SQLITE_DBCONFIG_DEFENSIVE, -1, &on);
        EXPECT_EQ(on, 1);
    }
    // The schema cannot be rewritten through the connection.
    // Refused or ignored, either will do: the write below is what must fail.
    (void)c->exec("PRAGMA writable_schema = ON");
    EXPECT_FALSE(c->exec("UPDATE sqlite_master SET sql = 'CREATE TABLE y AS SELECT 1' WHERE name = 'idxPicfile'").ok());
    c.reset();
    second.reset();
    EXPECT_TRUE(open_ok(cat, "pw"));
}

TEST(FileAttacks, TheCompactionsTemporaryNameIsNeverFollowed)
{
    TempDir dir;
    const QString cat = new_catalogue(dir, 2, Schema::Full, {}, "cat.mdb");
    const QString temp = dir.file("NewCmpctDB.mdb");

    // A dangling link: removed, and nothing is created where it points.
    const QString nowhere = dir.file("created-by-compaction.mdb");
    ASSERT_TRUE(QFile::link(nowhere, temp));
    EXPECT_TRUE(Connection::compact(cat, "", {"pw", false}, temp).ok());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_FALSE(QFileInfo(temp).isSymLink());
    EXPECT_TRUE(open_ok(cat, "pw"));

    // A live link: removed itself; its target stays as it was.
    const WatchedFile target(dir.file("precious.txt"), "keep me");
    ASSERT_TRUE(QFile::link(target.path(), temp));
    ASSERT_TRUE(QFile::link(target.path(), temp + "-journal"));
    EXPECT_TRUE(Connection::compact(cat, "pw", {"", false}, temp).ok());
    target.expect_untouched();
    EXPECT_TRUE(open_ok(cat));

    // Anything else there is named and left alone; the catalogue is untouched.
    ASSERT_TRUE(make_fifo(temp));
    const WatchedFile catalogue = WatchedFile::as_it_is(cat);
    const Error e = Connection::compact(cat, "", {"pw", false}, temp);
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(e.text.contains(temp)) << e.text.toStdString();
    EXPECT_TRUE(e.text.contains("FIFO")) << e.text.toStdString();
    catalogue.expect_untouched();
}

TEST(FileAttacks, ACatalogueIsNeverCreatedBesideALinkedSideFile)
{
    TempDir dir;
    const WatchedFile target(dir.file("bashrc"), "keep me\n");
    ASSERT_TRUE(QFile::link(target.path(), dir.file("new.mdb-journal")));
    const Error e = Connection::create(dir.file("new.mdb"), Schema::Full, {});
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(e.text.contains("new.mdb-journal")) << e.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file("new.mdb")));
    target.expect_untouched();

    // A dangling link as the catalogue's own name is an existing name.
    ASSERT_TRUE(QFile::link(dir.file("nowhere.mdb"), dir.file("other.mdb")));
    EXPECT_EQ(Connection::create(dir.file("other.mdb"), Schema::Full, {}).kind, ErrorKind::FileExists);
    EXPECT_FALSE(QFileInfo::exists(dir.file("nowhere.mdb")));
    Error oe;
    EXPECT_FALSE(Connection::open(dir.file("other.mdb"), {}, oe));
    EXPECT_EQ(oe.kind, ErrorKind::FileNotFound);
}
