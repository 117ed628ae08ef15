// Command-line splitting.

#include "viewer/command_line.h"

#include <gtest/gtest.h>

#include <limits>

using namespace mosswick;

namespace {

TEST(GetCommandLine, SplitsAtBlanksAndTabs)
{
    EXPECT_EQ(GetCommandLine(QStringLiteral("a  b\tc")),
              (QStringList{QString(), "a", "b", "c"}));
    EXPECT_EQ(GetCommandLine(QString()), QStringList{QString()});
    EXPECT_EQ(GetCommandLine(QStringLiteral(" \t  ")), QStringList{QString()});
    EXPECT_EQ(GetCommandLine(QStringLiteral("  lead and trail  ")),
              (QStringList{QString(), "lead", "and", "trail"}));
    // Quotes are ordinary characters: a quoted path with a blank splits.
    EXPECT_EQ(GetCommandLine(QStringLiteral("\"/my pictures/a.jpg\"")),
              (QStringList{QString(), "\"/my", "pictures/a.jpg\""}));
}

TEST(GetCommandLine, KeepsAtMostMaxArgsWords)
{
    EXPECT_EQ(GetCommandLine(QStringLiteral("one two three"), 2),
              (QStringList{QString(), "one", "two"}));
    EXPECT_EQ(GetCommandLine(QStringLiteral("one two three"), 0), QStringList{QString()});
    EXPECT_EQ(GetCommandLine(QStringLiteral("one two"), -5), QStringList{QString()});
    EXPECT_EQ(GetCommandLine(QStringLiteral("\"x y\" z"), 2), (QStringList{QString(), "\"x", "y\""}));
    QString eleven;
    for (int i = 1; i <= 11; ++i)
        eleven += QStringLiteral("w%1 ").arg(i);
    const QStringList ten = GetCommandLine(eleven);  // default limit 10
    EXPECT_EQ(ten.size(), 11);
    EXPECT_EQ(ten.last(), QStringLiteral("w10"));
    // A huge limit allocates nothing up front.
    EXPECT_EQ(GetCommandLine(QStringLiteral("x"), std::numeric_limits<int>::max()),
              (QStringList{QString(), "x"}));
}

TEST(GetCommandLine, ReceivesTheArgumentsJoinedByBlanks)
{
    const QString line = command_line_of({QStringLiteral("a"), QStringLiteral("b c")});
    EXPECT_EQ(line, QStringLiteral("a b c"));
    EXPECT_EQ(GetCommandLine(line).size(), 4);
    EXPECT_EQ(command_line_of({}), QString());
}

} // namespace
