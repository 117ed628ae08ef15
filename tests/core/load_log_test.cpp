#include "core/load_log.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace mosswick::files;

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
