// The record of catalogues found sound: which file in which state.
#include "platform/store/checked_files.h"

#include "support/test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace mosswick::store;

namespace {

class CheckedRecord : public ::testing::Test {
protected:
    QString catalogue(const QString& name, const QByteArray& bytes = "catalogue bytes")
    {
        return dir.write(name, bytes);
    }
    FileState state(const QString& path) const
    {
        const std::optional<FileState> s = file_state(path);
        EXPECT_TRUE(s.has_value()) << path.toStdString();
        return s.value_or(FileState{});
    }

    testsupport::TempDir dir;
    CheckedCatalogues record{dir.file("settings/mosswick/checked-catalogues")};
};

} // namespace

TEST(FileStateTest, NamesTheFileAndItsState)
{
    testsupport::TempDir dir;
    const QString path = dir.write("a.mdb", "12345");
    const std::optional<FileState> s = file_state(path);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->size, 5);
    EXPECT_GT(s->inode, 0u);
    EXPECT_GT(s->modified_ns, 0);
    EXPECT_EQ(file_state(path), s);
    EXPECT_FALSE(file_state(dir.file("missing.mdb")));
    EXPECT_FALSE(file_state(dir.path()));   // a folder is no catalogue
    // Through a link: the file it leads to.
    ASSERT_EQ(::symlink(QFile::encodeName(path).constData(), QFile::encodeName(dir.file("link.mdb")).constData()), 0);
    EXPECT_EQ(file_state(dir.file("link.mdb")), s);
}

TEST_F(CheckedRecord, MatchesOnlyTheSameFileInTheSameState)
{
    const QString path = catalogue("a.mdb");
    const FileState s = state(path);
    EXPECT_FALSE(record.unchanged(path, s));   // nothing recorded yet
    ASSERT_TRUE(record.record(path, s));
    EXPECT_TRUE(record.unchanged(path, s));
    // Every part of the state counts.
    for (auto change : {+[](FileState& f) { ++f.device; }, +[](FileState& f) { ++f.inode; }, +[](FileState& f) { ++f.size; },
                        +[](FileState& f) { ++f.modified_ns; }, +[](FileState& f) { ++f.changed_ns; }}) {
        FileState other = s;
        change(other);
        EXPECT_FALSE(record.unchanged(path, other));
    }
    // Touched, replaced by a copy, copied elsewhere.
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_FALSE(record.unchanged(path, state(path)));
    ASSERT_TRUE(record.record(path, state(path)));
    ASSERT_TRUE(QFile::copy(path, dir.file("copy.mdb")));
    EXPECT_FALSE(record.unchanged(dir.file("copy.mdb"), state(dir.file("copy.mdb"))));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(dir.file("copy.mdb"), path));
    EXPECT_FALSE(record.unchanged(path, state(path)));
}

TEST_F(CheckedRecord, OneEntryPerCatalogueAndTheOldestGo)
{
    const QString a = catalogue("a.mdb");
    // Another spelling of the same path, and a link to it, are the same entry.
    ASSERT_TRUE(record.record(dir.path() + "/.//a.mdb", state(a)));
    EXPECT_TRUE(record.unchanged(a, state(a)));
    ASSERT_EQ(::symlink(QFile::encodeName(a).constData(), QFile::encodeName(dir.file("link.mdb")).constData()), 0);
    EXPECT_TRUE(record.unchanged(dir.file("link.mdb"), state(a)));

    FileState later = state(a);
    later.size += 1;
    ASSERT_TRUE(record.record(a, later));
    EXPECT_FALSE(record.unchanged(a, state(a)));
    EXPECT_TRUE(record.unchanged(a, later));

    // Past the limit the oldest are dropped; a catalogue recorded again is new.
    const FileState some{1, 2, 3, 4, 5};
    for (int i = 0; i < CheckedCatalogues::k_max_entries; ++i) {
        ASSERT_TRUE(record.record(dir.file(QStringLiteral("c%1.mdb").arg(i)), some));
        if (i == 10) {
            ASSERT_TRUE(record.record(a, later));
        }
    }
    EXPECT_TRUE(record.unchanged(a, later));
    EXPECT_FALSE(record.unchanged(dir.file("c0.mdb"), some));
    EXPECT_TRUE(record.unchanged(dir.file("c1.mdb"), some));
    EXPECT_TRUE(record.unchanged(dir.file(QStringLiteral("c%1.mdb").arg(CheckedCatalogues::k_max_entries - 1)), some));
    ASSERT_TRUE(record.record(dir.file("new.mdb"), some));
    EXPECT_FALSE(record.unchanged(dir.file("c1.mdb"), some));
    EXPECT_TRUE(record.unchanged(a, later));
    EXPECT_LE(QFile(record.record_path()).size(), 64 * 1024);

    ASSERT_TRUE(record.forget(a));
    EXPECT_FALSE(record.unchanged(a, later));
    EXPECT_TRUE(record.unchanged(dir.file("new.mdb"), some));
    EXPECT_TRUE(record.forget(a));   // nothing left to forget
}

TEST_F(CheckedRecord, PathsOfAnyNameAndAPrivateFile)
{
    const QString odd = catalogue("two words\nand a line\t% 100.mdb");
    const QString plain = catalogue("two words");
    ASSERT_TRUE(record.record(odd, state(odd)));
    ASSERT_TRUE(record.record(plain, state(plain)));
    EXPECT_TRUE(record.unchanged(odd, state(odd)));
    EXPECT_TRUE(record.unchanged(plain, state(plain)));
    EXPECT_EQ(QFile(record.record_path()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}

TEST_F(CheckedRecord, ADamagedOrForeignRecordOnlyMeansChecking)
{
    const QString a = catalogue("a.mdb");
    ASSERT_TRUE(record.record(a, state(a)));
    const QByteArray good = testsupport::read_all(record.record_path());
    const QString line = QString::fromUtf8(good).section(u'\n', 1, 1);
    const QStringList damaged = {
        QString(),                                                   // emptied
        QStringLiteral("some other file\n") + line + u'\n',          // not our header
        QString::fromUtf8(good).replace(line, line.section(u' ', 0, 4)),   // an entry cut short
        QString::fromUtf8(good).replace(line.section(u' ', 2, 2), QStringLiteral("x")),   // a size that is no number
    };
    for (const QString& text : damaged) {
        QFile f(record.record_path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
        f.close();
        EXPECT_FALSE(record.unchanged(a, state(a))) << text.toStdString();
        // And it is made anew by the next record.
        ASSERT_TRUE(record.record(a, state(a)));
        EXPECT_TRUE(record.unchanged(a, state(a)));
    }
    // A record that cannot be written says so; nothing is taken for recorded.
    const CheckedCatalogues nowhere(dir.file("a.mdb/record"));
    EXPECT_FALSE(nowhere.record(a, state(a)));
    EXPECT_FALSE(nowhere.unchanged(a, state(a)));
}

TEST_F(CheckedRecord, AnythingButARegularFileAtItsPlaceMeansNoRecord)
{
    const QString a = catalogue("a.mdb");
    // A record that would pass the catalogue, were it read through a link.
    const QString outside = dir.file("outside/record");
    ASSERT_TRUE(CheckedCatalogues(outside).record(a, state(a)));
    ASSERT_TRUE(QFile::setPermissions(outside, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
    const QByteArray outside_bytes = testsupport::read_all(outside);
    const QByteArray link_target = QFile::encodeName(outside);
    const struct {
        const char* what;
        std::function<int(const char*)> make;
        bool replaced;   // by the next record written
    } cases[] = {{"fifo", [](const char* p) { return ::mkfifo(p, 0600); }, true},
                 {"link", [&](const char* p) { return ::symlink(link_target.constData(), p); }, true},
                 {"folder", [](const char* p) { return ::mkdir(p, 0700); }, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CheckedCatalogues here(dir.file(QStringLiteral("%1/checked-catalogues").arg(c.what)));
        ASSERT_TRUE(QDir().mkpath(dir.file(c.what)));
        ASSERT_EQ(c.make(QFile::encodeName(here.record_path()).constData()), 0);
        EXPECT_FALSE(here.unchanged(a, state(a)));   // at once, and nothing read through it
        EXPECT_EQ(here.record(a, state(a)), c.replaced);
        EXPECT_EQ(here.unchanged(a, state(a)), c.replaced);
        EXPECT_EQ(QDir(dir.file(c.what)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{"checked-catalogues"});   // no copy left beside it
    }
    EXPECT_EQ(testsupport::read_all(outside), outside_bytes);
    EXPECT_TRUE(QFile(outside).permissions() & QFileDevice::ReadOther);
}

TEST(CheckedRecordPlace, LivesInTheUsersConfigurationFolder)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_EQ(CheckedCatalogues::default_path(), config + "/mosswick/checked-catalogues");
    // The tests' own folder, never the user's.
    EXPECT_EQ(config, qEnvironmentVariable("XDG_CONFIG_HOME"));
}

TEST(LaterChanges, ShowOnceTheClockHasMovedOn)
{
    testsupport::TempDir dir;
    const QString path = dir.write("a.mdb", "x");
    const std::optional<FileState> s = file_state(path);
    ASSERT_TRUE(s);
    ASSERT_TRUE(later_changes_show(*s));
    // A change now gets later times than the state recorded.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.write("y");
    f.close();
    const std::optional<FileState> after = file_state(path);
    ASSERT_TRUE(after);
    EXPECT_GT(after->changed_ns, s->changed_ns);
    EXPECT_EQ(after->size, s->size);
    // Times in whole seconds, changed just now: not to be recorded yet.
    FileState whole = *after;
    whole.modified_ns = whole.modified_ns / 1000000000 * 1000000000;
    whole.changed_ns = whole.modified_ns;
    EXPECT_FALSE(later_changes_show(whole));
    whole.modified_ns -= 5 * qint64(1000000000);
    whole.changed_ns = whole.modified_ns;
    EXPECT_TRUE(later_changes_show(whole));
    // Times ahead of the clock (a clock set back) never settle.
    FileState ahead = *after;
    ahead.changed_ns += 3600 * qint64(1000000000);
    EXPECT_FALSE(later_changes_show(ahead));
}
