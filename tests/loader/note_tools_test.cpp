#include "loader_fixture.h"

#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>

using namespace mosswick;

namespace {

void clipboard_text(const QString& text)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data.release());
}

void clipboard_rtf(const QString& rtf, const QString& plain)
{
    QGuiApplication::clipboard()->setMimeData(richtext::make_rich_mime_data(rtf, plain).release());
}

unsigned back_of(QWidget* w)
{
    return ui::to_bgr(w->palette().color(QPalette::Window));
}

const QString k_rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 bold \\b \"word\"\\b0\\par}");

} // namespace

class NoteTools : public LoaderWindow {
protected:
    void SetUp() override
    {
        LoaderWindow::SetUp();
        jpg("a.jpg");
        show(source.path());
        pick_picture("a.jpg");
        ASSERT_TRUE(pick_pending());
    }
};

TEST_F(NoteTools, ClearNoteEmptiesTheThreeBoxesAndFocusesTheNote)
{
    ctl(*window).Txt_Notes->setText("a note");
    ctl(*window).Txt_Notes->setSelBold(true);
    ctl(*window).Text27->setText("more");
    ctl(*window).text23->setText("ref");
    focus(ctl(*window).text23);
    ctl(*window).clear_note->click();
    EXPECT_EQ(ctl(*window).Txt_Notes->Text(), "");
    EXPECT_EQ(ctl(*window).Text27->Text(), "");
    EXPECT_EQ(ctl(*window).text23->text(), "");
    EXPECT_EQ(ctl(*window).Txt_Notes->SelFontName().value_or(""), "Comic Sans MS");
    EXPECT_EQ(ctl(*window).Txt_Notes->SelFontSize().value_or(0), 8);
    EXPECT_FALSE(ctl(*window).Txt_Notes->SelBold().value_or(true));
    EXPECT_TRUE(ctl(*window).Txt_Notes->hasFocus());
}

TEST_F(NoteTools, ReferenceBoxRefusesTheDoubleQuoteTypedOrPasted)
{
    focus(ctl(*window).text23);
    QTest::keyClicks(ctl(*window).text23, "a\"b");
    EXPECT_EQ(ctl(*window).text23->text(), "ab");
    EXPECT_EQ(window->message_text(), "Character not supported \"");
    // A paste holding the quote is refused whole, however it comes.
    clipboard_text("x\"y");
    for (int way = 0; way < 4; ++way) {
        window->set_message({});
        if (way == 0)
            QTest::keySequence(ctl(*window).text23, QKeySequence::Paste);
        else if (way == 1)
            ctl(*window).text23->paste();   // as the context menu does
        else if (way == 2)
            QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
        else
            QTest::mouseClick(ctl(*window).Label12_5, Qt::LeftButton);
        EXPECT_EQ(ctl(*window).text23->text(), "ab") << way;
        EXPECT_EQ(window->message_text(), "Character not supported \"") << way;
        if (way == 2)
            clipboard_rtf(k_rtf, "bold \"word\"");
    }
    clipboard_text("xy");
    QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).text23->text(), "abxy");
}

TEST_F(NoteTools, TheReferenceBoxTakesSeveralLinesUpToItsLimit)
{
    focus(ctl(*window).text23);
    QTest::keyClicks(ctl(*window).text23, "first");
    QTest::keyClick(ctl(*window).text23, Qt::Key_Return);
    QTest::keyClicks(ctl(*window).text23, "second");
    EXPECT_EQ(ctl(*window).text23->text(), "first\nsecond");
    clipboard_text("x\r\ny");
    QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).text23->text(), "first\nsecondx\ny");
    // At most 255 characters, however they come.
    ctl(*window).text23->setText(QString(300, 'r'));
    EXPECT_EQ(ctl(*window).text23->text().size(), 255);
    ctl(*window).text23->setText(QString(254, 'r'));
    QTest::keyClicks(ctl(*window).text23, "abc");
    EXPECT_EQ(ctl(*window).text23->text(), QString(254, 'r') + 'a');
    clipboard_text("more");
    QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).text23->text().size(), 255);
}

TEST_F(NoteTools, PasteRtfInterpretsInRichBoxesAndGivesPlainTextElsewhere)
{
    clipboard_rtf(k_rtf, "bold \"word\"");
    focus(ctl(*window).Txt_Notes);
    QTest::mouseClick(ctl(*window).Label12_5, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).Txt_Notes->Text(), "bold \"word\"");
    EXPECT_TRUE(ctl(*window).Txt_Notes->TextRTF().contains("\\b"));
    clipboard_rtf(QStringLiteral("{\\rtf1\\ansi bold \\b word\\b0\\par}"), "bold word");
    focus(ctl(*window).text23);
    QTest::mouseClick(ctl(*window).Label12_5, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).text23->text(), "bold word");
    // A box with a number filter takes digits only, and a text with anything
    // else not at all.
    ctl(*window).Text15->setEnabled(true);
    clipboard_text("12a3");
    focus(ctl(*window).Text15);
    QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).Text15->text(), "");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
    clipboard_text("123");
    QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).Text15->text(), "123");
}

TEST_F(NoteTools, PastingNothingChangesNothing)
{
    ctl(*window).Txt_Notes->setText("keep this");
    focus(ctl(*window).Txt_Notes);
    ctl(*window).Txt_Notes->setSelStart(0);
    ctl(*window).Txt_Notes->setSelLength(4);
    clipboard_text("only plain text");
    QTest::mouseClick(ctl(*window).Label12_5, Qt::LeftButton);   // no RTF on the clipboard
    EXPECT_EQ(ctl(*window).Txt_Notes->Text(), "keep this");
    EXPECT_EQ(ctl(*window).Txt_Notes->SelText(), "keep");
    clipboard_text("put");
    QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).Txt_Notes->Text(), "put this");
}

TEST_F(NoteTools, PasteTextWithoutTextRemovesTheSelection)
{
    ctl(*window).Txt_Notes->setText("keep this");
    focus(ctl(*window).Txt_Notes);
    ctl(*window).Txt_Notes->setSelStart(0);
    ctl(*window).Txt_Notes->setSelLength(5);
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(ctl(*window).Txt_Notes->Text(), "this");
}

TEST_F(NoteTools, SizeLabelsShowTheThreeLengths)
{
    ctl(*window).Txt_Notes->setText("one\ntwo");
    ctl(*window).text23->setText("ref");
    QTest::mouseClick(ctl(*window).note_size[0], Qt::LeftButton);
    EXPECT_EQ(ctl(*window).note_size[1]->text(), "8");   // paragraphs end in CR LF
    EXPECT_EQ(ctl(*window).note_size[2]->text(), "3");
    EXPECT_EQ(ctl(*window).note_size[0]->text(), "0");
}

TEST_F(NoteTools, LabelButtonsLightTheirPanelsWhilePressed)
{
    window->show();
    QTest::mousePress(ctl(*window).Label12_5, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_37), 0xFFFF80u);
    EXPECT_EQ(back_of(ctl(*window).Label12_5), 0xC0C0C0u);
    QTest::mouseRelease(ctl(*window).Label12_5, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_37), 0xFFFFC0u);
    EXPECT_EQ(back_of(ctl(*window).Label12_5), 0xE0E0E0u);

    QTest::mousePress(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_36), 0xFFFF80u);
    QTest::mouseRelease(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_36), 0xFFFFC0u);

    ctl(*window).Txt_Notes->setText("abc");
    QTest::mousePress(ctl(*window).note_size[2], Qt::LeftButton);
    for (QLabel* l : {ctl(*window).Label28_15, ctl(*window).Label28_23, ctl(*window).Label28_24})
        EXPECT_EQ(back_of(l), 0x000000u);
    QTest::mouseRelease(ctl(*window).note_size[2], Qt::LeftButton);
    for (QLabel* l : {ctl(*window).Label28_15, ctl(*window).Label28_23, ctl(*window).Label28_24})
        EXPECT_EQ(back_of(l), 0xC0FFC0u);
    EXPECT_EQ(ctl(*window).note_size[1]->text(), "3");   // the click refreshed them
}
