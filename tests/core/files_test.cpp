#include "core/file_ops.h"
#include "core/listing.h"

#include "loader/loader_test_util.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace mosswick;

TEST(Listing, FilesOnlySortedWithoutDotFiles)
{
    testsupport::TempDir dir;
    for (const char* n : {"b.jpg", "A.jpg", "a.jpg", ".hidden.jpg", "Ä.jpg", "c.TXT", "10.jpg", "2.jpg"})
        loadertest::text_file(dir.path(), QString::fromUtf8(n), "x");
    QDir(dir.path()).mkdir("sub");
    QDir(dir.path()).mkdir("Alpha");
    ASSERT_EQ(::symlink("b.jpg", QFile::encodeName(dir.file("link.jpg")).constData()), 0);
    const Listing l = list_folder(dir.path());
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.files, QStringList({"10.jpg", "2.jpg", "A.jpg", "a.jpg", "b.jpg", "c.TXT", "link.jpg", "Ä.jpg"}));
    EXPECT_EQ(l.folders, QStringList({"Alpha", "sub"}));
}

TEST(Listing, FailuresCarryTheProgramsErrorNumbers)
{
    testsupport::TempDir dir;
    const Listing missing = list_folder(dir.file("nowhere"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(listing_error(dir.file("nowhere"), missing).code, 76);
    loadertest::text_file(dir.path(), "plain", "x");
    const Listing not_folder = list_folder(dir.file("plain"));
    EXPECT_FALSE(not_folder.ok);
    EXPECT_EQ(listing_error(dir.file("plain"), not_folder).code, 76);
}

TEST(FileOps, SameFolderComparesIdentityNotSpelling)
{
    testsupport::TempDir dir;
    QDir(dir.path()).mkdir("data");
    QDir(dir.path()).mkdir("Data2");
    ASSERT_EQ(::symlink("data", QFile::encodeName(dir.file("alias")).constData()), 0);
    EXPECT_TRUE(files::same_folder(dir.file("data"), dir.file("data") + "/"));
    EXPECT_TRUE(files::same_folder(dir.file("data"), dir.file("Data2/../data")));
    EXPECT_TRUE(files::same_folder(dir.file("alias"), dir.file("data")));
    EXPECT_FALSE(files::same_folder(dir.file("data"), dir.file("Data2")));
    // On a case-sensitive file system another case is another folder.
    EXPECT_FALSE(files::same_folder(dir.file("data"), dir.file("DATA")));
    EXPECT_TRUE(files::same_folder(dir.file("gone/"), dir.file("gone")));
}

TEST(FileOps, MovesNeverReplaceAFile)
{
    testsupport::TempDir dir;
    QDir(dir.path()).mkdir("to");
    const QString from = loadertest::text_file(dir.path(), "a.txt", "new");
    const QString kept = loadertest::text_file(dir.file("to"), "a.txt", "old");
    const store::Error e = files::move_no_replace(from, kept);
    EXPECT_EQ(e.code, 58);
    EXPECT_EQ(testsupport::read_all(from), "new");
    EXPECT_EQ(testsupport::read_all(kept), "old");

    const QString target = dir.file("to/b.txt");
    const QString b = loadertest::text_file(dir.path(), "b.txt", "bee");
    EXPECT_TRUE(files::move_no_replace(b, target).ok());
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_EQ(testsupport::read_all(target), "bee");

    EXPECT_EQ(files::move_no_replace(dir.file("missing.txt"), dir.file("to/m.txt")).code, 53);
}

TEST(FileOps, MovesAcrossFileSystemsCopyThenRemove)
{
    testsupport::TempDir dir;
    QTemporaryDir other(QStringLiteral("/dev/shm/mw-move-XXXXXX"));
    struct stat a {}, b {};
    if (!other.isValid() || ::stat(QFile::encodeName(dir.path()).constData(), &a) != 0
        || ::stat(QFile::encodeName(other.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system to move across";
    const QString from = loadertest::text_file(dir.path(), "n.txt", "note");
    const QString kept = loadertest::text_file(other.path(), "k.txt", "keep");
    EXPECT_EQ(files::move_no_replace(loadertest::text_file(dir.path(), "k.txt", "x"), kept).code, 58);
    EXPECT_EQ(testsupport::read_all(kept), "keep");
    EXPECT_TRUE(files::move_no_replace(from, other.path() + "/n.txt").ok());
    EXPECT_FALSE(QFileInfo::exists(from));
    EXPECT_EQ(testsupport::read_all(other.path() + "/n.txt"), "note");
}
