#include "platform/store/jet_convert.h"

#include "store_fixture.h"
#include "support/jet_fixtures.h"
#include "support/watched_file.h"

#include <QDataStream>
#include <QDir>
#include <QFile>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <sys/statvfs.h>
#include <sys/wait.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <optional>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

using namespace mosswick::store;
using namespace storetest;
using testsupport::copy_jet_fixture;
using testsupport::folder_listing;
using testsupport::TempDir;

namespace {

struct Converted {
    Error error;
    JetConversion result;
};

Converted convert(const QString& path, const JetProgress& progress = {})
{
    Converted c;
    c.error = convert_jet_catalogue(path, jet_protection(read_jet_header(path)), c.result, progress);
    return c;
}

const QString k_full_fixture = QStringLiteral(MOSSWICK_JET_DATA "/jet4-full.mdb");

// A copy of the full fixture with its bytes from `from` to the end replaced by a pattern.
QString scrambled_fixture(const TempDir& dir, qsizetype from_end, int factor)
{
    QByteArray bytes = testsupport::read_all(k_full_fixture);
    for (qsizetype i = from_end < 0 ? bytes.size() + from_end : from_end; i < bytes.size(); ++i)
        bytes[i] = char((i * factor) & 0xff);
    return dir.write("jet4-full.mdb", bytes);
}

// Patches the first occurrence of a UTF-16 name in a fixture's bytes.
QString patched_fixture(const TempDir& dir, const QString& from, const QString& to)
{
    QByteArray bytes = testsupport::read_all(k_full_fixture);
    const QByteArray a(reinterpret_cast<const char*>(from.utf16()), from.size() * 2);
    const QByteArray b(reinterpret_cast<const char*>(to.utf16()), to.size() * 2);
    const qsizetype at = bytes.indexOf(a);
    EXPECT_GE(at, 0);
    bytes.replace(at, b.size(), b);
    return dir.write("jet4-full.mdb", bytes);
}

bool write_text_file(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size();
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Runs body in a child process that has a small file system (tmpfs) of its
// own mounted at folder, seen by no other process; returns what body
// returned. nullopt, with the reason in why, where no file system can be
// mounted (no privileges and no user namespaces).
std::optional<QByteArray> in_small_file_system(const QString& folder, const std::function<QByteArray()>& body,
                                               QString& why)
{
    int out[2];
    if (::pipe(out) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        bool own = ::unshare(CLONE_NEWNS) == 0;
        if (!own)
            own = ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && write_text_file("/proc/self/setgroups", "deny") &&
                  write_text_file("/proc/self/uid_map", QByteArray::number(uid).prepend("0 ").append(" 1")) &&
                  write_text_file("/proc/self/gid_map", QByteArray::number(gid).prepend("0 ").append(" 1"));
        QByteArray said;
        int status = 0;
        if (!own || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=512k") != 0) {
            said = QByteArray("no file system of its own: ") + std::strerror(errno);
            status = 2;
        } else {
            said = body();
        }
        for (qsizetype at = 0; at < said.size();) {
            const ssize_t n = ::write(out[1], said.constData() + at, size_t(said.size() - at));
            if (n <= 0)
                break;
            at += n;
        }
        _exit(status);
    }
    ::close(out[1]);
    QByteArray got;
    char buf[4096];
    ssize_t n = 0;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0)
        got.append(buf, n);
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        why = QString::fromUtf8(got);
        return std::nullopt;
    }
    return got;
}

} // namespace

TEST(JetConvert, EveryFixtureConvertsValueForValueKeepingTheOriginal)
{
    for (const auto& [file, rows, columns] : {std::tuple{"jet4-full.mdb", 13, 9}, std::tuple{"jet4-7col.mdb", 8, 7},
                                              std::tuple{"jet4-5col.mdb", 7, 5}, std::tuple{"jet4-empty.mdb", 0, 9}}) {
        SCOPED_TRACE(file);
        TempDir dir;
        const QString path = copy_jet_fixture(dir, file, "catalogue.mdb");
        const QByteArray original = testsupport::read_all(path);
        const JetHeader header = read_jet_header(path);
        EXPECT_EQ(header.kind, JetHeader::Kind::Jet4);
        EXPECT_TRUE(header.password.isEmpty());
        EXPECT_FALSE(header.encoded);
        EXPECT_EQ(probe_file(path), FileProbe::Jet);

        const Converted c = convert(path);
        ASSERT_TRUE(c.error.ok()) << c.error.text.toStdString();
        EXPECT_EQ(c.result.rows, rows);
        EXPECT_EQ(c.result.column_count, columns);
        EXPECT_EQ(c.result.backup_path, dir.file("catalogue.access.mdb"));
        EXPECT_EQ(testsupport::read_all(c.result.backup_path), original);
        EXPECT_TRUE(testsupport::is_plain_sqlite(path));
        // Nothing else is left in the folder.
        EXPECT_EQ(folder_listing(dir), (QStringList{"catalogue.access.mdb", "catalogue.mdb"}));

        auto conn = open_ok(path);
        ASSERT_TRUE(conn);
        testsupport::expect_jet_rows(*conn, rows, columns);
        // Our own indexes, with the reference one only where the column is.
        EXPECT_TRUE(conn->has_index("UniqueKey"));
        EXPECT_TRUE(conn->has_index("idxPicfile"));
        EXPECT_EQ(conn->has_index("GenericKey4"), columns >= 7);
    }
}

TEST(JetConvert, OldLayoutsStillUpgradeAfterConversion)
{
    TempDir dir;
    const QString path = copy_jet_fixture(dir, "jet4-5col.mdb");
    ASSERT_TRUE(convert(path).error.ok());
    auto conn = open_ok(path);
    ASSERT_TRUE(conn);
    ASSERT_TRUE(conn->upgrade_to_full().ok());
    EXPECT_EQ(conn->column_count(), 9);
    EXPECT_TRUE(conn->has_index("GenericKey4"));
    Error e;
    EXPECT_EQ(conn->record_count(e), 7);
}

TEST(JetConvert, PasswordIsReadFromTheHeaderAndBecomesTheKey)
{
    TempDir dir;
    const QString path = copy_jet_fixture(dir, "jet4-password.mdb");
    const JetHeader header = read_jet_header(path);
    EXPECT_EQ(header.password, QStringLiteral("Kx7 päss"));
    EXPECT_FALSE(header.encoded);
    EXPECT_TRUE(jet_password_matches(header, QStringLiteral("Kx7 päss")));
    for (const QString& wrong : {QStringLiteral("kx7 päss"), QStringLiteral("Kx7 pass"), QStringLiteral("Kx7 päss "),
                                 QStringLiteral("Kx7"), QString()})
        EXPECT_FALSE(jet_password_matches(header, wrong)) << wrong.toStdString();

    const Protection protection = jet_protection(header);
    EXPECT_EQ(protection.password, QStringLiteral("Kx7 päss"));
    JetConversion result;
    ASSERT_TRUE(convert_jet_catalogue(path, protection, result).ok());
    // An encrypted file that no plain engine reads, and no key but the password opens.
    EXPECT_FALSE(testsupport::is_plain_sqlite(path));
    Error e;
    EXPECT_FALSE(Connection::open(path, {}, e));
    EXPECT_EQ(e.kind, ErrorKind::WrongPassword);
    EXPECT_FALSE(Connection::open(path, "kx7 päss", e));
    EXPECT_EQ(e.kind, ErrorKind::WrongPassword);
    testsupport::expect_jet_rows(path, 6, 9, QStringLiteral("Kx7 päss"));
}

TEST(JetConvert, EncodedFileBecomesAnEncryptOnlyCatalogue)
{
    TempDir dir;
    const QString path = copy_jet_fixture(dir, "jet4-encrypted.mdb");
    const JetHeader header = read_jet_header(path);
    EXPECT_TRUE(header.encoded);
    EXPECT_TRUE(header.password.isEmpty());
    const Protection protection = jet_protection(header);
    EXPECT_TRUE(protection.encrypt);
    EXPECT_TRUE(protection.password.isEmpty());
    const Converted c = convert(path);
    ASSERT_TRUE(c.error.ok()) << c.error.text.toStdString();
    EXPECT_FALSE(testsupport::is_plain_sqlite(path));
    testsupport::expect_jet_rows(path, 13, 9);   // the fixed key, without a prompt
}

TEST(JetConvert, AnExistingBackupNameIsNeverOverwritten)
{
    TempDir dir;
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb", "pics.mdb");
    dir.write("pics.access.mdb", "keep me");
    dir.write("pics.access-2.mdb", "keep me too");
    const QByteArray original = testsupport::read_all(path);
    const Converted c = convert(path);
    ASSERT_TRUE(c.error.ok()) << c.error.text.toStdString();
    EXPECT_EQ(c.result.backup_path, dir.file("pics.access-3.mdb"));
    EXPECT_EQ(testsupport::read_all(dir.file("pics.access.mdb")), "keep me");
    EXPECT_EQ(testsupport::read_all(dir.file("pics.access-2.mdb")), "keep me too");
    EXPECT_EQ(testsupport::read_all(c.result.backup_path), original);
    EXPECT_EQ(jet_backup_path(path), dir.file("pics.access-4.mdb"));
    EXPECT_EQ(jet_backup_path(dir.file("my.pictures.MDB")), dir.file("my.pictures.access.mdb"));
    EXPECT_EQ(jet_backup_path(dir.file("catalogue")), dir.file("catalogue.access.mdb"));
}

TEST(JetConvert, ANameWithNoRoomForTheBackupNameIsRefusedNotLoopedOn)
{
    // 250 characters: the backup name would pass the file system's limit.
    TempDir dir;
    const QString name = QString(246, u'n') + QStringLiteral(".mdb");
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb", name);
    const QByteArray original = testsupport::read_all(path);
    EXPECT_FALSE(jet_backup_path(path).isEmpty());
    const Converted c = convert(path);
    EXPECT_FALSE(c.error.ok());
    EXPECT_EQ(testsupport::read_all(path), original);
    EXPECT_EQ(folder_listing(dir), QStringList{name});
}

TEST(JetConvert, LinksAtTheSideNamesOfTheCopyAreNeverWrittenThrough)
{
    // A folder someone sent may hold links where the copy's journal and
    // other side files would go, live or dangling.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        SCOPED_TRACE(suffix);
        TempDir dir;
        TempDir home;
        const testsupport::WatchedFile target(home.file("bashrc"));
        const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
        const QString side = dir.file(QStringLiteral(".jet4-full.mdb.converting.tmp") + QLatin1String(suffix));
        ASSERT_TRUE(testsupport::make_link(target.path(), side));
        ASSERT_TRUE(testsupport::make_link(home.file("nothing-here"),
                                           dir.file(QStringLiteral(".jet4-full.mdb.converting-2.tmp") + QLatin1String(suffix))));
        const Converted c = convert(path);
        ASSERT_TRUE(c.error.ok()) << c.error.text.toStdString();
        target.expect_untouched();
        EXPECT_FALSE(QFileInfo::exists(home.file("nothing-here")));
        testsupport::expect_jet_rows(path, 13, 9);
    }
}

TEST(JetConvert, FailuresLeaveTheOriginalAndNoOtherFile)
{
    struct Case {
        const char* what;
        std::function<QString(const TempDir&)> make;
        const char* says;
    };
    const std::vector<Case> cases{
        {"damaged",
         [](const TempDir& dir) {
             // The pages after the header are gone.
             const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
             QFile::resize(path, 4096 * 3);
             return path;
         },
         "could not be converted"},
        {"garbage pages", [](const TempDir& dir) { return scrambled_fixture(dir, 4096, 7919); },
         "could not be converted"},
        // The table's list of pages holds, its last pages do not.
        {"damaged rows", [](const TempDir& dir) { return scrambled_fixture(dir, -4096 * 6, 31); },
         "could not be converted"},
        {"Jet 3",
         [](const TempDir& dir) {
             QByteArray page(4096, '\0');
             page.replace(4, 15, "Standard Jet DB");
             return dir.write("old.mdb", page);
         },
         "Jet 3"},
        {"unknown version",
         [](const TempDir& dir) {
             const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
             QFile f(path);
             f.open(QIODevice::ReadWrite);
             f.seek(0x14);
             f.write(QByteArray("\x07\0\0\0", 4));
             return path;
         },
         "unknown version (7)"},
        {"other table", [](const TempDir& dir) { return patched_fixture(dir, "demopicture", "holidaypics"); },
         "not a Mosswick catalogue: it holds the table holidaypics"},
        {"other column", [](const TempDir& dir) { return patched_fixture(dir, "picfile", "picname"); },
         "not a Mosswick catalogue: column 2 of its table demopicture is picname"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const QString path = c.make(dir);
        const QByteArray original = testsupport::read_all(path);
        const QStringList before = folder_listing(dir);
        const Converted r = convert(path);
        ASSERT_FALSE(r.error.ok());
        EXPECT_EQ(r.error.kind, ErrorKind::JetFile);
        EXPECT_TRUE(r.error.text.contains(QLatin1String(c.says))) << r.error.text.toStdString();
        EXPECT_TRUE(r.error.text.contains(path)) << r.error.text.toStdString();
        EXPECT_EQ(testsupport::read_all(path), original);
        EXPECT_EQ(folder_listing(dir), before);
    }
}

TEST(JetConvert, AStopAtAnyRowLeavesNothingBehind)
{
    for (int stop_at : {1, 7, 13}) {
        TempDir dir;
        const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
        const QByteArray original = testsupport::read_all(path);
        qint64 seen = 0;
        const Converted c = convert(path, [&](qint64 rows) {
            seen = rows;
            return rows < stop_at;
        });
        ASSERT_FALSE(c.error.ok());
        EXPECT_EQ(seen, stop_at);
        EXPECT_TRUE(c.error.text.contains("stopped"));
        EXPECT_EQ(testsupport::read_all(path), original);
        EXPECT_EQ(folder_listing(dir), QStringList{"jet4-full.mdb"});
    }
}

TEST(JetConvert, ReadOnlyFilesAndFoldersAreNotConverted)
{
    TempDir dir;
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
    ::chmod(QFile::encodeName(path).constData(), 0444);
    const Converted c = convert(path);
    EXPECT_EQ(c.error.kind, ErrorKind::FileAccess);
    EXPECT_EQ(folder_listing(dir), QStringList{"jet4-full.mdb"});
    ::chmod(QFile::encodeName(path).constData(), 0644);
}

TEST(JetConvert, AFileReachedThroughALinkIsConvertedWhereItLives)
{
    TempDir dir;
    QDir().mkpath(dir.file("real"));
    const QString real = copy_jet_fixture(dir, "jet4-7col.mdb", "real/cat.mdb");
    ASSERT_TRUE(QFile::link(real, dir.file("link.mdb")));
    const Converted c = convert(dir.file("link.mdb"));
    ASSERT_TRUE(c.error.ok()) << c.error.text.toStdString();
    EXPECT_EQ(c.result.backup_path, dir.file("real/cat.access.mdb"));
    EXPECT_TRUE(QFileInfo(dir.file("link.mdb")).isSymLink());
    testsupport::expect_jet_rows(real, 8, 7);
}

TEST(JetConvert, RandomDamageNeverEndsTheProgramNorLeavesAPartialFile)
{
    const QByteArray pristine = testsupport::read_all(k_full_fixture);
    ASSERT_FALSE(pristine.isEmpty());
    quint32 state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    int converted = 0, refused = 0;
    for (int round = 0; round < 40; ++round) {
        TempDir dir;
        QByteArray bytes = pristine;
        for (int k = 0; k < 48; ++k)
            bytes[4096 + qsizetype(next() % quint32(bytes.size() - 4096))] = char(next() & 0xff);
        const QString path = dir.write("cat.mdb", bytes);
        const Converted c = convert(path);
        if (c.error.ok()) {
            ++converted;
            EXPECT_EQ(testsupport::read_all(c.result.backup_path), bytes);
            EXPECT_TRUE(testsupport::is_plain_sqlite(path));
        } else {
            ++refused;
            EXPECT_EQ(c.error.kind, ErrorKind::JetFile) << c.error.text.toStdString();
            EXPECT_EQ(testsupport::read_all(path), bytes);
            EXPECT_EQ(folder_listing(dir), QStringList{"cat.mdb"});
        }
    }
    EXPECT_EQ(converted + refused, 40);
}

TEST(JetConvert, ConversionsLeaveNoFileOpenAndNoChildBehind)
{
    auto open_files = [] { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); };
    const auto before = open_files();
    for (int round = 0; round < 3; ++round) {
        TempDir good, foreign, stopped;
        EXPECT_TRUE(convert(copy_jet_fixture(good, "jet4-full.mdb")).error.ok());
        EXPECT_FALSE(convert(patched_fixture(foreign, "demopicture", "holidaypics")).error.ok());
        EXPECT_FALSE(convert(copy_jet_fixture(stopped, "jet4-7col.mdb"), [](qint64) { return false; }).error.ok());
    }
    EXPECT_EQ(open_files(), before);
    // Every reader process has been waited for.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(JetConvert, CopiesOfKilledConversionsAreClearedAtOnceOneInUseIsNot)
{
    TempDir dir;
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
    // A conversion killed with SIGKILL in the middle of its rows.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        JetConversion ignored;
        // Killed in the middle: it never gets to return.
        (void)convert_jet_catalogue(path, {}, ignored, [&](qint64 rows) {
            if (rows == 5) {
                const char c = 'k';
                (void)!::write(ready[1], &c, 1);
                ::pause();
            }
            return true;
        });
        _exit(1);
    }
    ::close(ready[1]);
    char c = 0;
    const ssize_t got = ::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(got, 1);
    EXPECT_EQ(folder_listing(dir), (QStringList{".jet4-full.mdb.converting.tmp", ".jet4-full.mdb.converting.tmp-journal",
                                                "jet4-full.mdb"}));
    // One left at a name the next conversion does not come to.
    dir.write(".jet4-full.mdb.converting-5.tmp", "partial");
    // One held by a conversion running now (another program).
    const QString busy = dir.write(".jet4-full.mdb.converting-3.tmp", "busy");
    const int held = ::open(QFile::encodeName(busy).constData(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    // Names of other files are not the copies'.
    dir.write(".jet4-full.mdb.converting-x.tmp", "not a copy");
    dir.write(".other.mdb.converting.tmp", "another catalogue's");

    const Converted converted = convert(path);
    ASSERT_TRUE(converted.error.ok()) << converted.error.text.toStdString();
    EXPECT_EQ(testsupport::read_all(busy), "busy");
    EXPECT_EQ(folder_listing(dir), (QStringList{".jet4-full.mdb.converting-3.tmp", ".jet4-full.mdb.converting-x.tmp",
                                                ".other.mdb.converting.tmp", "jet4-full.access.mdb", "jet4-full.mdb"}));
    testsupport::expect_jet_rows(path, 13, 9);
    ::close(held);
}

TEST(JetConvert, AFullDiskSaysWhichCatalogueAndThatTheOriginalIsUnchanged)
{
    TempDir dir;
    const QString folder = dir.file("small");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/pics.mdb";
    // Every amount of free room from none up to what the conversion needs:
    // the disk fills while the copy is made, while its rows are written and
    // when they are committed.
    QString why;
    const std::optional<QByteArray> report = in_small_file_system(
        folder,
        [&] {
            QByteArray out;
            QDataStream said(&out, QIODevice::WriteOnly);
            const QByteArray original = testsupport::read_all(k_full_fixture);
            for (qint64 room = 0;; room += 4096) {
                QFile::remove(folder + "/filler");
                QFile::remove(path);
                QFile copy(path);
                copy.open(QIODevice::WriteOnly);
                copy.write(original);
                copy.close();
                struct statvfs fs {};
                ::statvfs(QFile::encodeName(folder).constData(), &fs);
                QFile filler(folder + "/filler");
                filler.open(QIODevice::WriteOnly);
                filler.write(QByteArray(qsizetype(qint64(fs.f_bavail) * qint64(fs.f_bsize) - room), '\0'));
                filler.close();
                JetConversion result;
                const Error e = convert_jet_catalogue(path, {}, result);
                said << room << e.code << e.text << (testsupport::read_all(path) == original)
                     << QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
                if (e.ok() || room > 1024 * 1024)
                    break;
            }
            return out;
        },
        why);
    if (!report)
        GTEST_SKIP() << why.toStdString();
    QDataStream said(*report);
    int failures = 0;
    bool converted = false;
    while (!said.atEnd()) {
        qint64 room = 0;
        int code = 0;
        QString text;
        bool unchanged = false;
        QStringList listing;
        said >> room >> code >> text >> unchanged >> listing;
        SCOPED_TRACE(QStringLiteral("%1 bytes free: %2").arg(room).arg(text).toStdString());
        if (text.isEmpty()) {
            converted = true;
            break;
        }
        ++failures;
        EXPECT_TRUE(code == 13 || code == 75) << code;
        EXPECT_TRUE(text.startsWith(path + " was not converted: the new catalogue could not be written beside it ("));
        EXPECT_TRUE(text.endsWith("). The original is unchanged."));
        EXPECT_TRUE(unchanged);
        EXPECT_EQ(listing, (QStringList{"filler", "pics.mdb"}));
    }
    EXPECT_TRUE(converted);
    EXPECT_GT(failures, 3);
}
