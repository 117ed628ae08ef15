#include "rtf_test_util.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_text_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using namespace mosswick::richtext;
using namespace richtext_test;

namespace {

void put_rtf(const QString& rtf, const QString& plain)
{
    QGuiApplication::clipboard()->setMimeData(make_rich_mime_data(rtf, plain).release());
}

void select(RichTextBox& box, const QString& text)
{
    ASSERT_GE(box.Find(text, 0, k_find_match_case), 0) << text.toStdString();
}

} // namespace

TEST(RichTextClipboard, MimeDataCarriesRtfAndPlainText)
{
    const auto data = make_rich_mime_data(k_simple_note, QStringLiteral("Holiday in Brittany"));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("text/rtf")));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("application/rtf")));
    EXPECT_EQ(data->text(), QStringLiteral("Holiday in Brittany"));
    EXPECT_EQ(rtf_from_mime_data(*data), k_simple_note);

    QMimeData other;
    other.setData(QStringLiteral("text/richtext"), QByteArray("{\\rtf1 caf\xe9}"));
    EXPECT_EQ(extract_plain_text(rtf_from_mime_data(other)), QString::fromUtf16(u"caf\u00e9"));
    QMimeData not_rtf;
    not_rtf.setData(QStringLiteral("text/richtext"), QByteArray("<bold>enriched</bold>"));
    not_rtf.setText(QStringLiteral("plain"));
    EXPECT_TRUE(rtf_from_mime_data(not_rtf).isEmpty());
}

TEST(RichTextClipboard, CopyAndPasteBetweenBoxesKeepsFormatting)
{
    RichTextBox source;
    source.setTextRTF(k_formatted_note);
    select(source, QStringLiteral("bold"));
    source.copy();
    EXPECT_FALSE(clipboard_rtf().isEmpty());
    EXPECT_EQ(clipboard_text(), QStringLiteral("bold"));

    RichTextBox target;
    target.setText(QStringLiteral("[] end"));
    target.setSelStart(1);
    target.paste();
    EXPECT_EQ(target.Text(), QStringLiteral("[bold] end"));
    select(target, QStringLiteral("bold"));
    EXPECT_EQ(target.SelBold(), std::optional<bool>(true));
    select(target, QStringLiteral("end"));
    EXPECT_EQ(target.SelBold(), std::optional<bool>(false));
    EXPECT_TRUE(target.content_modified());
}

TEST(RichTextClipboard, PasteRtfLabel)
{
    put_rtf(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Courier;}}\\f0\\i pasted\\par two}"), QStringLiteral("pasted\ntwo"));
    RichTextBox box;
    box.setText(QStringLiteral("replace me"));
    select(box, QStringLiteral("me"));
    EXPECT_TRUE(paste_rtf_into(&box));
    EXPECT_EQ(box.Text(), QStringLiteral("replace pasted\r\ntwo"));
    select(box, QStringLiteral("pasted"));
    EXPECT_EQ(box.SelItalic(), std::optional<bool>(true));
    EXPECT_EQ(box.SelFontName(), std::optional<QString>(QStringLiteral("Courier")));

    // A plain box gets the text the RTF shows, not its markup.
    QLineEdit line;
    EXPECT_TRUE(paste_rtf_into(&line));
    EXPECT_EQ(line.text(), QStringLiteral("pasted\ntwo"));
    QPlainTextEdit plain;
    EXPECT_TRUE(paste_rtf_into(&plain));
    EXPECT_EQ(plain.toPlainText(), QStringLiteral("pasted\ntwo"));

    // Only plain text on the clipboard: the selection goes and nothing comes.
    QGuiApplication::clipboard()->setText(QStringLiteral("just text"));
    box.setText(QStringLiteral("keep this"));
    select(box, QStringLiteral(" this"));
    EXPECT_TRUE(paste_rtf_into(&box));
    EXPECT_EQ(box.Text(), QStringLiteral("keep"));
}

TEST(RichTextClipboard, PasteTextLabel)
{
    put_rtf(QStringLiteral("{\\rtf1\\b bold}"), QStringLiteral("a \"quoted\"\nline"));
    RichTextBox box;
    box.reset_rich_text();
    box.setText(QString());
    EXPECT_TRUE(paste_text_into(&box));
    EXPECT_EQ(box.Text(), QStringLiteral("a \"quoted\"\r\nline"));
    box.selectAll();
    EXPECT_EQ(box.SelBold(), std::optional<bool>(false));
    EXPECT_EQ(box.SelFontName(), std::optional<QString>(QStringLiteral("Comic Sans MS")));

    QLineEdit find_box;
    EXPECT_TRUE(paste_text_into(&find_box));
    EXPECT_TRUE(find_box.text().startsWith(QStringLiteral("a \"quoted\"")));
}

TEST(RichTextClipboard, TargetsThatCannotTakeAPaste)
{
    put_rtf(QStringLiteral("{\\rtf1 x}"), QStringLiteral("x"));
    EXPECT_FALSE(paste_rtf_into(nullptr));
    EXPECT_FALSE(paste_text_into(nullptr));
    QWidget no_text;
    EXPECT_FALSE(paste_rtf_into(&no_text));
    RichTextBox locked;
    locked.setText(QStringLiteral("fixed"));
    locked.setLocked(true);
    locked.selectAll();
    EXPECT_FALSE(paste_rtf_into(&locked));
    EXPECT_FALSE(paste_text_into(&locked));
    EXPECT_EQ(locked.Text(), QStringLiteral("fixed"));
    QLineEdit read_only;
    read_only.setReadOnly(true);
    EXPECT_FALSE(paste_text_into(&read_only));
}
