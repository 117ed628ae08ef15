#include "platform/ui/message_fit.h"
#include "support/long_messages.h"

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

// The paths give way, the longest first, down to their file name and then
// further; a message that still does not fit keeps its start, up to a
// word's end. No word of the message is ever cut.
TEST(FitMessage, PathsGiveWayAndTheWordsStayWhole)
{
    const QString& jet = testsupport::k_long_messages[0].text;
    const QString& folder = testsupport::k_long_messages[1].text;
    const QString& collation = testsupport::k_long_messages[2].text;
    const QString no_path = "Error 13 - database or disk is full (the last rows were not saved; free some space)";
    const QString file_error = "Error 75 - Path/File access error: /x/y/z/a-very-long-file-name-indeed.jpg";
    const QString one_word = "Supercalifragilistic";
    const QString long_path = "Error 26 - /home/user/pictures/archive/2024/summer/cat.mdb was refused: it has a trigger.";
    const QString blanks = "Error 13 - /home/me/My Pictures/deep/er/still/cat.mdb (the last rows were not saved: disk full)";
    const QString two_paths = "Cannot move /a/b.jpg to /very/long/folder/name/that/goes/on/b.jpg: exists";
    const struct {
        const QString& text;
        int width;
        QString fitted;
    } cases[] = {
        {jet, 140, "Error 13 - …0.mdb was not converted: the new catalogue could not be written beside it (database or "
                   "disk is full). The original is unchanged."},
        {jet, 110, "Error 13 - …b was not converted: the new catalogue could not be written beside it (database or disk "
                   "is full).…"},
        {jet, 86, "Error 13 - …0.mdb was not converted: the new catalogue could not be written beside it…"},
        {folder, 120, "Error 75 - The folder …019 cannot be written: no temporary copy of the catalogue can be made there. "
                      "Nothing was changed."},
        {folder, 86, "Error 75 - The folder …9 cannot be written: no temporary copy of the catalogue can be…"},
        {collation, 86, "… was refused: column 1 (picfile) of the picture table is declared with the collation…"},
        {no_path, 40, "Error 13 - database or disk is full…"},
        {file_error, 60, "Error 75 - Path/File access error: …ong-file-name-indeed.jpg"},
        {file_error, 20, "Error 75 -…"},
        {file_error, 0, QString(dots)},
        {one_word, 6, "Super…"},
        // A long path loses its middle, as little of it as the width asks.
        {long_path, 60, "Error 26 - /home/use…/cat.mdb was refused: it has a trigger."},
        // A folder name with blanks belongs to its path.
        {blanks, 70, "Error 13 - /home/me…/cat.mdb (the last rows were not saved: disk full)"},
        // The longest of two paths gives way first.
        {two_paths, 60, "Cannot move /a/b.jpg to /very/long/fol…goes/on/b.jpg: exists"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fit_message(c.text, c.width, chars).toStdString(), c.fitted.toStdString())
            << c.width << " for " << c.text.toStdString();
    // At every width: within it, and no word cut where the first one fits.
    for (const QString& text : {jet, folder, collation, no_path, file_error, long_path, blanks, two_paths}) {
        for (int width = 0; width <= text.size(); ++width) {
            const QString fitted = fit_message(text, width, chars);
            EXPECT_LE(fitted.size(), std::max(width, 1)) << fitted.toStdString();
            if (width > 12) {
                EXPECT_TRUE(testsupport::cut_words(fitted, text).isEmpty()) << fitted.toStdString();
            }
        }
    }
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
