#include "old_files.h"

#include "platform/store/jet_convert.h"
#include "support/jet_fixtures.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <fcntl.h>
#include <future>

#include <sys/stat.h>
#include <unistd.h>

using namespace storetest;
using testsupport::TempDir;

namespace {

// Each column of the picture table as "name TYPE".
QStringList table_info(Connection& c)
{
    QStringList cols;
    Statement st = c.prepare(QStringLiteral("PRAGMA table_info(demopicture)"));
    while (st.step())
        cols << st.text(1) + u' ' + st.text(2);
    return cols;
}

QStringList index_names(Connection& c)
{
    QStringList names;
    Statement st = c.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' ORDER BY name"));
    while (st.step())
        names << st.text(0);
    return names;
}

bool is_unique_index(Connection& c, const QString& name)
{
    Statement st = c.prepare(QStringLiteral("PRAGMA index_list(demopicture)"));
    while (st.step())
        if (st.text(1) == name)
            return st.integer(2) == 1;
    return false;
}

// Makes a file of a given size with recognisable content.
QString make_file(const TempDir& dir, const QString& name, int size)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + i / 251) & 0xff);
    return dir.write(name, b);
}

} // namespace

TEST(CatalogueCreation, FullSchemaHasNineColumnsInOrderWithKeyAndIndexes)
{
    TempDir dir;
    const QString path = new_catalogue(dir);
    auto c = open_ok(path);
    ASSERT_TRUE(c);
    EXPECT_EQ(table_info(*c), (QStringList{"movfile VARCHAR(255)", "picfile VARCHAR(255)", "note TEXT", "numpage INTEGER",
                                           "numpic INTEGER", "reference VARCHAR(255)", "addnote TEXT", "dbpic BLOB",
                                           "inoutpic INTEGER"}));
    EXPECT_EQ(c->column_names(),
              (QStringList{"movfile", "picfile", "note", "numpage", "numpic", "reference", "addnote", "dbpic", "inoutpic"}));
    EXPECT_EQ(index_names(*c), (QStringList{"GenericKey1", "GenericKey3", "GenericKey4", "UniqueKey", "idxPicfile"}));
    EXPECT_TRUE(is_unique_index(*c, "UniqueKey"));
    EXPECT_FALSE(is_unique_index(*c, "idxPicfile"));
    Error e;
    EXPECT_EQ(c->record_count(e), 0);
    EXPECT_FALSE(c->max_numpic(e).isValid());
    EXPECT_FALSE(c->read_only());
}

TEST(CatalogueCreation, LightSchemaHasFiveColumnsAndGenericKey2)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 0, Schema::Light);
    auto c = open_ok(path);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->column_names(), (QStringList{"movfile", "picfile", "note", "numpage", "numpic"}));
    EXPECT_EQ(index_names(*c), (QStringList{"GenericKey1", "GenericKey2", "GenericKey3", "UniqueKey", "idxPicfile"}));
}

TEST(CatalogueCreation, NewFilesUse4096BytePages)
{
    TempDir dir;
    const QString plain = new_catalogue(dir, 0, Schema::Full, {}, "plain.mdb");
    const QByteArray h = testsupport::read_all(plain);
    ASSERT_GE(h.size(), 18);
    EXPECT_EQ((uchar(h[16]) << 8) | uchar(h[17]), 4096);
    const QString enc = new_catalogue(dir, 0, Schema::Full, {"pw", false}, "enc.mdb");
    EXPECT_EQ(QFileInfo(enc).size() % 4096, 0);
}

TEST(CatalogueCreation, ExistingFileIsRefusedAndLeftUntouched)
{
    TempDir dir;
    const QString path = dir.write("new.mdb", "precious bytes");
    const Error e = Connection::create(path, Schema::Full, {});
    EXPECT_EQ(e.kind, ErrorKind::FileExists);
    EXPECT_EQ(e.code, 58);
    EXPECT_EQ(testsupport::read_all(path), QByteArray("precious bytes"));
}

TEST(CatalogueCreation, MissingFolderIsPathNotFoundAndLeavesNothing)
{
    TempDir dir;
    const QString path = dir.file("nowhere/new.mdb");
    const Error e = Connection::create(path, Schema::Full, {});
    EXPECT_EQ(e.code, 76);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(Protection, PasswordEncryptAndPlainMatrix)
{
    TempDir dir;
    const QString plain = new_catalogue(dir, 1, Schema::Full, {}, "plain.mdb");
    const QString pw = new_catalogue(dir, 1, Schema::Full, {"secret", false}, "pw.mdb");
    const QString enc = new_catalogue(dir, 1, Schema::Full, {"", true}, "enc.mdb");
    const QString both = new_catalogue(dir, 1, Schema::Full, {"secret", true}, "both.mdb");

    EXPECT_TRUE(testsupport::is_plain_sqlite(plain));
    for (const QString& p : {pw, enc, both}) {
        EXPECT_FALSE(testsupport::is_plain_sqlite(p));
        EXPECT_FALSE(testsupport::read_all(p).contains("p1.jpg")) << "file is not scrambled";
    }
    EXPECT_EQ(probe_file(pw), FileProbe::MaybeEncrypted);

    // No password asked for the plain and the encrypt-only files.
    EXPECT_TRUE(open_ok(plain));
    EXPECT_TRUE(open_ok(enc));
    // A password the plain file does not need is ignored.
    EXPECT_TRUE(open_ok(plain, "whatever"));
    // A stale password does not hide the encrypt-only file.
    EXPECT_TRUE(open_ok(enc, "stale"));

    for (const QString& p : {pw, both}) {
        expect_refused_without_right_password(p);
        auto c = open_ok(p, "secret");
        ASSERT_TRUE(c);
        Error re;
        EXPECT_EQ(c->record_count(re), 1);
    }
}

TEST(OpenRefusals, APipeOrAFolderNamedLikeACatalogueIsRefusedWithoutWaiting)
{
    // Opening a pipe for reading waits for a writer: a folder someone sent
    // may hold one under a catalogue's name.
    TempDir dir;
    const QString fifo = dir.file("cat.mdb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QDir().mkpath(dir.file("folder.mdb"));
    for (const QString& path : {fifo, dir.file("folder.mdb")}) {
        SCOPED_TRACE(path.toStdString());
        struct Seen {
            bool opened = false;
            Error error;
            FileProbe probe = FileProbe::Plain;
            JetHeader::Kind jet = JetHeader::Kind::Jet4;
        };
        auto opened = std::async(std::launch::async, [path] {
            Seen seen;
            seen.opened = Connection::open(path, {}, seen.error) != nullptr;
            seen.probe = probe_file(path);
            seen.jet = read_jet_header(path).kind;
            return seen;
        });
        if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // Lets every waiting open go on, so that the test fails instead of hanging.
            ADD_FAILURE() << "the open waited on the pipe";
            do {
                const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            } while (opened.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
            continue;
        }
        const Seen seen = opened.get();
        const Error& e = seen.error;
        EXPECT_FALSE(seen.opened);
        EXPECT_EQ(seen.probe, FileProbe::NotRegular);
        EXPECT_EQ(seen.jet, JetHeader::Kind::Unreadable);
        EXPECT_EQ(e.kind, ErrorKind::NotCatalogue);
        EXPECT_TRUE(e.text.contains("not a regular file")) << e.text.toStdString();
        EXPECT_TRUE(e.text.contains(QDir::toNativeSeparators(path))) << e.text.toStdString();
    }
}

TEST(OpenRefusals, ForeignFilesAreNamedWithoutAPasswordPrompt)
{
    TempDir dir;
    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    const struct {
        const char* name;
        QByteArray bytes;
        ErrorKind kind;
        const char* says;
    } foreign[] = {
        {"notes.mdb", QByteArray("just some text, not a catalogue\n").repeated(200), ErrorKind::NotCatalogue, ""},
        {"old.mdb", jet, ErrorKind::JetFile, "Jet"},
        {"empty.mdb", {}, ErrorKind::NotCatalogue, ""},
        {"pic.mdb", testsupport::make_picture_bytes(64, 64, "png"), ErrorKind::NotCatalogue, ""},
    };
    Error e;
    for (const auto& f : foreign) {
        SCOPED_TRACE(f.name);
        EXPECT_FALSE(Connection::open(dir.write(f.name, f.bytes), {}, e));
        EXPECT_EQ(e.kind, f.kind);
        EXPECT_TRUE(e.text.contains(QLatin1String(f.says))) << e.text.toStdString();
        EXPECT_FALSE(e.text.toLower().contains("password"));
    }
    EXPECT_FALSE(Connection::open(dir.file("missing.mdb"), {}, e));
    EXPECT_EQ(e.code, 53);
}

TEST(OpenRefusals, SqliteFilesWithoutOurTableOrWithExtrasAreRefused)
{
    TempDir dir;
    auto raw = [&](const QString& name, const QStringList& sql) { return raw_catalogue(dir.file(name), {}, {}, sql); };
    const QString base = "CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255), note TEXT, numpage INTEGER, numpic INTEGER)";
    Error e;

    EXPECT_FALSE(Connection::open(raw("other.mdb", {"CREATE TABLE t(x)"}), {}, e));
    EXPECT_EQ(e.kind, ErrorKind::NotCatalogue);

    const std::vector<std::pair<QString, QStringList>> hostile{
        {"trigger.mdb", {base, "CREATE TRIGGER t AFTER INSERT ON demopicture BEGIN DELETE FROM demopicture; END"}},
        {"view.mdb", {base, "CREATE VIEW v AS SELECT * FROM demopicture"}},
        {"extra.mdb", {base, "CREATE TABLE other(x)"}},
        {"default.mdb", {"CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255) DEFAULT (randomblob(9)), note TEXT, numpage INTEGER, numpic INTEGER)"}},
        {"check.mdb", {"CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255), note TEXT CHECK (length(note) < 5), numpage INTEGER, numpic INTEGER)"}},
        {"exprindex.mdb", {base, "CREATE INDEX GenericKey1 ON demopicture (lower(picfile))"}},
        {"partial.mdb", {base, "CREATE INDEX GenericKey1 ON demopicture (numpage) WHERE numpage > 2"}},
        // Another tool's index may speed things up but never refuse rows.
        {"oddindex.mdb", {base, "CREATE UNIQUE INDEX sneaky ON demopicture (numpage)"}},
        {"wrongtype.mdb", {"CREATE TABLE demopicture (movfile BLOB, picfile VARCHAR(255), note TEXT, numpage INTEGER, numpic INTEGER)"}},
    };
    for (const auto& [name, sql] : hostile) {
        EXPECT_FALSE(Connection::open(raw(name, sql), {}, e)) << name.toStdString();
        EXPECT_EQ(e.kind, ErrorKind::UnsafeSchema) << name.toStdString();
    }

    // Our own definition, typed by hand with quotes and other spacing, is accepted.
    auto c = Connection::open(raw("ok.mdb", {"create table \"demopicture\" ( movfile varchar(255),picfile VARCHAR( 255 ), note TEXT, numpage INTEGER, numpic INTEGER )",
                                             "CREATE UNIQUE INDEX UniqueKey ON demopicture(numpic)"}),
                              {}, e);
    EXPECT_TRUE(c) << e.text.toStdString();
}

TEST(Upgrade, FiveColumnFileGainsFourColumnsAndGenericKey4)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 3, Schema::Light);
    auto c = open_ok(path);
    ASSERT_EQ(c->column_count(), 5);
    ASSERT_TRUE(c->upgrade_to_full().ok());
    EXPECT_EQ(c->column_count(), 9);
    EXPECT_TRUE(c->has_index("GenericKey4"));
    c.reset();
    c = open_ok(path);
    EXPECT_EQ(c->column_count(), 9);
    Error e;
    EXPECT_EQ(c->record_count(e), 3);
    auto row = c->find_row(2, e);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value("picfile").toString(), "p2.jpg");
    EXPECT_FALSE(row->value("reference").isValid());
}

TEST(Upgrade, SevenColumnFileGainsTwoColumnsAndNoIndex)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 2, Schema::Light);
    {
        auto c = open_ok(path);
        ASSERT_TRUE(c->exec("ALTER TABLE demopicture ADD COLUMN reference VARCHAR(255)").ok());
        ASSERT_TRUE(c->exec("ALTER TABLE demopicture ADD COLUMN addnote TEXT").ok());
    }
    auto c = open_ok(path);
    ASSERT_EQ(c->column_count(), 7);
    ASSERT_TRUE(c->upgrade_to_full().ok());
    EXPECT_EQ(c->column_count(), 9);
    EXPECT_FALSE(c->has_index("GenericKey4"));
}

TEST(Upgrade, FailureLeavesTheFileUnchanged)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 2, Schema::Light);
    const QByteArray before = testsupport::read_all(path);
    auto c = open_ok(path);
    // A column limit lets the first new columns in and refuses a later one.
    sqlite3_limit(c->handle(), SQLITE_LIMIT_COLUMN, 7);
    EXPECT_FALSE(c->upgrade_to_full().ok());
    EXPECT_EQ(c->column_count(), 5);
    c.reset();
    EXPECT_EQ(testsupport::read_all(path), before);
    EXPECT_EQ(open_ok(path)->column_count(), 5);
}

TEST(Upgrade, OnlyFiveAndSevenColumnsCanBeUpgraded)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir));
    EXPECT_FALSE(c->upgrade_to_full().ok());
    EXPECT_EQ(c->column_count(), 9);
}

TEST(Values, BoundValuesAreNeverReadAsSql)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir));
    Row r = make_row(1, QStringLiteral("note"), QStringLiteral("note"));
    r.set(col_reference, QStringLiteral("\"numpic\"' OR 1=1 --"));
    ASSERT_TRUE(c->add_row(r).ok());
    Error e;
    auto back = c->find_row(1, e);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->value(col_picfile).toString(), "note");
    EXPECT_EQ(back->value(col_note).toString(), "note");
    EXPECT_EQ(back->value("reference").toString(), "\"numpic\"' OR 1=1 --");
    ASSERT_TRUE(c->exec("UPDATE demopicture SET note = ?1 WHERE picfile = ?2", {QStringLiteral("picfile"), QStringLiteral("note")}).ok());
    EXPECT_EQ(c->find_row(1, e)->value(col_note).toString(), "picfile");
}

TEST(Values, NullAndEmptyTextStayDistinct)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir));
    Row r = make_row(1, QStringLiteral("a.jpg"), QString(""));
    ASSERT_TRUE(c->add_row(r).ok());
    Error e;
    auto back = c->find_row(1, e);
    EXPECT_TRUE(back->value(col_note).isValid());
    EXPECT_EQ(back->value(col_note).toString(), "");
    EXPECT_FALSE(back->value(col_movfile).isValid());
}

TEST(Values, TextLimitAndPicfileNullRule)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir));
    EXPECT_TRUE(c->add_row(make_row(1, QString(255, 'x'))).ok());
    Error e = c->add_row(make_row(2, QString(256, 'x')));
    EXPECT_EQ(e.kind, ErrorKind::Limit);
    EXPECT_TRUE(e.text.contains("256"));
    EXPECT_EQ(c->update_fields(1, {{col_reference, QString(256, 'r')}}).kind, ErrorKind::Limit);
    EXPECT_EQ(c->update_fields(1, {{col_movfile, QString(255, 'm')}}).kind, ErrorKind::None);

    // Null picture names are refused while idxPicfile exists ...
    EXPECT_EQ(c->add_row(make_row(3, QVariant())).kind, ErrorKind::Limit);
    // ... allowed without it, and then the index cannot be made.
    ASSERT_TRUE(c->exec("DROP INDEX idxPicfile").ok());
    EXPECT_TRUE(c->add_row(make_row(3, QVariant())).ok());
    EXPECT_EQ(c->ensure_picfile_index().kind, ErrorKind::Limit);
    ASSERT_TRUE(c->exec("DELETE FROM demopicture WHERE picfile IS NULL").ok());
    EXPECT_TRUE(c->ensure_picfile_index().ok());
    EXPECT_TRUE(c->has_index("idxPicfile"));
    // A second call changes nothing.
    EXPECT_TRUE(c->ensure_picfile_index().ok());
}

TEST(Rows, PagesSeekAndUpdates)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 13));
    Error e;
    EXPECT_EQ(c->record_count(e), 13);
    EXPECT_EQ(c->max_numpic(e).toLongLong(), 13);
    auto page = c->rows_on_page(3, e);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].value(col_numpic).toLongLong(), 13);
    page = c->rows_on_page(2, e);
    ASSERT_EQ(page.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(page[size_t(i)].value(col_numpic).toLongLong(), 7 + i);
    EXPECT_TRUE(c->update_fields(7, {{col_note, QStringLiteral("hello")}, {col_reference, QStringLiteral("ref")}}).ok());
    auto row = c->find_row(7, e);
    EXPECT_EQ(row->value("NOTE").toString(), "hello");
    EXPECT_EQ(row->value(col_reference).toString(), "ref");
    EXPECT_FALSE(c->find_row(99, e));
    EXPECT_TRUE(e.ok());
    EXPECT_FALSE(c->update_fields(99, {{col_note, QStringLiteral("x")}}).ok());
    // Unique picture numbers.
    EXPECT_FALSE(c->add_row(make_row(7, QStringLiteral("dup.jpg"))).ok());
}

TEST(PictureBytes, RoundTripsInPieces)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 1));
    for (int size : {1, 99999, 100000, 100001, 199999, 250000, 300000}) {
        const QString file = make_file(dir, QStringLiteral("f%1.jpg").arg(size), size);
        ASSERT_TRUE(c->write_picture_bytes(1, file).ok()) << size;
        Error e;
        EXPECT_EQ(c->read_picture_bytes(1, e), testsupport::read_all(file)) << size;
        auto row = c->find_row(1, e);
        EXPECT_EQ(row->value(col_dbpic).toLongLong(), size);
        EXPECT_EQ(row->value(col_inoutpic).toInt(), 1);
    }
}

TEST(PictureBytes, EmptyMissingAndUnknownRowsAreRefused)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 1));
    const QString empty = dir.write("empty.jpg", {});
    Error e = c->write_picture_bytes(1, empty);
    EXPECT_EQ(e.kind, ErrorKind::EmptyFile);
    Error re;
    auto row = c->find_row(1, re);
    EXPECT_FALSE(row->value(col_inoutpic).isValid());
    EXPECT_FALSE(row->value(col_dbpic).isValid());

    EXPECT_EQ(c->write_picture_bytes(1, dir.file("gone.jpg")).code, 53);
    const QString file = make_file(dir, "x.jpg", 10);
    EXPECT_FALSE(c->write_picture_bytes(42, file).ok());
    EXPECT_EQ(c->savepoint_depth(), 0);
}

// Whatever the caller checked before, the file read is the one opened: a
// link or a second name of another file is never stored.
TEST(PictureBytes, ALinkOrASecondNameIsNeverReadIn)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 1));
    const QString secret = make_file(dir, "secret.jpg", 10);
    const QString hard = dir.file("hard.jpg");
    const QString soft = dir.file("soft.jpg");
    ASSERT_EQ(::link(QFile::encodeName(secret).constData(), QFile::encodeName(hard).constData()), 0);
    ASSERT_TRUE(QFile::link(secret, soft));
    for (const QString& path : {hard, soft, secret}) {
        const Error e = c->write_picture_bytes(1, path);
        EXPECT_EQ(e.code, 75) << path.toStdString();
        Error re;
        EXPECT_FALSE(c->find_row(1, re)->value(col_dbpic).isValid()) << path.toStdString();
    }
    // Its own name again, the file is read in.
    ASSERT_TRUE(QFile::remove(hard));
    EXPECT_TRUE(c->write_picture_bytes(1, secret).ok());
}

TEST(PictureBytes, LightCataloguesHoldNoPictures)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 1, Schema::Light));
    EXPECT_FALSE(c->write_picture_bytes(1, make_file(dir, "x.jpg", 10)).ok());
}

TEST(Compaction, PasswordChangeRoundTrip)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 7, Schema::Full, {"old", false});
    const Error ce = Connection::compact(path, "old", {"new", false}, dir.file("NewCmpctDB.mdb"));
    ASSERT_TRUE(ce.ok()) << ce.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file("NewCmpctDB.mdb")));
    Error e;
    EXPECT_FALSE(Connection::open(path, "old", e));
    EXPECT_EQ(e.kind, ErrorKind::WrongPassword);
    auto c = open_ok(path, "new");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->record_count(e), 7);
    EXPECT_EQ(c->column_count(), 9);
    EXPECT_TRUE(c->has_index("idxPicfile"));
    c.reset();

    // To no password at all: a plain file again.
    ASSERT_TRUE(Connection::compact(path, "new", {"", false}, dir.file("NewCmpctDB.mdb")).ok());
    EXPECT_TRUE(testsupport::is_plain_sqlite(path));
    // Encrypt without password: scrambled but opens silently.
    ASSERT_TRUE(Connection::compact(path, "", {"", true}, dir.file("NewCmpctDB.mdb")).ok());
    EXPECT_FALSE(testsupport::is_plain_sqlite(path));
    EXPECT_TRUE(open_ok(path));
}

TEST(Compaction, LeftoverTemporaryFileIsReplaced)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 2);
    dir.write("NewCmpctDB.mdb", "leftover");
    ASSERT_TRUE(Connection::compact(path, "", {"pw", false}, dir.file("NewCmpctDB.mdb")).ok());
    EXPECT_TRUE(open_ok(path, "pw"));
}

TEST(Compaction, FailureKeepsTheOriginal)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 3, Schema::Full, {"old", false});
    const QByteArray before = testsupport::read_all(path);
    // The temporary file cannot be made where asked.
    EXPECT_FALSE(Connection::compact(path, "old", {"new", false}, dir.file("missing/NewCmpctDB.mdb")).ok());
    EXPECT_EQ(testsupport::read_all(path), before);
    // Wrong current password: nothing is written.
    EXPECT_FALSE(Connection::compact(path, "bad", {"new", false}, dir.file("NewCmpctDB.mdb")).ok());
    EXPECT_FALSE(QFileInfo::exists(dir.file("NewCmpctDB.mdb")));
    EXPECT_EQ(testsupport::read_all(path), before);
    // A folder that cannot take the copy is named, not taken for a read-only catalogue.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    const Error e = Connection::compact(path, "old", {"new", false}, dir.file("NewCmpctDB.mdb"));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(e.code, k_err_path_file_access);
    EXPECT_TRUE(e.text.startsWith("The folder " + dir.path() + " cannot be written")) << e.text.toStdString();
    EXPECT_EQ(testsupport::read_all(path), before);
    EXPECT_TRUE(open_ok(path, "old"));
}

TEST(Transactions, NestAndRollBackOnEveryWayOut)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir));
    Error e;
    {
        Transaction outer(*c);
        ASSERT_TRUE(c->add_row(make_row(1, "a.jpg")).ok());
        {
            Transaction inner(*c);
            ASSERT_TRUE(c->add_row(make_row(2, "b.jpg")).ok());
            EXPECT_TRUE(inner.commit().ok());
        }
        {
            Transaction dropped(*c);
            ASSERT_TRUE(c->add_row(make_row(3, "c.jpg")).ok());
        }
        EXPECT_EQ(c->record_count(e), 2);
        EXPECT_EQ(c->savepoint_depth(), 1);
    }
    EXPECT_EQ(c->record_count(e), 0);
    EXPECT_EQ(c->savepoint_depth(), 0);
    {
        Transaction t(*c);
        ASSERT_TRUE(c->add_row(make_row(1, "a.jpg")).ok());
        EXPECT_TRUE(t.commit().ok());
        EXPECT_FALSE(t.commit().ok());
    }
    EXPECT_EQ(c->record_count(e), 1);
}

TEST(ReadOnly, AFileWithoutWriteBitsOpensReadOnly)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 1);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    EXPECT_TRUE(is_read_only_path(path));
    auto c = open_ok(path);
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->read_only());
    Error e;
    EXPECT_EQ(c->record_count(e), 1);
    EXPECT_FALSE(c->add_row(make_row(2, "b.jpg")).ok());
    EXPECT_FALSE(c->upgrade_to_full().ok());
    ::chmod(QFile::encodeName(path).constData(), 0644);
}

TEST(ReadOnly, AReadOnlyFolderMakesTheCatalogueReadOnly)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 1);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    EXPECT_TRUE(is_read_only_path(path));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_FALSE(is_read_only_path(path));
}

TEST(ReadOnly, AConnectionForReadingWritesNothingWhereTheUsualOneMakesAMissingIndex)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 2);
    ASSERT_TRUE(open_ok(path)->exec("DROP INDEX GenericKey3").ok());
    const QByteArray bytes = testsupport::read_all(path);
    const std::optional<FileState> state = file_state(path);
    {
        Error e;
        auto reading = Connection::open(path, {}, e, Connection::OpenMode::ReadOnly);
        ASSERT_TRUE(reading) << e.text.toStdString();
        EXPECT_TRUE(reading->read_only());
        EXPECT_FALSE(reading->has_index("GenericKey3"));
        // The engine itself refuses: the file was opened for reading.
        EXPECT_FALSE(reading->exec("UPDATE demopicture SET note = 'x'").ok());
    }
    EXPECT_EQ(testsupport::read_all(path), bytes);
    EXPECT_EQ(file_state(path), state);
    auto usual = open_ok(path);
    EXPECT_FALSE(usual->read_only());
    EXPECT_TRUE(usual->has_index("GenericKey3"));
}

TEST(Transactions, ACatalogueThatCanNoLongerBeWrittenSaysSoAndKeepsNothing)
{
    TempDir dir;
    // Its folder goes away under the open catalogue.
    const QString folder = dir.file("gone");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/c.mdb";
    ASSERT_TRUE(Connection::create(path, Schema::Full, {}).ok());
    auto c = open_ok(path);
    ASSERT_TRUE(c->add_row(make_row(1, "a.jpg")).ok());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    Error e;
    {
        Transaction t(*c);
        e = c->add_row(make_row(2, "b.jpg"));
        if (e.ok())
            e = t.commit();
    }
    ASSERT_FALSE(e.ok());
    EXPECT_TRUE(e.text.startsWith("The catalogue can no longer be written (")) << e.text.toStdString();
    EXPECT_TRUE(e.text.endsWith("); nothing was saved.")) << e.text.toStdString();
    EXPECT_EQ(c->savepoint_depth(), 0);

    // The file moved away: the same words.
    TempDir other;
    const QString moved = new_catalogue(other, 1);
    auto m = open_ok(moved);
    ASSERT_TRUE(QFile::rename(moved, other.file("elsewhere.mdb")));
    e = m->exec("UPDATE demopicture SET note = 'x'");
    ASSERT_FALSE(e.ok());
    EXPECT_TRUE(e.text.startsWith("The catalogue can no longer be written (")) << e.text.toStdString();
    EXPECT_EQ(open_ok(other.file("elsewhere.mdb"))->scalar("SELECT count(*) FROM demopicture WHERE note = 'x'", {}, e),
              0);
}

TEST(Values, OnlyAWriteThatCannotReachTheFileIsWordedAsSuch)
{
    const Error lost = engine_write_error(14, "unable to open database file");
    EXPECT_EQ(lost.code, 14);
    EXPECT_EQ(lost.text, "The catalogue can no longer be written (unable to open database file); nothing was saved.");
    EXPECT_EQ(engine_write_error(8 | (5 << 8), "attempt to write a readonly database").code, 8);
    const Error constraint = engine_write_error(19, "UNIQUE constraint failed: demopicture.numpic");
    EXPECT_EQ(constraint.text, "UNIQUE constraint failed: demopicture.numpic");
    EXPECT_EQ(engine_write_error(13, "database or disk is full").text, "database or disk is full");
}

TEST(Transactions, AFullDiskEndsTheTransactionCleanly)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 1));
    ASSERT_TRUE(c->exec("PRAGMA max_page_count = 30").ok());
    Error failed;
    {
        Transaction t(*c);
        const QString big(3000, 'n');
        for (int i = 2; i < 500 && failed.ok(); ++i)
            failed = c->add_row(make_row(i, QStringLiteral("f%1.jpg").arg(i), big));
        ASSERT_FALSE(failed.ok());
        const Error e = t.commit();
        EXPECT_FALSE(e.ok());
        EXPECT_FALSE(e.text.contains("savepoint")) << e.text.toStdString();
    }
    EXPECT_EQ(c->savepoint_depth(), 0);
    // The connection goes on working; the row saved before stays.
    Error re;
    EXPECT_EQ(c->record_count(re), 1);
    ASSERT_TRUE(c->exec("PRAGMA max_page_count = 100000").ok());
    Transaction t(*c);
    EXPECT_TRUE(c->add_row(make_row(2, "again.jpg")).ok());
    EXPECT_TRUE(t.commit().ok());
    EXPECT_EQ(c->record_count(re), 2);
}

TEST(PictureBytes, AFileThatChangesWhileItIsCopiedIsRefused)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 1));
    const QString file = make_file(dir, "grow.jpg", 250000);
    Error e = c->write_picture_bytes(1, file, [&](qint64 done) {
        if (done == 50000) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::Append));
            f.write("more");
        }
    });
    EXPECT_EQ(e.kind, ErrorKind::FileChanged);
    const QString shrink = make_file(dir, "shrink.jpg", 250000);
    e = c->write_picture_bytes(1, shrink, [&](qint64 done) {
        if (done == 50000) {
            ASSERT_EQ(::truncate(QFile::encodeName(shrink).constData(), 120000), 0);
        }
    });
    EXPECT_EQ(e.kind, ErrorKind::FileChanged);
    Error re;
    auto row = c->find_row(1, re);
    EXPECT_FALSE(row->value(col_inoutpic).isValid());
    EXPECT_EQ(c->savepoint_depth(), 0);
}

TEST(Values, AValueThatCannotBeBoundIsNeverStoredAsNull)
{
    TempDir dir;
    auto c = open_ok(new_catalogue(dir, 1));
    ASSERT_TRUE(c->update_fields(1, {{col_note, QStringLiteral("before")}}).ok());
    sqlite3_limit(c->handle(), SQLITE_LIMIT_LENGTH, 100);
    const Error e = c->update_fields(1, {{col_note, QString(200, 'x')}});
    EXPECT_FALSE(e.ok());
    Error re;
    EXPECT_EQ(c->find_row(1, re)->value(col_note).toString(), "before");
}

TEST(Compaction, TheCatalogueIsNeverItsOwnTemporaryFileAndKeepsItsPermissions)
{
    TempDir dir;
    const QString path = new_catalogue(dir, 2, Schema::Full, {}, "NewCmpctDB.mdb");
    const Error e = Connection::compact(path, "", {"pw", false}, path);
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(open_ok(path));

    const QString priv = new_catalogue(dir, 1, Schema::Full, {}, "private.mdb");
    ASSERT_EQ(::chmod(QFile::encodeName(priv).constData(), 0600), 0);
    ASSERT_TRUE(Connection::compact(priv, "", {"", false}, dir.file("tmp.mdb")).ok());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(priv).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Compaction, ACatalogueOpenedThroughALinkIsReplacedWhereItLives)
{
    TempDir dir;
    QDir(dir.path()).mkdir("real");
    QDir(dir.path()).mkdir("view");
    const QString real = new_catalogue(dir, 2, Schema::Full, {}, "real/NewCmpctDB.mdb");
    const QString link = dir.file("view/NewCmpctDB.mdb");
    ASSERT_TRUE(QFile::link(real, link));
    // Through the link, the catalogue's own name is the temporary file's: never deleted.
    EXPECT_TRUE(same_file(link, real));
    EXPECT_EQ(compaction_temp_path(link), dir.file("real/NewCmpctDB.tmp.mdb"));
    EXPECT_FALSE(Connection::compact(link, "", {"pw", false}, link).ok());
    EXPECT_FALSE(Connection::compact(link, "", {"pw", false}, real).ok());
    EXPECT_TRUE(open_ok(real));

    ASSERT_TRUE(Connection::compact(link, "", {"pw", false}, compaction_temp_path(link)).ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    Error e;
    EXPECT_TRUE(Connection::open(real, "pw", e)) << e.text.toStdString();
    EXPECT_TRUE(Connection::open(link, "pw", e));
}
