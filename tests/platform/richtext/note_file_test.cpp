#include "platform/richtext/note_file.h"
#include "platform/richtext/plain_text.h"

#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace mosswick::richtext;

TEST(RichTextNoteFile, DecodesUtf8ElseCp1252)
{
    EXPECT_EQ(decode_text_file("caf\xc3\xa9 \xe2\x82\xac"), QString::fromUtf16(u"caf\u00e9 \u20ac"));
    EXPECT_EQ(decode_text_file("\xef\xbb\xbftext"), QStringLiteral("text"));
    EXPECT_EQ(decode_text_file("caf\xe9 \x80 \x93q\x94 \x81"), QString::fromUtf16(u"caf\u00e9 \u20ac \u201cq\u201d \u0081"));
    // One invalid sequence makes the whole file cp1252.
    EXPECT_EQ(decode_text_file("\xc3\xa9 \xe9"), QString::fromUtf16(u"\u00c3\u00a9 \u00e9"));
    EXPECT_EQ(decode_text_file(QByteArray("\xff\xfeh\0i\0", 6)), QStringLiteral("hi"));
    EXPECT_EQ(decode_text_file(QByteArray("\xfe\xff\0h\0i", 6)), QStringLiteral("hi"));
    EXPECT_EQ(decode_text_file(QByteArrayView()), QString());
}

TEST(RichTextNoteFile, RtfFilesStayRtf)
{
    const QString note = decode_note_file("{\\rtf1\\ansi caf\xe9\\par}");
    EXPECT_EQ(note, QStringLiteral("{\\rtf1\\ansi caf\\'e9\\par}"));
    EXPECT_EQ(extract_plain_text(note), QString::fromUtf16(u"caf\u00e9"));
    // A text file that only mentions RTF later is plain text.
    EXPECT_EQ(decode_note_file("see {\\rtf1}"), QStringLiteral("see {\\rtf1}"));
}

TEST(RichTextNoteFile, ReadsFilesAndReportsFailures)
{
    testsupport::TempDir dir;
    const QString txt = dir.write(QStringLiteral("holiday.txt"), "line one\r\nligne deux \xe9t\xe9");
    const std::optional<QString> text = read_note_file(txt);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, QString::fromUtf16(u"line one\r\nligne deux \u00e9t\u00e9"));

    QString error;
    EXPECT_FALSE(read_note_file(dir.file(QStringLiteral("missing.txt")), &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("missing.txt")));

    const QString big = dir.file(QStringLiteral("big.txt"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(k_max_note_file_bytes + 1));
    }
    error.clear();
    EXPECT_FALSE(read_note_file(big, &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("too large")));

    EXPECT_FALSE(read_note_file(dir.path(), &error).has_value()); // a folder is no note file
}

TEST(RichTextNoteFile, ALinkIsReadOnlyWhenLinksMayBeFollowed)
{
    testsupport::TempDir dir;
    const QString real = dir.write("secret.txt", "private");
    const QString link = dir.file("holiday.txt");
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(read_note_file(link), QStringLiteral("private"));   // a file the user picked
    QString why;
    EXPECT_FALSE(read_note_file(link, &why, NoteLinks::Refuse));
    EXPECT_TRUE(why.contains("a link, not a plain file")) << why.toStdString();
    EXPECT_EQ(read_note_file(real, &why, NoteLinks::Refuse), QStringLiteral("private"));
    // A folder is no note file either way.
    EXPECT_FALSE(read_note_file(dir.path(), &why));
    EXPECT_TRUE(why.contains("not a regular file")) << why.toStdString();
}
