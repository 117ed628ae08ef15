#include "rtf_test_util.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_reader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

using namespace mosswick::richtext;
using namespace richtext_test;

namespace {

QTextCharFormat format_at(const QTextDocument& doc, int position)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

int position_of(const QTextDocument& doc, const QString& text)
{
    return int(plain_text_of(doc).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).indexOf(text));
}

QString read_text(const QString& rtf)
{
    QTextDocument doc;
    read_rtf(rtf, doc);
    return plain_text_of(doc);
}

} // namespace

TEST(RichTextReader, SimpleBoxNoteIsOneParagraphInItsFormat)
{
    QTextDocument doc;
    read_rtf(k_simple_note, doc);
    ASSERT_EQ(doc.blockCount(), 1); // the closing \par is the end mark, not a new paragraph
    EXPECT_EQ(plain_text_of(doc), QStringLiteral("Holiday in Brittany"));
    const QTextCharFormat f = format_at(doc, 0);
    EXPECT_EQ(font_name_of(f, QFont()), QStringLiteral("Comic Sans MS"));
    EXPECT_DOUBLE_EQ(font_size_of(f, QFont()), 8.0);
    EXPECT_TRUE(has_explicit_colour(f));
    EXPECT_EQ(colour_of(f), QColor(Qt::black));
    EXPECT_FALSE(is_bold(f));
    EXPECT_FALSE(doc.isModified());
}

TEST(RichTextReader, FormattedNoteKeepsEveryCharacterProperty)
{
    QTextDocument doc;
    read_rtf(k_formatted_note, doc);
    ASSERT_EQ(doc.blockCount(), 5);
    EXPECT_EQ(plain_text_of(doc),
              QStringLiteral("Title\r\nPlain bold italic under struck.\r\nRight in Courier New\r\n"
                             "Eight and a half\tafter tab\r\nnext line\r\nCaf\u00e9 \u20ac 5 fixed courier"));

    const QTextCharFormat title = format_at(doc, 0);
    EXPECT_TRUE(is_bold(title));
    EXPECT_DOUBLE_EQ(font_size_of(title, QFont()), 14.0);
    EXPECT_EQ(colour_of(title), QColor(255, 0, 0));
    EXPECT_EQ(alignment_code(doc.begin().blockFormat().alignment()), k_align_centre);

    EXPECT_TRUE(is_bold(format_at(doc, position_of(doc, "bold"))));
    EXPECT_FALSE(is_bold(format_at(doc, position_of(doc, "Plain"))));
    EXPECT_TRUE(format_at(doc, position_of(doc, "italic")).fontItalic());
    EXPECT_TRUE(is_underlined(format_at(doc, position_of(doc, "under"))));
    EXPECT_FALSE(is_underlined(format_at(doc, position_of(doc, "struck"))));
    EXPECT_TRUE(format_at(doc, position_of(doc, "struck")).fontStrikeOut());

    const QTextCharFormat courier = format_at(doc, position_of(doc, "Right"));
    EXPECT_EQ(font_name_of(courier, QFont()), QStringLiteral("Courier New"));
    EXPECT_EQ(colour_of(courier), QColor(0, 128, 0));
    EXPECT_EQ(alignment_code(doc.findBlock(position_of(doc, "Right")).blockFormat().alignment()),
              k_align_right);

    const QTextCharFormat half = format_at(doc, position_of(doc, "Eight"));
    EXPECT_EQ(font_name_of(half, QFont()), QStringLiteral("Times New Roman"));
    EXPECT_DOUBLE_EQ(font_size_of(half, QFont()), 8.5);
    EXPECT_FALSE(has_explicit_colour(half)); // \cf0 is the automatic colour
    EXPECT_TRUE(doc.findBlock(position_of(doc, "Eight")).text().contains(QChar::LineSeparator));

    EXPECT_EQ(font_name_of(format_at(doc, position_of(doc, "Caf")), QFont()), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(font_name_of(format_at(doc, position_of(doc, "fixed")), QFont()), QStringLiteral("Fixedsys"));
    EXPECT_EQ(font_name_of(format_at(doc, position_of(doc, "courier")), QFont()), QStringLiteral("Courier"));
}

TEST(RichTextReader, FinalParagraphMarkAddsNoParagraph)
{
    QTextDocument doc;
    read_rtf(QStringLiteral("{\\rtf1 one\\par }"), doc);
    EXPECT_EQ(doc.blockCount(), 1);
    read_rtf(QStringLiteral("{\\rtf1 one\\par\\par }"), doc);
    EXPECT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(plain_text_of(doc), QStringLiteral("one\r\n"));
    read_rtf(QStringLiteral("{\\rtf1 one\\par two}"), doc);
    EXPECT_EQ(plain_text_of(doc), QStringLiteral("one\r\ntwo"));
    read_rtf(QStringLiteral("{\\rtf1 \\qc centred}"), doc);
    EXPECT_EQ(alignment_code(doc.begin().blockFormat().alignment()), k_align_centre);
    read_rtf(QStringLiteral("{\\rtf1 \\fs40\\par}"), doc);
    ASSERT_EQ(doc.blockCount(), 1);
    EXPECT_DOUBLE_EQ(font_size_of(doc.begin().charFormat(), QFont()), 20.0);
}

TEST(RichTextReader, BoxBulletsBecomeOneBulletList)
{
    QTextDocument doc;
    read_rtf(k_bullet_note, doc);
    ASSERT_EQ(doc.blockCount(), 4);
    EXPECT_EQ(plain_text_of(doc), QStringLiteral("Shopping:\r\nbread\r\nmilk\r\nafter the list"));
    const QTextBlock heading = doc.begin();
    const QTextBlock bread = heading.next();
    const QTextBlock milk = bread.next();
    const QTextBlock after = milk.next();
    EXPECT_EQ(list_style_of(heading), ListStyle::None);
    EXPECT_EQ(list_style_of(bread), ListStyle::Bullet);
    EXPECT_EQ(list_style_of(milk), ListStyle::Bullet);
    EXPECT_EQ(bread.textList(), milk.textList());
    EXPECT_EQ(list_style_of(after), ListStyle::None);
    const ParagraphIndents expected{720, -720, 0};
    EXPECT_EQ(indents_of(bread.blockFormat(), true), expected);
    EXPECT_EQ(indents_of(milk.blockFormat(), true), expected);
    EXPECT_DOUBLE_EQ(bread.blockFormat().leftMargin(), 48.0);
    EXPECT_DOUBLE_EQ(bread.blockFormat().textIndent(), 0.0); // the bullet takes the hanging indent
    EXPECT_EQ(indents_of(after.blockFormat(), false), ParagraphIndents{});
}

TEST(RichTextReader, ListTableBulletsAndNumbers)
{
    QTextDocument doc;
    read_rtf(k_list_table_note, doc);
    ASSERT_EQ(doc.blockCount(), 5);
    EXPECT_EQ(plain_text_of(doc), QStringLiteral("Intro\r\napple\r\npear\r\nfirst\r\nsecond"));
    QTextBlock b = doc.begin();
    EXPECT_EQ(list_style_of(b), ListStyle::None);
    b = b.next();
    EXPECT_EQ(list_style_of(b), ListStyle::Bullet);
    const QTextList* bullets = b.textList();
    b = b.next();
    EXPECT_EQ(list_style_of(b), ListStyle::Bullet);
    EXPECT_EQ(b.textList(), bullets);
    b = b.next();
    EXPECT_EQ(list_style_of(b), ListStyle::Decimal);
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->itemText(b), QStringLiteral("1."));
    b = b.next();
    EXPECT_EQ(b.textList()->itemText(b), QStringLiteral("2."));
    EXPECT_EQ(indents_of(b.blockFormat(), true), (ParagraphIndents{720, -360, 0}));
}

TEST(RichTextReader, PnNumberingStyles)
{
    struct Case {
        const char* word;
        ListStyle style;
    };
    for (const Case& c : {Case{"\\pndec", ListStyle::Decimal}, Case{"\\pnlcltr", ListStyle::LowerAlpha},
                          Case{"\\pnucltr", ListStyle::UpperAlpha}, Case{"\\pnlcrm", ListStyle::LowerRoman},
                          Case{"\\pnucrm", ListStyle::UpperRoman}}) {
        QTextDocument doc;
        read_rtf(QStringLiteral("{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnindent0%1{\\pntxta.}}"
                                "\\fi-360\\li360 one\\par{\\pntext 2.\\tab}two\\par}")
                     .arg(QLatin1String(c.word)),
                 doc);
        SCOPED_TRACE(c.word);
        EXPECT_EQ(plain_text_of(doc), QStringLiteral("one\r\ntwo"));
        EXPECT_EQ(list_style_of(doc.begin()), c.style);
        EXPECT_EQ(doc.begin().textList(), doc.begin().next().textList());
    }
}

TEST(RichTextReader, CodePagesFollowFontCharsetThenDocument)
{
    struct Case {
        const char* rtf;
        const char16_t* text;
    };
    // One line per page the reader decodes; the extractor must show the same.
    const Case cases[] = {
        {"{\\rtf1\\ansi\\ansicpg1252 Caf\\'e9 \\'80 \\'93q\\'94}", u"Caf\u00e9 \u20ac \u201cq\u201d"},
        {"{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}",
         u"\u041f\u0440\u0438\u0432\u0435\u0442"},
        {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0}", u"\u041f\u0440"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset238 Arial CE;}}"
         "\\f0\\'b9\\f1\\'b9}",
         u"\u00b9\u0105"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset161 Arial Greek;}}\\f1\\'e1\\'e2}", u"\u03b1\u03b2"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset128 MS Mincho;}}\\f1\\'82\\'a0\\'83A}", u"\u3042\u30a2"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset134 SimSun;}}\\f1\\'c4\\'e3}", u"\u4f60"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\cpg1253 Greek;}}\\f1\\'e1}", u"\u03b1"},
        {"{\\rtf1\\ansi\\ansicpg65001 \\'e2\\'82\\'ac}", u"\u20ac"},
        {"{\\rtf1\\ansi\\ansicpg99999 \\'e9}", u"\u00e9"},
        {"{\\rtf1\\mac \\'8e}", u"\u00e9"},
        {"{\\rtf1\\pc \\'82\\'9c\\'e1}", u"\u00e9\u00a3\u00df"},
        {"{\\rtf1\\ansi\\ansicpg708 \\'c7}", u"\u0627"},
        {"{\\rtf1\\ansi\\ansicpg720 \\'98\\'9f}", u"\u0621\u0627"},
        {"{\\rtf1\\ansi\\ansicpg737 \\'80\\'98}", u"\u0391\u03b1"},
        {"{\\rtf1\\ansi\\ansicpg775 \\'80\\'83}", u"\u0106\u0101"},
        {"{\\rtf1\\pca \\'9b\\'d5}", u"\u00f8\u0131"},
        {"{\\rtf1\\ansi\\ansicpg852 \\'88\\'a5}", u"\u0142\u0105"},
        {"{\\rtf1\\ansi\\ansicpg855 \\'80\\'81}", u"\u0452\u0402"},
        {"{\\rtf1\\ansi\\ansicpg857 \\'8d\\'98}", u"\u0131\u0130"},
        {"{\\rtf1\\ansi\\ansicpg858 \\'d5}", u"\u20ac"},
        {"{\\rtf1\\ansi\\ansicpg860 \\'84}", u"\u00e3"},
        {"{\\rtf1\\ansi\\ansicpg861 \\'8b\\'8c}", u"\u00d0\u00f0"},
        {"{\\rtf1\\ansi\\ansicpg862 \\'80}", u"\u05d0"},
        {"{\\rtf1\\ansi\\ansicpg863 \\'84}", u"\u00c2"},
        {"{\\rtf1\\ansi\\ansicpg864 \\'b0\\'b1}", u"\u0660\u0661"},
        {"{\\rtf1\\ansi\\ansicpg865 \\'9b}", u"\u00f8"},
        {"{\\rtf1\\ansi\\ansicpg866 \\'80\\'a0}", u"\u0410\u0430"},
        {"{\\rtf1\\ansi\\ansicpg869 \\'86\\'a4}", u"\u0386\u0391"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset222 Tahoma;}}\\f1\\'a1\\'80}", u"\u0e01\u20ac"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset129 Gulim;}}\\f1\\'b0\\'a1}", u"\uac00"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset136 MingLiU;}}\\f1\\'a4\\'a4}", u"\u4e2d"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset162 Arial Tur;}}\\f1\\'fd\\'f0}", u"\u0131\u011f"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset177 David;}}\\f1\\'e0}", u"\u05d0"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset178 Arial;}}\\f1\\'c7}", u"\u0627"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset186 Arial Baltic;}}\\f1\\'e0}", u"\u0105"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset163 Arial;}}\\f1\\'d0\\'f0}", u"\u0110\u0111"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fnil\\fcharset130 Gulim;}}\\f1\\'88\\'61\\'88a}", u"\uac00\uac00"},
        {"{\\rtf1\\mac\\ansicpg10001{\\fonttbl{\\f0\\fnil\\fcharset78 Osaka;}}\\f0 "
         "\\'82\\'a8\\'93\\'c7\\'82\\'dd\\'82\\'ad\\'82\\'be\\'82\\'b3\\'82\\'a2\\'fd}",
         u"\u304a\u8aad\u307f\u304f\u3060\u3055\u3044\u00a9"},
        {"{\\rtf1\\mac{\\fonttbl{\\f1\\fnil\\fcharset85 Athens;}}\\f1\\'e1\\'e2}", u"\u03b1\u03b2"},
        // Under \mac a Windows charset means its Mac page where one decodes.
        {"{\\rtf1\\mac{\\fonttbl{\\f0\\fnil\\fcharset128 Osaka;}}\\f0 \\'80\\'a0\\'fd\\'fe\\'ff\\'5c\\'82\\'a0}",
         u"\\\u00a0\u00a9\u2122\u2026\u00a5\u3042"},
        {"{\\rtf1\\mac{\\fonttbl{\\f0\\fnil\\fcharset129 AppleGothic;}}\\f0 \\'b0\\'a1\\'80\\'81\\'82\\'83\\'fe\\'ff}",
         u"\uac00\u00a0\u20a9\u2014\u00a9\u2122\u2026"},
        {"{\\rtf1\\mac{\\fonttbl{\\f0\\fnil\\fcharset134 STSong;}}\\f0 \\'c4\\'e3\\'80\\'a0\\'fd\\'fe\\'ff}",
         u"\u4f60\u00fc\u00a0\u00a9\u2122\u2026"},
        {"{\\rtf1\\mac{\\fonttbl{\\f0\\fnil\\fcharset136 LiSung;}}\\f0 \\'a4\\'a4\\'80\\'a0\\'fd\\'fe\\'ff}",
         u"\u4e2d\\\u00a0\u00a9\u2122\u2026"},
        {"{\\rtf1\\mac{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}{\\f2\\fcharset238 C;}{\\f3\\fcharset162 D;}"
         "{\\f4\\fcharset161 E;}{\\f5\\fcharset177 F;}{\\f6\\fcharset163 G;}}"
         "\\f0\\'8e\\f1\\'80\\f2\\'84\\f3\\'da\\f4\\'a1\\f5\\'e0\\f6\\'d0}",
         u"\u00e9\u0410\u0104\u011e\u0393\u05d0\u0110"},
        {"{\\rtf1\\mac\\ansi{\\fonttbl{\\f0\\fcharset0 A;}}\\f0\\'8e}", u"\u017d"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset79 A;}{\\f2\\fcharset80 B;}{\\f3\\fcharset81 C;}}"
         "\\f1\\'b0\\'a1\\'81\\f2\\'c4\\'e3\\'80\\f3\\'a4\\'a4\\'80}",
         u"\uac00\u20a9\u4f60\u00fc\u4e2d\\"},
        {"{\\rtf1\\mac\\ansicpg10003 \\'b0\\'a1\\'83}", u"\uac00\u00a9"},
        {"{\\rtf1\\mac{\\fonttbl{\\f1\\fnil\\fcharset89 Moscow;}}\\f1\\'80\\'e0}", u"\u0410\u0430"},
        {"{\\rtf1\\mac\\ansicpg10017 \\'80\\'a2}", u"\u0410\u0490"},
        {"{\\rtf1\\mac{\\fonttbl{\\f1\\fnil\\fcharset88 Prague;}}\\f1\\'84\\'81}", u"\u0104\u0100"},
        {"{\\rtf1\\mac\\ansicpg10079 \\'de}", u"\u00de"},
        {"{\\rtf1\\mac{\\fonttbl{\\f1\\fnil\\fcharset86 Ankara;}}\\f1\\'da\\'dd}", u"\u011e\u0131"},
        {"{\\rtf1\\ansi\\ansicpg20866 \\'c1\\'e1}", u"\u0430\u0410"},
        {"{\\rtf1\\ansi\\ansicpg20932 \\'a4\\'a2}", u"\u3042"},
        {"{\\rtf1\\ansi\\ansicpg20936 \\'c4\\'e3}", u"\u4f60"},
        {"{\\rtf1\\ansi\\ansicpg21866 \\'a4\\'ad}", u"\u0454\u0491"},
        {"{\\rtf1\\ansi\\ansicpg28591 \\'80\\'e9}", u"\u0080\u00e9"},
        {"{\\rtf1\\ansi\\ansicpg28592 \\'b1}", u"\u0105"},
        {"{\\rtf1\\ansi\\ansicpg28593 \\'b1}", u"\u0127"},
        {"{\\rtf1\\ansi\\ansicpg28594 \\'a2}", u"\u0138"},
        {"{\\rtf1\\ansi\\ansicpg28595 \\'b0}", u"\u0410"},
        {"{\\rtf1\\ansi\\ansicpg28596 \\'c7}", u"\u0627"},
        {"{\\rtf1\\ansi\\ansicpg28597 \\'e1}", u"\u03b1"},
        {"{\\rtf1\\ansi\\ansicpg28598 \\'e0}", u"\u05d0"},
        {"{\\rtf1\\ansi\\ansicpg28599 \\'fd}", u"\u0131"},
        {"{\\rtf1\\ansi\\ansicpg28603 \\'e0}", u"\u0105"},
        {"{\\rtf1\\ansi\\ansicpg28605 \\'a4}", u"\u20ac"},
        {"{\\rtf1\\ansi\\ansicpg51932 \\'a4\\'a2\\'8e\\'b1\\'8f\\'b0\\'a1}", u"\u3042\uff71\u4e02"},
        {"{\\rtf1\\ansi\\ansicpg51936 \\'c4\\'e3}", u"\u4f60"},
        {"{\\rtf1\\ansi\\ansicpg51949 \\'b0\\'a1}", u"\uac00"},
        {"{\\rtf1\\ansi\\ansicpg54936 \\'81\\'30\\'84\\'36\\'c4\\'e3\\'810\\'846}", u"\u00a5\u4f60\u00a5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        const QString rtf = QString::fromLatin1(c.rtf);
        EXPECT_EQ(read_text(rtf), QString::fromUtf16(c.text));
        EXPECT_EQ(extract_plain_text(rtf), QString::fromUtf16(c.text));
    }
}

TEST(RichTextReader, UnicodeEscapesAndTheirFallbacks)
{
    struct Case {
        const char* rtf;
        const char16_t* text;
    };
    const Case cases[] = {
        {"{\\rtf1\\uc1\\u1055?\\u1088?ok}", u"\u041f\u0440ok"},
        {"{\\rtf1\\uc0\\u8364 x}", u"\u20acx"},
        {"{\\rtf1\\uc2\\u26085\\'93\\'fa!}", u"\u65e5!"},
        {"{\\rtf1\\u8364\\'80 euro}", u"\u20ac euro"},
        {"{\\rtf1\\u-10179?\\u-8704?}", u"\U0001F600"},
        {"{\\rtf1{\\uc3\\u1055 abc}def}", u"\u041fdef"},
        {"{\\rtf1\\u1055{?}x}", u"\u041f?x"},
        {"{\\rtf1 \\~\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\_}",
         u"\u00a0\u2014\u2013\u2018\u2019\u201c\u201d\u2022\u2011"},
        {"{\\rtf1 a\\\\b\\{c\\}}", u"a\\b{c}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(read_text(QString::fromLatin1(c.rtf)), QString::fromUtf16(c.text));
    }
}

TEST(RichTextReader, InvisibleDestinationsAreSkippedAndFieldResultsShown)
{
    EXPECT_EQ(read_text(k_hidden_parts_note), QStringLiteral("ABClinkDEFGH"));
}

TEST(RichTextReader, GroupsScopeFormattingAndPlainResets)
{
    QTextDocument doc;
    read_rtf(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}\\f0\\fs20 a{\\b\\f1\\fs30 b}c\\b\\i d\\plain e}"),
             doc);
    EXPECT_EQ(describe(doc),
              QStringLiteral("P a0 li0 fi0 ri0 list0 [Arial|10|auto|----]a[Courier|15|auto|B---]b"
                             "[Arial|10|auto|----]c[Arial|10|auto|BI--]d[Arial|12|auto|----]e"));
}

TEST(RichTextReader, FontNamesAreVerbatimAndDecodedByTheirCharset)
{
    QTextDocument doc;
    read_rtf(QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fswiss{\\*\\falt Helvetica} Weird Name Font  ;}"
                            "{\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
                            "\\f0 a\\f1 b\\f7 c}"),
             doc);
    QFont fallback(QStringLiteral("Fallback Face"));
    EXPECT_EQ(font_name_of(format_at(doc, 0), fallback), QStringLiteral("Weird Name Font"));
    EXPECT_EQ(font_name_of(format_at(doc, 1), fallback), QString::fromUtf16(u"\uff2d\uff33 \u660e\u671d"));
    EXPECT_EQ(font_name_of(format_at(doc, 2), fallback), QStringLiteral("Fallback Face"));
}

TEST(RichTextReader, ReadNoteTakesPlainTextInTheGivenFormat)
{
    QTextDocument doc;
    const QTextCharFormat format = make_char_format(QStringLiteral("Courier"), 11, QColor(Qt::blue), true,
                                                    false, false, false);
    read_note(QStringLiteral("first\r\nsecond\nthird\rfourth\vsame"), doc, format, reset_block_format());
    EXPECT_EQ(doc.blockCount(), 4);
    EXPECT_EQ(plain_text_of(doc), QStringLiteral("first\r\nsecond\r\nthird\r\nfourth\r\nsame"));
    EXPECT_EQ(describe(doc).count(QStringLiteral("[Courier|11|#0000ff|B---]")), 4);

    read_note(QStringLiteral("{\\rtf is not plain"), doc, format, reset_block_format());
    EXPECT_EQ(plain_text_of(doc), QStringLiteral("is not plain"));
    read_note(QStringLiteral(" {\\rtf1 x}"), doc, format, reset_block_format());
    EXPECT_EQ(plain_text_of(doc), QStringLiteral(" {\\rtf1 x}"));
}

TEST(RichTextReader, RtfFromBytesDecodesRawBytesByTheDocumentCodePage)
{
    EXPECT_EQ(read_text(rtf_from_bytes("{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0}")), QString::fromUtf16(u"\u041f\u0440"));
    EXPECT_EQ(read_text(rtf_from_bytes("{\\rtf1 caf\xe9 \x80}")), QString::fromUtf16(u"caf\u00e9 \u20ac"));
    // \bin data keeps its length, so what follows it is still read.
    const QByteArray with_bin("{\\rtf1 a{\\pict\\bin4 \xff}\\\xfe}b\\\\\xe9}");
    EXPECT_EQ(read_text(rtf_from_bytes(with_bin)), QString::fromUtf16(u"ab\\\u00e9"));
}
