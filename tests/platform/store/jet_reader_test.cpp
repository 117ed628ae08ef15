#include "platform/store/jet_convert.h"
#include "platform/store/jet_reader.h"

#include "support/jet_fixtures.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>

using namespace mosswick::store;
using testsupport::copy_jet_fixture;
using testsupport::folder_listing;
using testsupport::TempDir;

namespace {

// A stand-in for the reader program: a shell script in its own folder.
QString fake_reader(const TempDir& dir, const QByteArray& script)
{
    QDir().mkpath(dir.file("bin"));
    const QString path = dir.write("bin/reader", "#!/bin/sh\n" + script + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// One limit's soft value in /proc/PID/limits, as written there.
QString limit_of(qint64 pid, const QString& name)
{
    QFile f(QStringLiteral("/proc/%1/limits").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QString& line : QString::fromLatin1(f.readAll()).split(u'\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).simplified().section(u' ', 0, 0);
    return {};
}

} // namespace

TEST(JetReader, ATestRunFromTheBuildTreeFindsTheBuildsReader)
{
    const QFileInfo program(jet_reader_program());
    EXPECT_TRUE(program.isExecutable()) << program.filePath().toStdString();
    EXPECT_EQ(program.fileName(), QLatin1String(jet_reader::k_program_name));
    EXPECT_NE(program.absolutePath(), QCoreApplication::applicationDirPath());
}

TEST(JetReader, AReaderMissingOrNotRunnableIsRefusedAndNothingChanges)
{
    struct Case {
        const char* what;
        std::function<QString(const TempDir&)> program;
        const char* says;
    };
    const std::vector<Case> cases{
        {"missing", [](const TempDir& dir) { return dir.file("gone/mosswick-jet-reader"); }, "cannot be found"},
        {"not executable",
         [](const TempDir& dir) {
             QDir().mkpath(dir.file("bin"));
             return dir.write("bin/mosswick-jet-reader", "#!/bin/sh\n");
         },
         "cannot be started"},
        {"a folder",
         [](const TempDir& dir) {
             QDir().mkpath(dir.file("bin/mosswick-jet-reader"));
             return dir.file("bin/mosswick-jet-reader");
         },
         "cannot be found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const QString program = c.program(dir);
        const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
        const QByteArray original = testsupport::read_all(path);
        const QStringList before = folder_listing(dir);
        JetConversion result;
        const Error e = convert_jet_catalogue(path, {}, result, {}, {.program = program});
        ASSERT_FALSE(e.ok());
        EXPECT_EQ(e.kind, ErrorKind::JetFile);
        EXPECT_TRUE(e.text.startsWith(path + " could not be converted: the Access reader program " + program + " " +
                                      c.says))
            << e.text.toStdString();
        EXPECT_TRUE(e.text.endsWith(". Nothing was changed.")) << e.text.toStdString();
        EXPECT_EQ(testsupport::read_all(path), original);
        EXPECT_EQ(folder_listing(dir), before);
    }
}

TEST(JetReader, ASilentReaderIsStoppedAtTheIdleLimit)
{
    struct Case {
        const char* what;
        QByteArray script;
    };
    // Silent from the start, and silent after the columns, once the copy is
    // being written.
    for (const Case& c : {Case{"at once", "exec sleep 60"},
                          Case{"after the columns", "printf 'C\\011\\000\\000\\000'; exec sleep 60"}}) {
        SCOPED_TRACE(c.what);
        TempDir dir, bin;
        const QString program = fake_reader(bin, c.script);
        const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
        JetConversion result;
        const Error e = convert_jet_catalogue(path, {}, result, {}, {.program = program, .idle_limit_ms = 1000});
        ASSERT_FALSE(e.ok());
        EXPECT_EQ(e.kind, ErrorKind::JetFile);
        EXPECT_EQ(e.text, path + " could not be converted: reading it stopped making progress. Nothing was changed.");
        EXPECT_EQ(folder_listing(dir), QStringList{"jet4-full.mdb"});
        // The reader was killed and waited for.
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
    }
}

TEST(JetReader, AReaderThatFailsIsReportedByHowItEnded)
{
    struct Case {
        const char* what;
        QByteArray script;
        QString says;
    };
    // MDBOPTS would make libmdb print debugging output; the reader never has it.
    qputenv("MDBOPTS", "debug_all");
    const std::vector<Case> cases{
        {"a signal", "ulimit -c 0\nkill -SEGV $$", "the Access reader failed on it (signal 11)"},
        {"its last words", "echo 'first words' >&2\necho '  Unhandled ole field flags = 7  ' >&2\nexit 1",
         "the Access reader says: Unhandled ole field flags = 7"},
        {"nothing said", "exit 0", "the Access reader ended early"},
        {"what it was given",
         "echo \"MDB_ICONV=$MDB_ICONV MDBOPTS=${MDBOPTS-unset} args=$#\" >&2\nexit 1",
         "the Access reader says: MDB_ICONV=UTF-8 MDBOPTS=unset args=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir, bin;
        const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
        JetConversion result;
        const Error e = convert_jet_catalogue(path, {}, result, {}, {.program = fake_reader(bin, c.script)});
        EXPECT_EQ(e.text, path + " could not be converted: " + c.says + ". Nothing was changed.");
        EXPECT_EQ(folder_listing(dir), QStringList{"jet4-full.mdb"});
    }
    qunsetenv("MDBOPTS");
}

TEST(JetReader, TheReaderCapsItsMemoryAndItsLog)
{
    // A reader opening a FIFO waits there for a writer: its limits can be read.
    TempDir dir;
    const QString fifo = dir.file("waiting.mdb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess reader;
    reader.start(jet_reader_program(), {fifo});
    ASSERT_TRUE(reader.waitForStarted());
    QString memory, log;
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20)) {
        memory = limit_of(reader.processId(), "Max address space");
        log = limit_of(reader.processId(), "Max file size");
        if (log != QLatin1String("unlimited"))
            break;
    }
    reader.kill();
    reader.waitForFinished();
    EXPECT_EQ(log, QString::number(jet_reader::k_log_limit));
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's own limits stand in (main_jet_reader.cpp): 3072 MB of
    // resident memory and per allocation, as its list of flags shows.
    EXPECT_EQ(memory, QLatin1String("unlimited"));
    QProcess flags;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("help=1"));
    flags.setProcessEnvironment(environment);
    flags.start(jet_reader_program(), {});
    ASSERT_TRUE(flags.waitForFinished());
    const QString said = QString::fromLocal8Bit(flags.readAllStandardError());
    for (const char* flag : {"hard_rss_limit_mb", "max_allocation_size_mb"})
        EXPECT_TRUE(said.contains(QRegularExpression(QStringLiteral("\\b%1\\s+- [^\\n]*\\(Current Value: 0xc00\\)").arg(flag))))
            << flag;
#else
    EXPECT_EQ(memory, QString::number(jet_reader::k_memory_limit));
#endif
}
