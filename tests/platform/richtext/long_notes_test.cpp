// Notes of megabytes: read by pieces so that a reader can stop, and shown
// cut short where only their beginning is wanted.
#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/richtext/rtf_reader.h"

#include <QTextDocument>

#include <gtest/gtest.h>

using namespace mosswick::richtext;

namespace {

QString long_rtf(qsizetype at_least)
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ");
    for (int i = 0; rtf.size() < at_least; ++i)
        rtf += QStringLiteral("Line {\\b %1} of a long note.\\par ").arg(i);
    return rtf + u'}';
}

} // namespace

TEST(LongNotes, AreReadWholeWhileTheReaderGoesOnAndNotAtAllWhenItStops)
{
    for (const QString& note : {long_rtf(300000), QString(300000, u'x') + QStringLiteral("\r\nend")}) {
        int asked = 0;
        QTextDocument doc;
        EXPECT_TRUE(read_note(note, doc, reset_char_format(), reset_block_format(), [&] { return ++asked > 0; }));
        EXPECT_GE(asked, 3);
        EXPECT_EQ(plain_text_of(doc), extract_plain_text(note));

        asked = 0;
        EXPECT_FALSE(read_note(note, doc, reset_char_format(), reset_block_format(), [&] { return ++asked < 2; }));
        EXPECT_EQ(asked, 2);
        EXPECT_TRUE(doc.isEmpty());
    }
}

TEST(LongNotes, PlainTextReadByPiecesKeepsEveryLineEndAndCharacterPair)
{
    // A CR LF and a surrogate pair right where a piece ends.
    QString note(65535, u'a');
    note += QStringLiteral("\r\nb");
    note += QString(65537 + 65535 - note.size(), u'c');   // the pair straddles the second piece's end
    note += QString::fromUtf16(u"\U0001F600 end");
    QTextDocument doc;
    EXPECT_TRUE(read_note(note, doc, reset_char_format(), reset_block_format(), [] { return true; }));
    EXPECT_EQ(plain_text_of(doc), extract_plain_text(note));
    EXPECT_EQ(doc.blockCount(), 2);
}

TEST(LongNotes, APreviewShowsTheBeginningAndKeepsTheWholeNote)
{
    const QString more = QStringLiteral("The rest is elsewhere.");
    RichTextBox box;
    const QString rtf = long_rtf(50000);
    EXPECT_TRUE(box.set_preview(rtf, 10000, more));
    const QString shown = box.Text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Line 0 of a long note.\r\nLine 1 of"))) << shown.left(60).toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\r\n") + more));
    EXPECT_LT(shown.size(), 10000);
    EXPECT_EQ(box.loaded_value(), rtf);
    EXPECT_EQ(box.value_for_storage(), rtf);
    EXPECT_FALSE(box.content_modified());

    // A plain note cut inside a character pair keeps the pair out whole.
    const QString plain = QString(9, u'p') + QString::fromUtf16(u"\U0001F600") + QStringLiteral("tail");
    EXPECT_TRUE(box.set_preview(plain, 10, more));
    EXPECT_EQ(box.Text(), QString(9, u'p') + QStringLiteral("\r\n") + more);
    EXPECT_EQ(box.value_for_storage(), plain);

    // Within the limit: shown whole, nothing added.
    EXPECT_FALSE(box.set_preview(QStringLiteral("short"), 10, more));
    EXPECT_EQ(box.Text(), QStringLiteral("short"));
    EXPECT_EQ(box.value_for_storage(), QStringLiteral("short"));
}

TEST(LongNotes, AStoppedLoadLeavesTheBoxEmpty)
{
    RichTextBox box;
    box.setTextRTF(QStringLiteral("before"));
    EXPECT_FALSE(box.setTextRTF(long_rtf(200000), [] { return false; }));
    EXPECT_TRUE(box.Text().isEmpty());
    EXPECT_TRUE(box.loaded_value().isEmpty());
    EXPECT_FALSE(box.content_modified());
    const QString rtf = long_rtf(200000);
    EXPECT_TRUE(box.setTextRTF(rtf, [] { return true; }));
    EXPECT_EQ(box.value_for_storage(), rtf);
    EXPECT_EQ(box.Text(), extract_plain_text(rtf));
}
