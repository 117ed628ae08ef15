#include "rtf_test_util.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rich_text_box.h"

#include "support/test_support.h"

#include <QFontInfo>
#include <QPrinter>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace mosswick::richtext;
using namespace richtext_test;

namespace {

// Selects the first occurrence of text in the box.
void select(RichTextBox& box, const QString& text)
{
    ASSERT_GE(box.Find(text, 0, k_find_match_case), 0) << text.toStdString();
}

void expect_reset_typing_format(const RichTextBox& box)
{
    EXPECT_EQ(box.SelFontName(), std::optional<QString>(QStringLiteral("Comic Sans MS")));
    EXPECT_EQ(box.SelFontSize(), std::optional<qreal>(8.0));
    EXPECT_EQ(box.SelColor(), std::optional<QColor>(QColor(Qt::black)));
    EXPECT_EQ(box.SelBold(), std::optional<bool>(false));
    EXPECT_EQ(box.SelItalic(), std::optional<bool>(false));
    EXPECT_EQ(box.SelStrikeThru(), std::optional<bool>(false));
    EXPECT_EQ(box.SelUnderline(), std::optional<bool>(false));
    EXPECT_EQ(box.SelAlignment(), std::optional<int>(k_align_left));
    EXPECT_EQ(box.SelBullet(), std::optional<bool>(false));
}

int count_pdf_pages(const QByteArray& pdf)
{
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (pdf.mid(at + 11, 1) != "s")
            ++pages;
    return pages;
}

} // namespace

TEST(RichTextBox, NewBoxTypesInTheResetFormat)
{
    RichTextBox box;
    EXPECT_TRUE(box.Text().isEmpty());
    expect_reset_typing_format(box);
    EXPECT_FALSE(box.content_modified());
    QTest::keyClicks(&box, QStringLiteral("typed"));
    EXPECT_EQ(box.Text(), QStringLiteral("typed"));
    EXPECT_TRUE(box.TextRTF().contains(QStringLiteral("\\f0\\fs16 typed\\par")));
    EXPECT_TRUE(box.content_modified());
}

TEST(RichTextBox, ResetRichTextLeavesOneBlankInTheResetFormat)
{
    RichTextBox box;
    box.setTextRTF(k_formatted_note);
    box.reset_rich_text();
    EXPECT_EQ(box.Text(), QStringLiteral(" "));
    EXPECT_FALSE(box.content_modified());
    box.setText(QString());
    EXPECT_TRUE(box.Text().isEmpty());
    expect_reset_typing_format(box);
    EXPECT_EQ(box.TextRTF(),
              QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
                             "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
                             "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs16\\par\r\n}\r\n"));

    // The free function is the same step.
    box.setTextRTF(k_bullet_note);
    reset_rich_text(box);
    EXPECT_EQ(box.Text(), QStringLiteral(" "));
    EXPECT_EQ(box.SelBullet(), std::optional<bool>(false));
}

TEST(RichTextBox, PlainTextGivenToTextRtfShowsInTheCurrentFormat)
{
    RichTextBox box;
    box.reset_rich_text();
    box.setTextRTF(QStringLiteral("abc.jpg\nsecond line"));
    EXPECT_EQ(box.Text(), QStringLiteral("abc.jpg\r\nsecond line"));
    box.selectAll();
    expect_reset_typing_format(box);

    // After formatted content, plain text takes the first character's format.
    box.setTextRTF(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Courier;}}\\f0\\fs24\\b x\\b0 y}"));
    box.setTextRTF(QStringLiteral("plain"));
    box.selectAll();
    EXPECT_EQ(box.SelFontName(), std::optional<QString>(QStringLiteral("Courier")));
    EXPECT_EQ(box.SelFontSize(), std::optional<qreal>(12.0));
    EXPECT_EQ(box.SelBold(), std::optional<bool>(true));
}

TEST(RichTextBox, TextAgreesWithTheExtractor)
{
    RichTextBox box;
    for (const QString& note : k_box_samples + QStringList{QStringLiteral("plain\r\nnote"), QString()}) {
        box.reset_rich_text();
        box.setTextRTF(note);
        EXPECT_EQ(box.Text(), extract_plain_text(note)) << note.toStdString();
    }
}

TEST(RichTextBox, FontNamesStayVerbatimWhileTheScreenSubstitutes)
{
    RichTextBox box;
    box.setTextRTF(k_simple_note);
    box.selectAll();
    EXPECT_EQ(box.SelFontName(), std::optional<QString>(QStringLiteral("Comic Sans MS")));
    const QFont shown = box.document()->begin().begin().fragment().charFormat().font();
    EXPECT_EQ(QFontInfo(shown).family(), QStringLiteral("Comic Neue"));

    for (const char* name : {"Fixedsys", "MS Sans Serif", "Courier", "Courier New", "Times New Roman"}) {
        box.selectAll();
        box.setSelFontName(QString::fromLatin1(name));
        EXPECT_EQ(box.SelFontName(), std::optional<QString>(QString::fromLatin1(name)));
        EXPECT_TRUE(box.TextRTF().contains(QStringLiteral("\\fcharset0 %1;").arg(QLatin1String(name))));
    }
}

TEST(RichTextBox, MixedSelectionsReportNull)
{
    RichTextBox box;
    box.setTextRTF(k_formatted_note);
    select(box, QStringLiteral("Plain bold"));
    EXPECT_EQ(box.SelBold(), std::nullopt);
    EXPECT_EQ(box.SelItalic(), std::optional<bool>(false));
    EXPECT_EQ(box.SelFontSize(), std::optional<qreal>(8.0));
    box.setSelBold(true);
    EXPECT_EQ(box.SelBold(), std::optional<bool>(true));
    box.setSelBold(false);
    EXPECT_EQ(box.SelBold(), std::optional<bool>(false));

    select(box, QStringLiteral("Title"));
    box.setSelStart(0);
    box.setSelLength(box.document()->characterCount());
    EXPECT_EQ(box.SelColor(), std::nullopt);
    EXPECT_EQ(box.SelFontName(), std::nullopt);
    EXPECT_EQ(box.SelFontSize(), std::nullopt);
    EXPECT_EQ(box.SelAlignment(), std::nullopt);

    select(box, QStringLiteral("Eight"));
    EXPECT_EQ(box.SelFontSize(), std::optional<qreal>(8.5));
    EXPECT_EQ(box.SelColor(), std::optional<QColor>(QColor(Qt::black))); // the automatic colour
}

TEST(RichTextBox, SettersChangeTheSelectionOrTheTypingFormat)
{
    RichTextBox box;
    box.setText(QStringLiteral("one two"));
    select(box, QStringLiteral("two"));
    box.setSelColor(QColor(255, 0, 0));
    box.setSelItalic(true);
    box.setSelUnderline(true);
    box.setSelStrikeThru(true);
    EXPECT_TRUE(box.setSelFontSize(20));
    EXPECT_FALSE(box.setSelFontSize(0));
    EXPECT_FALSE(box.setSelFontSize(5000));
    EXPECT_EQ(box.SelFontSize(), std::optional<qreal>(20.0));
    EXPECT_TRUE(box.content_modified());
    EXPECT_EQ(describe(*box.document()),
              QStringLiteral("P a0 li0 fi0 ri0 list0 [Comic Sans MS|8|#000000|----]one "
                             "[Comic Sans MS|20|#ff0000|-IUS]two"));

    // Nothing selected: only what typing will use changes.
    box.setSelStart(3);
    box.setSelBold(true);
    EXPECT_EQ(box.SelBold(), std::optional<bool>(true));
    QTest::keyClicks(&box, QStringLiteral("X"));
    EXPECT_TRUE(describe(*box.document()).contains(QStringLiteral("[Comic Sans MS|8|#000000|B---]X")));
}

TEST(RichTextBox, AlignmentCodes)
{
    RichTextBox box;
    box.setText(QStringLiteral("first\nsecond\nthird"));
    select(box, QStringLiteral("second"));
    EXPECT_TRUE(box.setSelAlignment(2));
    EXPECT_EQ(box.SelAlignment(), std::optional<int>(2));
    EXPECT_TRUE(box.TextRTF().contains(QStringLiteral("\\pard\\qc second")));
    EXPECT_TRUE(box.setSelAlignment(1));
    EXPECT_TRUE(box.TextRTF().contains(QStringLiteral("\\pard\\qr second")));
    EXPECT_FALSE(box.setSelAlignment(3));
    EXPECT_EQ(box.SelAlignment(), std::optional<int>(1));
    box.selectAll();
    EXPECT_EQ(box.SelAlignment(), std::nullopt);
    EXPECT_TRUE(box.setSelAlignment(0));
    EXPECT_EQ(box.SelAlignment(), std::optional<int>(0));
}

TEST(RichTextBox, BulletsOnAndOff)
{
    RichTextBox box;
    box.setText(QStringLiteral("head\nbread\nmilk\ntail"));
    box.setSelStart(5); // "bread" and "milk", across the paragraph end
    box.setSelLength(10);
    EXPECT_EQ(box.SelBullet(), std::optional<bool>(false));
    box.setSelBullet(true);
    EXPECT_EQ(box.SelBullet(), std::optional<bool>(true));
    const QTextBlock bread = box.document()->findBlockByNumber(1);
    const QTextBlock milk = box.document()->findBlockByNumber(2);
    EXPECT_EQ(bread.textList(), milk.textList());
    ASSERT_NE(bread.textList(), nullptr);
    EXPECT_EQ(box.Text(), QStringLiteral("head\r\nbread\r\nmilk\r\ntail"));
    const QString rtf = box.TextRTF();
    EXPECT_TRUE(rtf.contains(QStringLiteral("{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 bread")))
        << rtf.toStdString();

    // A paragraph bulleted just below joins the same list.
    select(box, QStringLiteral("tail"));
    box.setSelBullet(true);
    EXPECT_EQ(box.document()->findBlockByNumber(3).textList(), bread.textList());

    box.selectAll();
    EXPECT_EQ(box.SelBullet(), std::nullopt);
    box.setSelBullet(false);
    EXPECT_EQ(box.SelBullet(), std::optional<bool>(false));
    EXPECT_EQ(indents_of(box.document()->findBlockByNumber(1).blockFormat(), false), ParagraphIndents{});
    EXPECT_FALSE(box.TextRTF().contains(QStringLiteral("\\pn")));
}

TEST(RichTextBox, FindSelectsMatchesWithTheBoxOptions)
{
    RichTextBox box;
    box.setTextRTF(QStringLiteral("{\\rtf1 Notes on a note\\par the NOTE again: note.}"));
    EXPECT_EQ(box.Find(QStringLiteral("note"), 0, 0), 0);
    EXPECT_EQ(box.SelText(), QStringLiteral("Note"));
    EXPECT_EQ(box.Find(QStringLiteral("note"), 0, k_find_whole_word), 11);
    EXPECT_EQ(box.SelStart(), 11);
    EXPECT_EQ(box.SelLength(), 4);
    // Positions count a paragraph end as one character.
    EXPECT_EQ(box.Find(QStringLiteral("NOTE"), 0, k_find_match_case), 20);
    EXPECT_EQ(box.Find(QStringLiteral("note"), 21, k_find_match_case | k_find_whole_word), 32);

    // Walking on from each match finds them all, then -1 with the selection kept.
    std::vector<int> found;
    for (int start = 0, pos; (pos = box.Find(QStringLiteral("note"), start, 0)) >= 0; start = pos + 1)
        found.push_back(pos);
    EXPECT_EQ(found, (std::vector<int>{0, 11, 20, 32}));
    EXPECT_EQ(box.SelStart(), 32);
    EXPECT_EQ(box.Find(QStringLiteral("absent"), 0, 0), -1);
    EXPECT_EQ(box.SelStart(), 32);
    EXPECT_EQ(box.Find(QStringLiteral("note"), 0, k_find_no_highlight), 0);
    EXPECT_EQ(box.SelStart(), 32);
    EXPECT_EQ(box.Find(QString(), 0, 0), -1);
}

TEST(RichTextBox, LockedBlocksTypingButNotFormatting)
{
    RichTextBox box;
    box.setText(QStringLiteral("read only"));
    box.setLocked(true);
    EXPECT_TRUE(box.Locked());
    box.setSelStart(0);
    QTest::keyClicks(&box, QStringLiteral("xyz"));
    EXPECT_EQ(box.Text(), QStringLiteral("read only"));
    box.selectAll();
    box.setSelBold(true);
    EXPECT_EQ(box.SelBold(), std::optional<bool>(true));
    box.setLocked(false);
    box.setSelStart(0);
    QTest::keyClicks(&box, QStringLiteral("w"));
    EXPECT_EQ(box.Text(), QStringLiteral("wread only"));
}

TEST(RichTextBox, FontSizeIsADisplaySetting)
{
    RichTextBox box;
    box.setTextRTF(k_formatted_note);
    box.setFontSize(14);
    EXPECT_DOUBLE_EQ(box.FontSize(), 14.0);
    box.selectAll();
    EXPECT_EQ(box.SelFontSize(), std::optional<qreal>(14.0));
    EXPECT_FALSE(box.content_modified());
    EXPECT_EQ(box.value_for_storage(), k_formatted_note);
}

TEST(RichTextBox, ANullFieldFormattedButLeftEmptyStaysNull)
{
    RichTextBox box;
    box.setTextRTF(QString());
    box.setSelAlignment(2);
    box.setSelBold(true);
    box.setSelColor(Qt::red);
    EXPECT_TRUE(box.content_modified());
    EXPECT_TRUE(box.value_for_storage().isNull());

    // Text typed into it makes it a note like any other.
    QTest::keyClicks(&box, QStringLiteral("x"));
    EXPECT_EQ(extract_plain_text(box.value_for_storage()), QStringLiteral("x"));

    // An empty but not Null field keeps what the formatting made of it.
    box.setTextRTF(QStringLiteral(""));
    box.setSelAlignment(2);
    EXPECT_FALSE(box.value_for_storage().isNull());
}

TEST(RichTextBox, UnmodifiedNotesAreStoredVerbatim)
{
    RichTextBox box;
    box.setTextRTF(k_list_table_note);
    EXPECT_FALSE(box.content_modified());
    EXPECT_EQ(box.value_for_storage(), k_list_table_note);

    box.setTextRTF(QStringLiteral("plain name.jpg"));
    EXPECT_EQ(box.value_for_storage(), QStringLiteral("plain name.jpg"));

    box.setTextRTF(QString());
    EXPECT_TRUE(box.value_for_storage().isNull()); // Null stays Null

    // Qt's own setters count as changes too, so a stale value is never stored.
    box.setTextRTF(k_simple_note);
    box.clear();
    EXPECT_TRUE(box.content_modified());
    EXPECT_TRUE(extract_plain_text(box.value_for_storage()).isEmpty());

    box.setTextRTF(k_simple_note);
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, QStringLiteral("!"));
    EXPECT_TRUE(box.content_modified());
    EXPECT_EQ(box.value_for_storage(), box.TextRTF());
    EXPECT_EQ(extract_plain_text(box.value_for_storage()), QStringLiteral("Holiday in Brittany!"));
}

TEST(RichTextBox, SelTextReplacesTheSelectionAsPlainText)
{
    RichTextBox box;
    box.setTextRTF(k_formatted_note);
    select(box, QStringLiteral("bold"));
    EXPECT_EQ(box.SelText(), QStringLiteral("bold"));
    // "RTF to Text": the selection's own text written back drops its formatting.
    box.setSelBold(false);
    box.setSelText(QStringLiteral("new\nlines"));
    EXPECT_TRUE(box.Text().contains(QStringLiteral("Plain new\r\nlines italic")));
}

TEST(RichTextBox, LoadFile)
{
    testsupport::TempDir dir;
    RichTextBox box;
    box.reset_rich_text();
    ASSERT_TRUE(box.load_file(dir.write(QStringLiteral("a.txt"), "h\xe9llo\r\nworld")));
    EXPECT_EQ(box.Text(), QString::fromUtf16(u"h\u00e9llo\r\nworld"));
    box.selectAll();
    EXPECT_EQ(box.SelFontName(), std::optional<QString>(QStringLiteral("Comic Sans MS")));

    ASSERT_TRUE(box.load_file(dir.write(QStringLiteral("a.rtf"), k_bullet_note.toLatin1())));
    EXPECT_EQ(box.Text(), extract_plain_text(k_bullet_note));
    EXPECT_EQ(box.value_for_storage(), k_bullet_note);

    QString error;
    EXPECT_FALSE(box.load_file(dir.file(QStringLiteral("none.txt")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(box.Text(), extract_plain_text(k_bullet_note));
}

TEST(RichTextBox, PrintsTheSelectionOrEverything)
{
    testsupport::TempDir dir;
    RichTextBox box;
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("Paragraph %1 of a long note.\n").arg(i);
    box.setText(text);

    auto print = [&](const QString& name) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.file(name));
        box.print_selection_or_all(printer);
        return count_pdf_pages(testsupport::read_all(dir.file(name)));
    };
    box.setSelStart(0);
    const int all_pages = print(QStringLiteral("all.pdf"));
    EXPECT_GT(all_pages, 1);
    select(box, QStringLiteral("Paragraph 7 "));
    EXPECT_EQ(print(QStringLiteral("selection.pdf")), 1);
}
