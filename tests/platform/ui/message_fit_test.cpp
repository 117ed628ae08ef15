#include "platform/ui/message_fit.h"

#include <gtest/gtest.h>

using mosswick::ui::fit_message;

namespace {

// One unit per character: the widths below are character counts.
int chars(const QString& t)
{
    return int(t.size());
}

const QChar dots = mosswick::ui::k_ellipsis;

} // namespace

TEST(FitMessage, ATextThatFitsIsLeftAsItIs)
{
    EXPECT_EQ(fit_message("Database opened.", 16, chars), "Database opened.");
    EXPECT_EQ(fit_message("", 0, chars), "");
}

TEST(FitMessage, ALongPathLosesItsMiddleAndTheReasonStays)
{
    const QString text = "Error 26 - /home/user/pictures/archive/2024/summer/cat.mdb was refused: it has a trigger.";
    const QString fitted = fit_message(text, 60, chars);
    EXPECT_LE(fitted.size(), 60);
    EXPECT_TRUE(fitted.startsWith("Error 26 - /")) << fitted.toStdString();
    EXPECT_TRUE(fitted.endsWith("/cat.mdb was refused: it has a trigger.")) << fitted.toStdString();
    EXPECT_TRUE(fitted.contains(dots));
    // As much of the path as there is room for.
    EXPECT_EQ(fitted.size(), 60);
}

TEST(FitMessage, AFolderNameWithBlanksBelongsToItsPath)
{
    const QString text = "Error 13 - /home/me/My Pictures/deep/er/still/cat.mdb (the last rows were not saved: disk full)";
    const QString fitted = fit_message(text, 70, chars);
    EXPECT_LE(fitted.size(), 70);
    EXPECT_TRUE(fitted.endsWith("cat.mdb (the last rows were not saved: disk full)")) << fitted.toStdString();
    EXPECT_TRUE(fitted.startsWith("Error 13 - /"));
}

TEST(FitMessage, TheLongestOfTwoPathsGivesWayFirst)
{
    const QString text = "Cannot move /a/b.jpg to /very/long/folder/name/that/goes/on/b.jpg: exists";
    const QString fitted = fit_message(text, 60, chars);
    EXPECT_LE(fitted.size(), 60);
    EXPECT_TRUE(fitted.startsWith("Cannot move /a/b.jpg to /")) << fitted.toStdString();
    EXPECT_TRUE(fitted.endsWith("/b.jpg: exists")) << fitted.toStdString();
}

TEST(FitMessage, WithoutAPathTheMiddleOfTheSentenceGoes)
{
    const QString text = "Error 13 - database or disk is full (the last rows were not saved; free some space)";
    const QString fitted = fit_message(text, 40, chars);
    EXPECT_EQ(fitted.size(), 40);
    EXPECT_TRUE(fitted.startsWith("Error 13 - "));
    EXPECT_TRUE(fitted.endsWith("space)"));
    EXPECT_TRUE(fitted.contains(dots));
}

TEST(FitMessage, WhenEvenTheFileNameDoesNotFitTheSentenceIsShortenedToo)
{
    const QString text = "Error 75 - Path/File access error: /x/y/z/a-very-long-file-name-indeed.jpg";
    const QString fitted = fit_message(text, 20, chars);
    EXPECT_LE(fitted.size(), 20);
    EXPECT_TRUE(fitted.startsWith("Error"));
    EXPECT_TRUE(fitted.endsWith(".jpg"));
    EXPECT_EQ(fit_message(text, 0, chars), QString(dots));
}

TEST(FitMessage, AGivenPathGivesWayWholeBlanksAndAll)
{
    const QString path = "/home/me/holidays and more/holidays and more/pw.mdb";
    const QString text = path + " is an Access database with a password.";
    // Guessed by its look, the path would end at the first blank.
    const QString guessed = fit_message(text, 50, chars);
    EXPECT_FALSE(guessed.endsWith("/pw.mdb is an Access database with a password.")) << guessed.toStdString();
    const QString fitted = fit_message(text, 50, chars, {path, QString()});
    EXPECT_EQ(fitted.size(), 50);
    EXPECT_TRUE(fitted.startsWith("/ho" + QString(dots) + "/pw.mdb is an Access database with a password."))
        << fitted.toStdString();
    // Every place it is named.
    const QString twice = path + " is not " + path + " after all.";
    const QString both = fit_message(twice, 40, chars, {path});
    EXPECT_LE(both.size(), 40);
    EXPECT_TRUE(both.contains(" is not ")) << both.toStdString();
    EXPECT_TRUE(both.endsWith("/pw.mdb after all.")) << both.toStdString();
}
