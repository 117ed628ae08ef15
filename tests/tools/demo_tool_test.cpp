// The demo tool's command line: options are options, never folder names.
#include "platform/store/connection.h"
#include "support/test_support.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

using namespace mosswick;

namespace {

struct ToolRun {
    int exit_code = -1;
    QString out;
    QString err;
};

// Runs the demo tool in a folder with the given arguments.
ToolRun demo(const QString& folder, const QStringList& arguments)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral(MOSSWICK_DEMO_PROGRAM), arguments);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(DemoTool, OptionsAreNeverTakenForTheFolder)
{
    testsupport::TempDir dir;
    for (const QString& help : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const ToolRun r = demo(dir.path(), {help});
        EXPECT_EQ(r.exit_code, 0) << help.toStdString();
        EXPECT_TRUE(r.out.startsWith("usage: mosswick-demo")) << r.out.toStdString();
        // Help wins over a folder beside it.
        EXPECT_EQ(demo(dir.path(), {"made", help}).exit_code, 0);
    }
    // Wrong command lines: an unknown option, no folder, two folders.
    const QList<QStringList> wrong{{"--bogus"}, {"-x", "made"}, {}, {"made", "other"}, {""}};
    for (const QStringList& arguments : wrong) {
        const ToolRun r = demo(dir.path(), arguments);
        EXPECT_NE(r.exit_code, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage: mosswick-demo")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(demo(dir.path(), {"--bogus"}).err.section('\n', 0, 0), "mosswick-demo: unknown option --bogus");
    EXPECT_EQ(entries(dir.path()), QStringList());

    // After "--" a name that looks like an option is the folder, made with its catalogue.
    const ToolRun made = demo(dir.path(), {"--", "-odd"});
    EXPECT_EQ(made.exit_code, 0) << made.err.toStdString();
    EXPECT_EQ(entries(dir.path()), QStringList({"-odd"}));
    store::Error error;
    auto conn = store::Connection::open(dir.file("-odd/demo.mdb"), {}, error);
    ASSERT_TRUE(conn) << error.text.toStdString();
    EXPECT_EQ(conn->record_count(error), 14);
    EXPECT_FALSE(error);
}

} // namespace
