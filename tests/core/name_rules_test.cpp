#include "core/companions.h"
#include "core/name_rules.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace mosswick::files;

TEST(NameRules, PictureTypesAreTheLowerCasedTextAfterTheLastDot)
{
    struct Case {
        const char* name;
        bool picture;
        bool refused;
    } cases[] = {
        {"holiday.jpg", true, false}, {"holiday.JPG", true, false}, {"a.b.Bmp", true, false},
        {"x.gif", true, false},       {"x.png", true, true},        {"x.TIF", true, true},
        {"x.rle", true, true},        {"x.ico", true, true},        {"x.wmf", true, true},
        {"x.emf", true, true},        {"x.jpeg", false, false},     {"x.avi", false, false},
        {"jpg.txt", false, false},    {"clip", false, false},       {"x.", false, false},
        // A name without a dot is taken whole.
        {"png", true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(is_picture_extension(QString::fromUtf8(c.name)), c.picture) << c.name;
        EXPECT_EQ(is_blob_refused(QString::fromUtf8(c.name)), c.refused) << c.name;
    }
}

TEST(NameRules, CompanionsShareTheExactBaseNameAndAreNoPicture)
{
    struct Case {
        const char* candidate;
        const char* picture;
        bool companion;
    } cases[] = {
        {"holiday.AVI", "holiday.JPG", true},
        {"Holiday.avi", "holiday.jpg", false},   // base names compare with case
        {"holiday.txt", "holiday.jpg", true},
        {"holiday.rtf", "holiday.jpg", true},
        {"holiday.bmp", "holiday.jpg", false},   // another picture is no companion
        {"holiday", "holiday.jpg", false},       // no dot
        {"my.photo.txt", "my.photo.jpg", true},
        {"my.photo.old.txt", "my.photo.jpg", false},
        {"my.txt", "my.photo.jpg", false},
        {"holiday.tar.gz", "holiday.tar.jpg", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(is_companion_of(QString::fromUtf8(c.candidate), QString::fromUtf8(c.picture)), c.companion)
            << c.candidate << " / " << c.picture;
}

TEST(NameRules, CompanionIndexFindsFirstAndLastInListOrder)
{
    const QStringList files{"a.avi", "a.bmp", "A.avi", "a.jpg", "a.mpg", "a.txt", "b.jpg", "my.photo.old.txt",
                            "my.photo.txt", "clip"};
    CompanionIndex index(files);
    EXPECT_EQ(index.first_for(u"a.jpg"), "a.avi");
    EXPECT_EQ(index.last_for(u"a.jpg"), "a.txt");
    EXPECT_EQ(index.first_for(u"A.bmp"), "A.avi");
    EXPECT_EQ(index.first_for(u"b.jpg"), QString());
    EXPECT_EQ(index.first_for(u"my.photo.jpg"), "my.photo.txt");
    EXPECT_EQ(index.first_for(u"clip.jpg"), QString());
    index.remove("a.avi");
    EXPECT_EQ(index.first_for(u"a.jpg"), "a.mpg");
}

TEST(NameRules, NameLimitCountsCharactersAndTheMessagesNameTheLength)
{
    const QString ok = QString(251, u'n') + ".jpg";
    const QString long_name = QString(252, u'n') + ".jpg";
    EXPECT_FALSE(name_too_long(ok));
    EXPECT_TRUE(name_too_long(long_name));
    // Characters, not bytes: 255 letters that take two bytes each pass.
    EXPECT_FALSE(name_too_long(QString(251, QChar(0xE9)) + ".jpg"));
    EXPECT_EQ(picture_name_message(long_name),
              "The picture file name: " + long_name + ", is 256 bytes, picture file name cannot exceed 255 bytes.");
    EXPECT_EQ(movie_name_message("m.avi"), "The movie file name: m.avi, is 5 bytes, movie file name cannot exceed 255 bytes.");
    // A name that looks like a placeholder is shown as it is.
    EXPECT_EQ(picture_name_message("%1%2.jpg"),
              "The picture file name: %1%2.jpg, is 8 bytes, picture file name cannot exceed 255 bytes.");
}
