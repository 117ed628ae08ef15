#include "rtf_test_util.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_reader.h"
#include "platform/richtext/rtf_writer.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

#include <gtest/gtest.h>

using namespace mosswick::richtext;
using namespace richtext_test;

namespace {

// A document as a note box holds it: the reset font as default.
struct NoteDocument {
    NoteDocument() { doc.setDefaultFont(default_document_font()); }
    QTextDocument doc;
};

QString round_trip_description(const QTextDocument& doc)
{
    QTextDocument again;
    again.setDefaultFont(doc.defaultFont());
    read_rtf(write_rtf(doc), again);
    return describe(again);
}

// Every feature the layer keeps, built through the document API as an
// editing session would.
void build_every_feature(QTextDocument& doc)
{
    QTextCursor c(&doc);
    c.setBlockFormat(make_block_format(k_align_centre, {}, false));
    c.insertText(QStringLiteral("Title"),
                 make_char_format(QStringLiteral("Times New Roman"), 14, QColor(200, 0, 0), true, false, false, false));
    c.insertBlock(make_block_format(k_align_left, {}, false));
    const QString fonts[] = {QStringLiteral("Comic Sans MS"), QStringLiteral("Courier"), QStringLiteral("Courier New"),
                             QStringLiteral("Fixedsys"), QStringLiteral("MS Sans Serif"), QStringLiteral("Garamond")};
    for (const QString& font : fonts)
        c.insertText(font + u' ', make_char_format(font, 8, QColor(Qt::black), false, false, false, false));
    c.insertText(QStringLiteral("italic "), make_char_format(fonts[0], 8.5, QColor(), false, true, false, false));
    c.insertText(QStringLiteral("under "), make_char_format(fonts[0], 9, QColor(0, 0, 255), false, false, true, false));
    c.insertText(QStringLiteral("struck"), make_char_format(fonts[0], 20, QColor(0, 128, 0), false, false, false, true));
    c.insertBlock(make_block_format(k_align_right, {0, 0, 360}, false));
    const QTextCharFormat plain = reset_char_format();
    c.insertText(QStringLiteral("right\ttab"), plain);
    c.insertText(QString(QChar::LineSeparator), plain);
    c.insertText(QString::fromUtf16(u"line caf\u00e9 \u20ac \u0416 \U0001F600 {\\} ; ?"), plain);
    c.insertBlock(make_block_format(3, {360, 240, 0}, false));
    c.insertText(QStringLiteral("justified and indented"), plain);
    c.insertBlock(make_block_format(k_align_left, {k_bullet_left_twips, k_bullet_first_twips, 0}, true));
    c.insertText(QStringLiteral("bullet one"), plain);
    c.createList(make_list_format(ListStyle::Bullet));
    c.insertBlock();
    c.insertText(QStringLiteral("bullet two"), plain);
    c.insertBlock(make_block_format(k_align_left, {360, -360, 0}, true));
    c.insertText(QStringLiteral("number one"), plain);
    c.createList(make_list_format(ListStyle::LowerRoman));
    c.insertBlock();
    c.insertText(QStringLiteral("number two"), plain);
    c.insertBlock(make_block_format(k_align_left, {}, false));
    c.setBlockCharFormat(make_char_format(fonts[2], 18, QColor(), false, false, false, false));
}

} // namespace

TEST(RichTextWriter, ResetNoteIsWrittenAsTheBoxWritesIt)
{
    NoteDocument note;
    read_note(QStringLiteral("Hello"), note.doc, reset_char_format(), reset_block_format());
    EXPECT_EQ(write_rtf(note.doc),
              QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
                             "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
                             "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs16 Hello\\par\r\n"
                             "}\r\n"));
}

TEST(RichTextWriter, EmptyNoteKeepsItsTypingFormat)
{
    NoteDocument note;
    read_note(QString(), note.doc, reset_char_format(), reset_block_format());
    const QString rtf = write_rtf(note.doc);
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\pard\\cf1\\f0\\fs16\\par\r\n}")));
    QTextDocument again;
    read_rtf(rtf, again);
    EXPECT_EQ(again.blockCount(), 1);
    EXPECT_TRUE(again.isEmpty());
    EXPECT_EQ(describe(again), describe(note.doc));
}

TEST(RichTextWriter, EscapesTextAsciiOnly)
{
    NoteDocument note;
    read_note(QString::fromUtf16(u"a\\b{c}\td caf\u00e9 \u20ac \u0416\u4e2d \U0001F600\vx"), note.doc,
              reset_char_format(), reset_block_format());
    const QString rtf = write_rtf(note.doc);
    EXPECT_TRUE(rtf.contains(QStringLiteral(
        "a\\\\b\\{c\\}\\tab d caf\\'e9 \\'80 \\u1046?\\u20013? \\u-10179?\\u-8704?\\line x\\par")))
        << rtf.toStdString();
    for (QChar c : rtf)
        ASSERT_LT(c.unicode(), 0x80);
    EXPECT_EQ(extract_plain_text(rtf), plain_text_of(note.doc));
}

TEST(RichTextWriter, BulletsUseThePnFormWithPntextOnEveryItem)
{
    QTextDocument doc;
    read_rtf(k_bullet_note, doc);
    const QString rtf = write_rtf(doc);
    EXPECT_TRUE(rtf.contains(QStringLiteral("{\\f1\\fnil\\fcharset2 Symbol;}")));
    EXPECT_TRUE(rtf.contains(QStringLiteral(
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 bread\\par\r\n"
        "{\\pntext\\f1\\'B7\\tab}milk\\par\r\n\\pard after the list\\par")))
        << rtf.toStdString();
}

TEST(RichTextWriter, EveryFeatureSurvivesARoundTrip)
{
    NoteDocument note;
    build_every_feature(note.doc);
    const QString before = describe(note.doc);
    EXPECT_EQ(round_trip_description(note.doc), before);
    // Sanity: the description does see the features it compares.
    EXPECT_TRUE(before.contains(QStringLiteral("P a2 ")));
    EXPECT_TRUE(before.contains(QStringLiteral("[Times New Roman|14|#c80000|B---]Title")));
    EXPECT_TRUE(before.contains(QStringLiteral("[Comic Sans MS|8.5|auto|-I--]italic")));
    EXPECT_TRUE(before.contains(QStringLiteral("li720 fi-720 ri0 list1 ")));
    EXPECT_TRUE(before.contains(QStringLiteral("li360 fi-360 ri0 list5 ")));
    EXPECT_TRUE(before.contains(QStringLiteral("a3 li360 fi240")));
    EXPECT_TRUE(before.contains(QStringLiteral("empty[Courier New|18|")));
    EXPECT_TRUE(before.contains(QStringLiteral("<TAB>")));
    EXPECT_TRUE(before.contains(QStringLiteral("<LS>")));
}

TEST(RichTextWriter, BoxSamplesSurviveARoundTrip)
{
    for (const QString& sample : k_box_samples) {
        NoteDocument note;
        read_rtf(sample, note.doc);
        SCOPED_TRACE(sample.left(80).toStdString());
        EXPECT_EQ(round_trip_description(note.doc), describe(note.doc));
        EXPECT_EQ(extract_plain_text(write_rtf(note.doc)), extract_plain_text(sample));
    }
}

TEST(RichTextWriter, OutputIsDeterministicAndStable)
{
    NoteDocument note;
    build_every_feature(note.doc);
    const QString first = write_rtf(note.doc);
    EXPECT_EQ(write_rtf(note.doc), first);
    // Reading the output and writing it again changes nothing.
    NoteDocument again;
    read_rtf(first, again.doc);
    EXPECT_EQ(write_rtf(again.doc), first);
}

TEST(RichTextWriter, FragmentOfASelection)
{
    NoteDocument note;
    read_rtf(k_formatted_note, note.doc);
    const QTextCursor c = note.doc.find(QStringLiteral("bold"));
    ASSERT_TRUE(c.hasSelection());
    const QString rtf = write_rtf(c.selection(), note.doc.defaultFont());
    EXPECT_EQ(extract_plain_text(rtf), QStringLiteral("bold"));
    QTextDocument piece;
    read_rtf(rtf, piece);
    EXPECT_EQ(describe(piece), QStringLiteral("P a0 li0 fi0 ri0 list0 [Comic Sans MS|8|#000000|B---]bold"));
}

TEST(RichTextWriter, FontNamesWithRtfCharactersAreEscaped)
{
    NoteDocument note;
    QTextCursor c(&note.doc);
    c.insertText(QStringLiteral("x"),
                 make_char_format(QString::fromUtf16(u"Odd;Name{\\} \u00e9\u4e2d"), 10, QColor(), false, false, false, false));
    QTextDocument again;
    read_rtf(write_rtf(note.doc), again);
    EXPECT_EQ(font_name_of(again.begin().begin().fragment().charFormat(), QFont()),
              QString::fromUtf16(u"Odd;Name{\\} \u00e9\u4e2d"));
}

TEST(RichTextWriter, LongBulletListsStayOneListInRtf)
{
    QString rtf = QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\f0 "
                                 "{\\*\\pn\\pnlvlblt\\pnf1}\\fi-720\\li720 ");
    for (int i = 0; i < 300; ++i)
        rtf += QStringLiteral("{\\pntext\\f1\\'B7\\tab}item %1\\par ").arg(i);
    rtf += u'}';
    NoteDocument note;
    read_rtf(rtf, note.doc);
    ASSERT_EQ(note.doc.blockCount(), 300);
    for (QTextBlock b = note.doc.begin(); b.isValid(); b = b.next())
        ASSERT_EQ(list_style_of(b), ListStyle::Bullet) << b.text().toStdString();
    const QString written = write_rtf(note.doc);
    EXPECT_EQ(written.count(QStringLiteral("{\\*\\pn")), 1);
    EXPECT_EQ(written.count(QStringLiteral("{\\pntext")), 300);
    EXPECT_EQ(round_trip_description(note.doc), describe(note.doc));
}

TEST(RichTextWriter, UnusualFontNamesReadBackAsWritten)
{
    // Control characters and blanks around a name, a name past the length
    // bound, and a byte the font's code page lacks.
    const QString rtf = QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fcharset128 Holiday \\'01\\'ff\\'01;}{\\f1 ")
                        + QString(300, u'x') + QStringLiteral(" tail;}}\\f0 a\\f1 b}");
    NoteDocument note;
    read_rtf(rtf, note.doc);
    const QString name = font_name_of(note.doc.begin().begin().fragment().charFormat(), QFont());
    EXPECT_EQ(name, QString::fromUtf16(u"Holiday \uFFFD"));
    const QString first = write_rtf(note.doc);
    NoteDocument again;
    read_rtf(first, again.doc);
    EXPECT_EQ(describe(again.doc), describe(note.doc));
    EXPECT_EQ(write_rtf(again.doc), first);
    EXPECT_TRUE(describe(note.doc).contains(QStringLiteral("[") + QString(255, u'x') + u'|'));
}

TEST(RichTextWriter, NumberedListsContinueUnlessRestarted)
{
    // Consecutive numbered paragraphs continue one list, even across \pard
    // and changed indents; \pnrestart starts a new one.
    NoteDocument note;
    read_rtf(QStringLiteral("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec}\\li360 a\\par b\\par"
                            "\\pard{\\*\\pn\\pnlvlbody\\pndec}c\\par"
                            "\\pard{\\*\\pn\\pnlvlbody\\pnrestart\\pndec}d\\par}"),
             note.doc);
    auto item_texts = [](const QTextDocument& doc) {
        QStringList items;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            items << (b.textList() ? b.textList()->itemText(b) : QString());
        return items;
    };
    EXPECT_EQ(item_texts(note.doc), (QStringList{"1.", "2.", "3.", "1."}));
    const QString first = write_rtf(note.doc);
    EXPECT_EQ(first.count(QStringLiteral("\\pnrestart")), 1);
    NoteDocument again;
    read_rtf(first, again.doc);
    EXPECT_EQ(item_texts(again.doc), item_texts(note.doc));
    EXPECT_EQ(write_rtf(again.doc), first);
}
