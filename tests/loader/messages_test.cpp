#include "loader/load_log.h"
#include "loader/loader_messages.h"

#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace mosswick::loader;

TEST(LoaderMessages, CountMessageTable)
{
    struct Case {
        qint64 pictures;
        qint64 others;
        const char* text;
    } cases[] = {
        {1, 1, "Listed 1 picture & 1 movie."},
        {12, 3, "Listed 12 pictures & 3 movies."},
        {5, 0, "Listed 5 pictures, no movies found."},
        {2, 0, "Listed 2 pictures, no movies found."},
        {1, 0, "Listed 1 picture, no movies found."},
        {1, 2, "Listed 1 picture & 2 movies."},
        {0, 0, "No pictures found."},
        {0, 7, "No pictures found."},
        {100000, 1, "Listed 100000 pictures & 1 movie."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(count_message(c.pictures, c.others), QString::fromUtf8(c.text)) << c.pictures << "/" << c.others;
}

TEST(LoaderMessages, SummaryGrammar)
{
    EXPECT_EQ(batch_summary(1, 1, false), "1 picture processed. 1 loaded. No Errors found.");
    EXPECT_EQ(batch_summary(2, 0, true), "2 pictures processed. 0 loaded. There are errors.");
    EXPECT_EQ(batch_summary(14, 13, true), "14 pictures processed. 13 loaded. There are errors.");
    EXPECT_EQ(batch_summary(0, 0, false), "0 picture processed. 0 loaded. No Errors found.");
    EXPECT_EQ(phase2_message(14),
              "File length verification phase 1/2 passed. Starting phase 2/2, loading 14 files, please wait...");
    EXPECT_EQ(slot_caption(7, 2), "Pic# 7 at the pag# 2.");
    EXPECT_EQ(loading_message(true), "Loading picture & movie, press the 'Cancel' button to abort.");
    EXPECT_EQ(loading_message(false), "Loading picture, press the 'Cancel' button to abort.");
}

TEST(LoadLog, ControlCharactersInNamesStayOnOneLine)
{
    const QLocale c(QLocale::C);
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString line = log_line(when, QStringLiteral("bad\r\nname\t\x01.jpg"), c);
    EXPECT_TRUE(line.endsWith("\r\n"));
    EXPECT_EQ(line.count(u'\n'), 1);
    EXPECT_EQ(line.count(u'\r'), 1);
    EXPECT_TRUE(line.contains(QStringLiteral(" - File name: bad\\x0d\\x0aname\\x09\\x01.jpg\r\n"))) << line.toStdString();
    EXPECT_TRUE(line.startsWith(c.toString(when.date(), QLocale::ShortFormat) + " - ")) << line.toStdString();
    EXPECT_TRUE(line.contains("14:07:09")) << line.toStdString();
    // Backslashes double so that an escape in a name cannot pass for one.
    EXPECT_EQ(escape_for_log(u"a\\x0a.jpg"), "a\\\\x0a.jpg");
    EXPECT_EQ(escape_for_log(QString(QChar(0x2028))), "\\u2028");
    EXPECT_EQ(escape_for_log(u"été.jpg"), "été.jpg");
}

TEST(LoadLog, LinesAreAppendedAsUtf8AndTheFileIsCreated)
{
    testsupport::TempDir dir;
    const QString log = dir.file("load errors.log");
    EXPECT_TRUE(append_log_line(log, QStringLiteral("one é\r\n")).ok());
    EXPECT_TRUE(append_log_line(log, QStringLiteral("two\r\n")).ok());
    EXPECT_EQ(testsupport::read_all(log), QByteArray("one \xC3\xA9\r\ntwo\r\n"));
    const mosswick::store::Error e = append_log_line(dir.file("missing/folder.log"), "x");
    EXPECT_FALSE(e.ok());
    EXPECT_GT(e.code, 0);
}
