#include "rtf_test_util.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_reader.h"

#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace mosswick::richtext;
using namespace richtext_test;

namespace {

// What the box shows after loading the note, through the document.
QString shown_by_document(const QString& note)
{
    QTextDocument doc;
    read_note(note, doc, reset_char_format(), reset_block_format());
    return plain_text_of(doc);
}

} // namespace

TEST(RichTextExtract, AgreesWithTheDocumentOnSamples)
{
    const QStringList notes = k_box_samples + QStringList{
        QStringLiteral("{\\rtf1 a\\par\\par\\par}"),
        QStringLiteral("{\\rtf1 \\par}"),
        QStringLiteral("{\\rtf1 a\\line\\par b\\tab\\cell c\\row d}"),
        QStringLiteral("{\\rtf1 x\\u-10179?y\\u-8704?z\\'00\\u0 w}"),
        QStringLiteral("{\\rtf1 \\u8232?\\u8233?\\u11?\\u13?\\u10?\\u64976?e}"),
        QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset128 M;}}\\f1\\'82}"),
        QStringLiteral("{\\rtf1 a\\\r\nb}"),
        QStringLiteral("plain\r\nnote\rwith\nbreaks\vand\u2028separators\u2029end"),
        QStringLiteral("lone ") + QChar(0xD83D) + QStringLiteral(" surrogate ") + QChar(0xDE00)
            + QStringLiteral(" and ") + QChar(0xFDD0) + QStringLiteral(" and ") + QChar(0) + QStringLiteral(" nul"),
        QStringLiteral("{\\rtf"),
        QStringLiteral("{\\rtf1{{{{{deep}}}}}}}}} after"),
        QString(),
        QStringLiteral(""),
    };
    for (const QString& note : notes) {
        SCOPED_TRACE(note.left(60).toStdString());
        EXPECT_EQ(extract_plain_text(note), shown_by_document(note));
    }
}

TEST(RichTextExtract, AgreesWithTheDocumentOnGeneratedMarkup)
{
    // Random mixes of the pieces RTF notes are made of, with a fixed seed.
    const QStringList pieces = {
        QStringLiteral("{"), QStringLiteral("}"), QStringLiteral("\\par "), QStringLiteral("\\line "),
        QStringLiteral("\\tab "), QStringLiteral("text "), QStringLiteral("\\b "), QStringLiteral("\\'e9"),
        QStringLiteral("\\'8"), QStringLiteral("\\u1055?"), QStringLiteral("\\u-10179?"), QStringLiteral("\\uc0 "),
        QStringLiteral("\\uc3 "), QStringLiteral("{\\*\\x hidden}"), QStringLiteral("{\\pict 00}"),
        QStringLiteral("\\v "), QStringLiteral("\\v0 "), QStringLiteral("\\bin2 ab"), QStringLiteral("\\pard "),
        QStringLiteral("{\\pntext \\'B7\\tab}"), QStringLiteral("\\fs999999999999 "), QStringLiteral(";"),
        QStringLiteral("{\\fonttbl{\\f0\\fcharset128 A;}}"), QStringLiteral("\\f0 "), QStringLiteral("\\'82"),
        QStringLiteral("{\\colortbl;\\red9;}"), QStringLiteral("\\\\"), QStringLiteral("\\{"), QStringLiteral("\r\n"),
        QStringLiteral("\\upr{a}{\\*\\ud b}"), QStringLiteral("\\*"), QStringLiteral("\\"), QStringLiteral("\\~"),
    };
    QRandomGenerator random(20240611);
    for (int round = 0; round < 3000; ++round) {
        QString note = QStringLiteral("{\\rtf1 ");
        const int count = random.bounded(1, 40);
        for (int k = 0; k < count; ++k)
            note += pieces[random.bounded(int(pieces.size()))];
        ASSERT_EQ(extract_plain_text(note), shown_by_document(note)) << note.toStdString();
    }
}

TEST(RichTextExtract, ParagraphsAndLineBreaksAreCrLf)
{
    EXPECT_EQ(extract_plain_text(QStringLiteral("{\\rtf1 one\\par two\\line three\\par}")),
              QStringLiteral("one\r\ntwo\r\nthree"));
    EXPECT_EQ(extract_plain_text(QStringLiteral("a\nb\r\nc\rd")), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(extract_plain_text(QStringLiteral("trailing\r\n")), QStringLiteral("trailing\r\n"));
    EXPECT_EQ(extract_plain_text(QStringLiteral("a\tb")), QStringLiteral("a\tb"));
}

TEST(RichTextExtract, NullAndEmptyNotesShowNothing)
{
    EXPECT_TRUE(extract_plain_text(QString()).isEmpty());
    EXPECT_TRUE(extract_plain_text(QStringLiteral("")).isEmpty());
    EXPECT_TRUE(extract_plain_text(QStringLiteral("{\\rtf1}")).isEmpty());
    EXPECT_EQ(extract_plain_text(QStringLiteral("abc.jpg")), QStringLiteral("abc.jpg"));
}

TEST(RichTextExtract, TextFoundOnlyInFormattingCodesIsNotShown)
{
    const QString shown = extract_plain_text(k_formatted_note);
    EXPECT_EQ(find_text(shown, QStringLiteral("fonttbl"), 0, 0), -1);
    EXPECT_EQ(find_text(shown, QStringLiteral("Comic Sans"), 0, 0), -1);
    EXPECT_EQ(find_text(shown, QStringLiteral("colortbl"), 0, 0), -1);
    EXPECT_GE(find_text(shown, QStringLiteral("courier new"), 0, 0), 0);
}

TEST(RichTextExtract, PlainTextOfSelection)
{
    QTextDocument doc;
    read_rtf(QStringLiteral("{\\rtf1 one\\par two\\line three}"), doc);
    QTextCursor c(&doc);
    c.setPosition(1);
    c.setPosition(10, QTextCursor::KeepAnchor);
    EXPECT_EQ(plain_text_of_selection(c), QStringLiteral("ne\r\ntwo\r\nth"));
}

TEST(RichTextFind, Options)
{
    const QString text = QStringLiteral("Notes about the note: NOTE_x, note.");
    struct Case {
        const char* needle;
        qsizetype from;
        int options;
        qsizetype expected;
    };
    const Case cases[] = {
        {"note", 0, 0, 0},
        {"note", 1, 0, 16},
        {"note", 0, k_find_match_case, 16},
        {"Note", 1, k_find_match_case, -1},
        {"note", 0, k_find_whole_word, 16},
        {"note", 17, k_find_whole_word, 30},
        {"NOTE", 0, k_find_whole_word | k_find_match_case, -1},
        {"NOTE_x", 0, k_find_whole_word | k_find_match_case, 22},
        {"note", 31, 0, -1},
        {"note", 500, 0, -1},
        {"note", -3, 0, -1},
        {"", 0, 0, -1},
        {"absent", 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.needle) + " from " + std::to_string(c.from));
        EXPECT_EQ(find_text(text, QString::fromLatin1(c.needle), c.from, c.options), c.expected);
    }
    const QString accented = QString::fromUtf16(u"\u00c9T\u00c9 \u00e9t\u00e9");
    EXPECT_EQ(find_text(accented, QString::fromUtf16(u"\u00e9t\u00e9"), 0, k_find_match_case), 4);
    EXPECT_EQ(find_text(accented, QString::fromUtf16(u"\u00e9t\u00e9"), 0, 0), 0);
}
