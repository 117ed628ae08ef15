#include "old_files.h"

#include <QFileInfo>

#include <sys/stat.h>

using namespace storetest;
using testsupport::TempDir;

namespace {

qint64 rows_in(Connection& c)
{
    Error e;
    const qint64 n = c.record_count(e);
    EXPECT_TRUE(e.ok()) << e.text.toStdString();
    return n;
}

// Opens the file with the password: in the given format, with the given rows.
std::unique_ptr<Connection> expect_opens(const QString& path, const QString& password, CipherFormat format, qint64 rows)
{
    auto c = open_ok(path, password);
    if (c) {
        EXPECT_EQ(c->cipher_format(), format) << path.toStdString();
        EXPECT_EQ(rows_in(*c), rows) << path.toStdString();
    }
    return c;
}

} // namespace

TEST(KeyTrial, CataloguesOfEarlierBuildsOpenInEveryProtection)
{
    TempDir dir;
    const QString pw = raw_catalogue(dir.file("pw.mdb"), "secret", legacy_pragmas(), full_catalogue_sql());
    const QString enc = raw_catalogue(dir.file("enc.mdb"), legacy_internal_key(), legacy_pragmas(), full_catalogue_sql());
    const QString plain = raw_catalogue(dir.file("plain.mdb"), {}, {"PRAGMA page_size = 4096"}, full_catalogue_sql());

    auto p = expect_opens(pw, "secret", CipherFormat::Legacy4096, 2);
    ASSERT_TRUE(p);
    // Later writes keep the file's own format.
    EXPECT_TRUE(p->add_row(make_row(3, "c.jpg")).ok());
    p.reset();
    expect_opens(pw, "secret", CipherFormat::Legacy4096, 3);
    expect_refused_without_right_password(pw);

    expect_opens(enc, {}, CipherFormat::Legacy4096, 2);
    expect_opens(plain, "ignored", CipherFormat::None, 2);
}

TEST(KeyTrial, NewEncryptedFilesUseTheCurrentFormat)
{
    TempDir dir;
    const QString pw = new_catalogue(dir, 1, Schema::Full, {"secret", false}, "pw.mdb");
    const QString enc = new_catalogue(dir, 1, Schema::Full, {"", true}, "enc.mdb");
    expect_opens(pw, "secret", CipherFormat::Current, 1);
    expect_opens(enc, {}, CipherFormat::Current, 1);

    // A file of the current format is not readable with the old settings.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(pw).constData(), &db), SQLITE_OK);
    sqlite3_key(db, "secret", 6);
    sqlite3_exec(db, "PRAGMA cipher_compatibility = 3", nullptr, nullptr, nullptr);
    EXPECT_NE(sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TEST(KeyTrial, APasswordChangeOrCompactionWritesTheCurrentFormat)
{
    TempDir dir;
    const QString pw = raw_catalogue(dir.file("pw.mdb"), "old", legacy_pragmas(), full_catalogue_sql());
    ASSERT_TRUE(Connection::compact(pw, "old", {"new", false}, dir.file("tmp.mdb")).ok());
    expect_opens(pw, "new", CipherFormat::Current, 2);

    const QString enc = raw_catalogue(dir.file("enc.mdb"), legacy_internal_key(), legacy_pragmas(), full_catalogue_sql());
    ASSERT_TRUE(Connection::compact(enc, "", {"", true}, dir.file("tmp2.mdb")).ok());
    expect_opens(enc, {}, CipherFormat::Current, 2);
}

TEST(KeyTrial, CataloguesOfTheSqlcipherShellOpenInBothFormats)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    TempDir dir;
    QString script;
    for (const QString& s : full_catalogue_sql())
        script += s + ";\n";
    const QString v4 = dir.file("v4.mdb");
    ASSERT_TRUE(run_shell(shell, v4, "PRAGMA key = 'shell pw';\n" + script));
    const QString v3 = dir.file("v3.mdb");
    ASSERT_TRUE(run_shell(shell, v3, "PRAGMA key = 'shell pw';\nPRAGMA cipher_compatibility = 3;\n" + script));
    EXPECT_NE(QFileInfo(v3).size() % 4096, 0) << "the test wants a file of 1024-byte pages";

    for (const auto& [path, format] : {std::pair{v4, CipherFormat::Current}, std::pair{v3, CipherFormat::Version3}}) {
        expect_refused_without_right_password(path);
        auto c = expect_opens(path, "shell pw", format, 2);
        ASSERT_TRUE(c);
        EXPECT_TRUE(c->add_row(make_row(3, "c.jpg")).ok());
    }
    // The shell still reads what we wrote into its file.
    ASSERT_TRUE(run_shell(shell, v3,
                          "PRAGMA key = 'shell pw';\nPRAGMA cipher_compatibility = 3;\n"
                          "CREATE TABLE IF NOT EXISTS probe_ok AS SELECT count(*) AS n FROM demopicture;\n"));
}

TEST(KeyTrial, RawKeyPasswordsAreNeverTakenAsKeys)
{
    EXPECT_TRUE(is_raw_key_form("x'0011AAff'"));
    EXPECT_TRUE(is_raw_key_form("X'6D6F73737769636B2D736372616D626C652D6B65792D76312D2D2D2D2D2D2D2D'"));
    EXPECT_FALSE(is_raw_key_form("x'not hex'"));
    EXPECT_FALSE(is_raw_key_form("x'00"));
    EXPECT_FALSE(is_raw_key_form("my x'00' password"));

    TempDir dir;
    const QString key = QString::fromLatin1(legacy_internal_key());
    const QString path = dir.file("raw.mdb");
    Error e = Connection::create(path, Schema::Full, {key, false});
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(e.text.contains("raw key"));
    EXPECT_FALSE(QFileInfo::exists(path));

    const QString pw = new_catalogue(dir, 1, Schema::Full, {"secret", false}, "pw.mdb");
    const QByteArray before = testsupport::read_all(pw);
    e = Connection::compact(pw, "secret", {key, false}, dir.file("tmp.mdb"));
    EXPECT_TRUE(e.text.contains("raw key"));
    EXPECT_EQ(testsupport::read_all(pw), before);

    // Typed at the prompt it is refused with its reason, not as a wrong password.
    EXPECT_FALSE(Connection::open(pw, "x'00112233'", e));
    EXPECT_NE(e.kind, ErrorKind::WrongPassword);
    EXPECT_TRUE(e.text.contains("raw key"));
}

namespace {

// An old 7-column catalogue as the sqlite3 shell writes it: TEXT everywhere,
// other index names, none of ours. Made by the shell when it is there,
// else by the engine with the same SQL.
QString shell_catalogue(const TempDir& dir, const QString& name)
{
    const QStringList sql{
        "CREATE TABLE DemoPicture (MovFile TEXT, PicFile TEXT, Note TEXT, NumPage INT, NumPic INT, Reference TEXT, AddNote TEXT)",
        "CREATE INDEX idx_page ON DemoPicture (NumPage)",
        "INSERT INTO DemoPicture VALUES (NULL, 'a.jpg', 'note 007', 1, 1, 'ref', NULL), (NULL, 'b.jpg', '', 1, 2, NULL, NULL)"};
    const QString path = dir.file(name);
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        return raw_catalogue(path, {}, {}, sql);
    EXPECT_TRUE(run_shell(shell, path, sql.join(";\n") + ";\n"));
    return path;
}

} // namespace

TEST(OtherTools, ATextTypedOldCatalogueOpensGainsOurIndexesAndUpgrades)
{
    TempDir dir;
    const QString path = shell_catalogue(dir, "shell.mdb");
    {
        auto c = open_ok(path);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->column_count(), 7);
        EXPECT_TRUE(c->has_index("UniqueKey"));
        EXPECT_TRUE(c->has_index("GenericKey1"));
        EXPECT_TRUE(c->has_index("idx_page"));
        ASSERT_TRUE(c->upgrade_to_full().ok());
        EXPECT_EQ(c->column_count(), 9);
        ASSERT_TRUE(c->add_row(make_row(3, "c.jpg")).ok());
    }
    auto c = open_ok(path);
    ASSERT_TRUE(c);
    Error e;
    const auto row = c->find_row(1, e);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value(col_note).toString(), "note 007");
    EXPECT_EQ(row->value(col_reference).toString(), "ref");
    EXPECT_EQ(c->rows_on_page(1, e).size(), 3u);
}

TEST(OtherTools, AReadOnlyCatalogueDoesWithoutMissingIndexesAndDuplicateNumbersAreNamed)
{
    TempDir dir;
    const QString path = shell_catalogue(dir, "shell.mdb");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const QByteArray before = testsupport::read_all(path);
    {
        auto c = open_ok(path);
        ASSERT_TRUE(c);
        EXPECT_TRUE(c->read_only());
        EXPECT_FALSE(c->has_index("UniqueKey"));
        EXPECT_EQ(rows_in(*c), 2);
    }
    EXPECT_EQ(testsupport::read_all(path), before);

    const QString dup = raw_catalogue(dir.file("dup.mdb"), {}, {},
                                      {"CREATE TABLE demopicture (movfile TEXT, picfile TEXT, note TEXT, numpage INTEGER, numpic INTEGER)",
                                       "INSERT INTO demopicture VALUES (NULL, 'a.jpg', NULL, 1, 1), (NULL, 'b.jpg', NULL, 1, 1)"});
    const QByteArray dup_before = testsupport::read_all(dup);
    Error e;
    EXPECT_FALSE(Connection::open(dup, {}, e));
    EXPECT_TRUE(e.text.contains("UniqueKey")) << e.text.toStdString();
    EXPECT_EQ(testsupport::read_all(dup), dup_before);
}

namespace {

// What opening a file of another tool says; the file is left as it was.
QString refusal_of(const QString& path)
{
    const QByteArray before = testsupport::read_all(path);
    Error e;
    EXPECT_FALSE(Connection::open(path, {}, e)) << path.toStdString();
    EXPECT_EQ(e.kind, ErrorKind::UnsafeSchema) << e.text.toStdString();
    EXPECT_EQ(testsupport::read_all(path), before);
    return e.text;
}

const QString k_five = "CREATE TABLE demopicture (movfile %1, picfile %2, note TEXT, numpage INTEGER, numpic INTEGER) %3";

} // namespace

TEST(OtherTools, ACollationOtherThanBinaryIsRefusedByNameAndNameComparisonsStayExact)
{
    TempDir dir;
    const std::pair<QStringList, QString> refused[] = {
        {{k_five.arg("TEXT", "TEXT COLLATE NOCASE", "")}, "column 1 (picfile) of the picture table is declared with the collation NOCASE"},
        {{k_five.arg("TEXT COLLATE RTRIM", "TEXT", "")}, "column 0 (movfile) of the picture table is declared with the collation RTRIM"},
        {{k_five.arg("TEXT", "TEXT COLLATE BINARY COLLATE \"NoCase\"", "")}, "column 1 (picfile) of the picture table is declared with the collation NOCASE"},
        {{k_five.arg("TEXT", "TEXT", ""), "CREATE INDEX idxPicfile ON demopicture (picfile COLLATE NOCASE)"}, "index idxPicfile is declared with the collation NOCASE"},
    };
    int n = 0;
    for (const auto& [sql, said] : refused) {
        const QString text = refusal_of(raw_catalogue(dir.file(QStringLiteral("c%1.mdb").arg(++n)), {}, {}, sql));
        EXPECT_TRUE(text.contains(said + "; only BINARY")) << text.toStdString();
    }
    // Another tool's index in another collation serves only that collation's
    // comparisons: ours stay exact.
    auto c = open_ok(raw_catalogue(dir.file("accepted.mdb"), {}, {},
                                   {k_five.arg("TEXT COLLATE BINARY", "TEXT", ""),
                                    "CREATE INDEX by_name ON demopicture (picfile COLLATE NOCASE DESC, movfile COLLATE RTRIM)",
                                    "INSERT INTO demopicture VALUES (NULL, 'Holiday.JPG', NULL, 1, 1), (NULL, 'b.jpg', NULL, 1, 2)"}));
    ASSERT_TRUE(c);
    Error e;
    EXPECT_EQ(c->scalar("SELECT count(*) FROM demopicture WHERE picfile = ?1", {"holiday.jpg"}, e).toInt(), 0);
    EXPECT_EQ(c->scalar("SELECT max(picfile) FROM demopicture", {}, e).toString(), "b.jpg");
    EXPECT_TRUE(e.ok()) << e.text.toStdString();
}

TEST(OtherTools, StrictTablesAndTablesWithoutRowidAreRefusedByName)
{
    TempDir dir;
    const std::pair<QString, QString> refused[] = {
        {k_five.arg("TEXT", "TEXT", "STRICT"), "the picture table is a STRICT table."},
        {k_five.arg("TEXT", "TEXT PRIMARY KEY", "WITHOUT ROWID"), "the picture table is a table WITHOUT ROWID."},
        {k_five.arg("TEXT", "TEXT PRIMARY KEY", "STRICT, WITHOUT ROWID"), "the picture table is a STRICT table and a table WITHOUT ROWID."},
    };
    int n = 0;
    for (const auto& [sql, said] : refused) {
        const QString text = refusal_of(raw_catalogue(dir.file(QStringLiteral("t%1.mdb").arg(++n)), {}, {}, {sql}));
        EXPECT_TRUE(text.endsWith(said)) << text.toStdString();
    }
}
