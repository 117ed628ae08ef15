#include "rtf_test_util.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_reader.h"
#include "platform/richtext/rtf_writer.h"

#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace mosswick::richtext;
using namespace richtext_test;

namespace {

// Reads a note both ways; they must agree, and the writer must take the result.
QString shown(const QString& rtf, QTextDocument* out = nullptr)
{
    QTextDocument doc;
    QTextDocument& target = out ? *out : doc;
    read_rtf(rtf, target);
    const QString text = plain_text_of(target);
    EXPECT_EQ(extract_plain_text(rtf), text);
    EXPECT_TRUE(write_rtf(target).startsWith(QStringLiteral("{\\rtf1")));
    return text;
}

} // namespace

TEST(RichTextHostile, UnbalancedBraces)
{
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 never closed {\\b bold")), QStringLiteral("never closed bold"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 closed}}}} ignored {after}")), QStringLiteral("closed"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 {{{a}b}")), QStringLiteral("ab"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}")), QString());
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1{\\pict 0123")), QString());
}

TEST(RichTextHostile, TruncatedEscapes)
{
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\'4")), QStringLiteral("a"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\'")), QStringLiteral("a"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\'zzb}")), QStringLiteral("azzb"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\'4gb}")), QStringLiteral("agb"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\")), QStringLiteral("a"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\u")), QStringLiteral("a"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\u-")), QStringLiteral("a-"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\bin")), QStringLiteral("a"));
    // A lead byte whose second byte never comes stands for one unknown character.
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 x\\'82")), QString::fromUtf16(u"x\uFFFD"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 x\\'82\\par y}")),
              QString::fromUtf16(u"x\uFFFD\r\ny"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1\\ansicpg65001 \\'e2\\'82}")), QString::fromUtf16(u"\uFFFD"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 \\u-10179?x}")), QString::fromUtf16(u"\uFFFDx"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 \\u-8704?x}")), QString::fromUtf16(u"\uFFFDx"));
}

TEST(RichTextHostile, HugeNumbersAreBounded)
{
    QTextDocument doc;
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1\\fs999999999999999999999 big\\fs-5 small}"), &doc), QStringLiteral("bigsmall"));
    EXPECT_DOUBLE_EQ(font_size_of(doc.begin().begin().fragment().charFormat(), QFont()), 1638.0);
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1\\u99999999999?a\\u-99999?b\\u65536?c}")),
              QString::fromUtf16(u"\uFFFDa\uFFFDb\uFFFDc"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1\\li99999999999\\fi-99999999999\\ri-4 indented\\par}"), &doc),
              QStringLiteral("indented"));
    EXPECT_EQ(indents_of(doc.begin().blockFormat(), false).left_twips, 31680);
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1\\cf99999999999\\f99999999999\\ls99999999999\\ilvl-9 text}"), &doc),
              QStringLiteral("text"));
    EXPECT_FALSE(has_explicit_colour(doc.begin().begin().fragment().charFormat()));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1\\uc99999999999\\u65 skipped}shown}")), QStringLiteral("A"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1\\ansicpg99999999999999 \\'e9}")), QString::fromUtf16(u"\u00e9"));
}

TEST(RichTextHostile, BinaryLengths)
{
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\bin999999999999999 xyz}")), QStringLiteral("a"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\bin-5 xyz}")), QStringLiteral("axyz"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a{\\pict\\bin999999999 }b}")), QStringLiteral("a"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\bin2 }}b}")), QStringLiteral("ab"));
}

TEST(RichTextHostile, DeepNestingIsBoundedAndStillShowsText)
{
    const int depth = 200000;
    QString rtf = QStringLiteral("{\\rtf1 ");
    rtf += QString(depth, u'{') + QStringLiteral("\\b deep") + QString(depth, u'}') + QStringLiteral(" top}");
    EXPECT_EQ(shown(rtf), QStringLiteral("deep top"));

    QString skipped = QStringLiteral("{\\rtf1 a") + QString(600, u'{') + QStringLiteral("{\\*\\x ") + QString(depth, u'{')
                      + QString(depth, u'}') + QStringLiteral("}") + QStringLiteral("in") + QString(600, u'}')
                      + QStringLiteral("b}");
    EXPECT_EQ(shown(skipped), QStringLiteral("ainb"));

    // Only opening braces: no stack growth beyond the bound, no recursion.
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 x") + QString(depth, u'{') + QStringLiteral("\\fonttbl y")), QStringLiteral("x"));
}

TEST(RichTextHostile, HugeTablesAreBounded)
{
    QString rtf = QStringLiteral("{\\rtf1{\\colortbl") + QString(100000, u';') + QStringLiteral("}{\\fonttbl");
    for (int i = 0; i < 20000; ++i)
        rtf += QStringLiteral("{\\f%1 F%1;}").arg(i);
    rtf += QStringLiteral("}\\cf99999\\f19999 x\\f2 y}");
    QTextDocument doc;
    EXPECT_EQ(shown(rtf, &doc), QStringLiteral("xy"));
    const QString name = font_name_of(doc.begin().begin().fragment().charFormat(), QFont(QStringLiteral("Default")));
    EXPECT_EQ(name, QStringLiteral("Default")); // past the table bound
    EXPECT_EQ(write_rtf(doc).count(QStringLiteral("\\f")) < 20, true);
}

TEST(RichTextHostile, LongControlWordsAndControlCharacters)
{
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a\\") + QString(100000, u'x') + QStringLiteral("123 b}")), QStringLiteral("ab"));
    QString controls = QStringLiteral("{\\rtf1 a");
    for (char16_t c = 1; c < 0x20; ++c)
        controls += QChar(c);
    controls += QStringLiteral("b\\'01\\'1f\\u7?c}");
    EXPECT_EQ(shown(controls), QStringLiteral("a\tb\x01\x1f\x07" "c"));
}

TEST(RichTextHostile, InputAfterTheDocumentIsIgnored)
{
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a}{\\rtf1 b}")), QStringLiteral("a"));
    EXPECT_EQ(shown(QStringLiteral("{\\rtf1 a}\\par text")), QStringLiteral("a"));
}
