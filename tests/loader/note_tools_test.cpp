#include "loader_fixture.h"

#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

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
        ASSERT_TRUE(window->pick_pending);
    }
};

TEST_F(NoteTools, ClearNoteEmptiesTheThreeBoxesAndFocusesTheNote)
{
    window->Txt_Notes->setText("a note");
    window->Txt_Notes->setSelBold(true);
    window->Text27->setText("more");
    window->text23->setText("ref");
    focus(window->text23);
    window->clear_note->click();
    EXPECT_EQ(window->Txt_Notes->Text(), "");
    EXPECT_EQ(window->Text27->Text(), "");
    EXPECT_EQ(window->text23->text(), "");
    EXPECT_EQ(window->Txt_Notes->SelFontName().value_or(""), "Comic Sans MS");
    EXPECT_EQ(window->Txt_Notes->SelFontSize().value_or(0), 8);
    EXPECT_FALSE(window->Txt_Notes->SelBold().value_or(true));
    EXPECT_TRUE(window->Txt_Notes->hasFocus());
}

TEST_F(NoteTools, ReferenceBoxRefusesTheDoubleQuoteTypedOrPasted)
{
    focus(window->text23);
    QTest::keyClicks(window->text23, "a\"b");
    EXPECT_EQ(window->text23->text(), "ab");
    EXPECT_EQ(window->message_text(), "Character not supported \"");
    window->set_message({});
    clipboard_text("x\"y");
    QTest::keySequence(window->text23, QKeySequence::Paste);
    EXPECT_EQ(window->text23->text(), "abxy");
    EXPECT_EQ(window->message_text(), "Character not supported \"");
    window->set_message({});
    window->Label13_Click();
    EXPECT_EQ(window->text23->text(), "abxyxy");
    EXPECT_EQ(window->message_text(), "Character not supported \"");
}

TEST_F(NoteTools, TheReferenceBoxTakesSeveralLinesUpToItsLimit)
{
    focus(window->text23);
    QTest::keyClicks(window->text23, "first");
    QTest::keyClick(window->text23, Qt::Key_Return);
    QTest::keyClicks(window->text23, "second");
    EXPECT_EQ(window->text23->text(), "first\nsecond");
    clipboard_text("x\r\ny");
    window->Label13_Click();
    EXPECT_EQ(window->text23->text(), "first\nsecondx\ny");
    // At most 255 characters, however they come.
    window->text23->setText(QString(300, 'r'));
    EXPECT_EQ(window->text23->text().size(), 255);
    window->text23->setText(QString(254, 'r'));
    QTest::keyClicks(window->text23, "abc");
    EXPECT_EQ(window->text23->text(), QString(254, 'r') + 'a');
    clipboard_text("more");
    window->Label13_Click();
    EXPECT_EQ(window->text23->text().size(), 255);
}

TEST_F(NoteTools, PasteRtfInterpretsInRichBoxesAndGivesPlainTextElsewhere)
{
    clipboard_rtf(k_rtf, "bold \"word\"");
    focus(window->Txt_Notes);
    window->Label12_Click(5);
    EXPECT_EQ(window->Txt_Notes->Text(), "bold \"word\"");
    EXPECT_TRUE(window->Txt_Notes->TextRTF().contains("\\b"));
    focus(window->text23);
    window->Label12_Click(5);
    EXPECT_EQ(window->text23->text(), "bold word");
    // A box with a number filter takes digits only.
    window->Text15->setEnabled(true);
    clipboard_text("12a3");
    focus(window->Text15);
    window->Label13_Click();
    EXPECT_EQ(window->Text15->text(), "123");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
}

TEST_F(NoteTools, PastingNothingChangesNothing)
{
    window->Txt_Notes->setText("keep this");
    focus(window->Txt_Notes);
    window->Txt_Notes->setSelStart(0);
    window->Txt_Notes->setSelLength(4);
    clipboard_text("only plain text");
    window->Label12_Click(5);   // no RTF on the clipboard
    EXPECT_EQ(window->Txt_Notes->Text(), "keep this");
    EXPECT_EQ(window->Txt_Notes->SelText(), "keep");
    clipboard_text("put");
    window->Label13_Click();
    EXPECT_EQ(window->Txt_Notes->Text(), "put this");
}

TEST_F(NoteTools, PasteTextWithoutTextRemovesTheSelection)
{
    window->Txt_Notes->setText("keep this");
    focus(window->Txt_Notes);
    window->Txt_Notes->setSelStart(0);
    window->Txt_Notes->setSelLength(5);
    QGuiApplication::clipboard()->clear();
    window->Label13_Click();
    EXPECT_EQ(window->Txt_Notes->Text(), "this");
}

TEST_F(NoteTools, SizeLabelsShowTheThreeLengths)
{
    window->Txt_Notes->setText("one\ntwo");
    window->text23->setText("ref");
    window->note_size_Click(0);
    EXPECT_EQ(window->note_size[1]->text(), "8");   // paragraphs end in CR LF
    EXPECT_EQ(window->note_size[2]->text(), "3");
    EXPECT_EQ(window->note_size[0]->text(), "0");
}

TEST_F(NoteTools, LabelButtonsLightTheirPanelsWhilePressed)
{
    window->show();
    QTest::mousePress(window->Label12_5, Qt::LeftButton);
    EXPECT_EQ(back_of(window->Label28_37), 0xFFFF80u);
    EXPECT_EQ(back_of(window->Label12_5), 0xC0C0C0u);
    QTest::mouseRelease(window->Label12_5, Qt::LeftButton);
    EXPECT_EQ(back_of(window->Label28_37), 0xFFFFC0u);
    EXPECT_EQ(back_of(window->Label12_5), 0xE0E0E0u);

    QTest::mousePress(window->Label13, Qt::LeftButton);
    EXPECT_EQ(back_of(window->Label28_36), 0xFFFF80u);
    QTest::mouseRelease(window->Label13, Qt::LeftButton);
    EXPECT_EQ(back_of(window->Label28_36), 0xFFFFC0u);

    window->Txt_Notes->setText("abc");
    QTest::mousePress(window->note_size[2], Qt::LeftButton);
    for (QLabel* l : {window->Label28_15, window->Label28_23, window->Label28_24})
        EXPECT_EQ(back_of(l), 0x000000u);
    QTest::mouseRelease(window->note_size[2], Qt::LeftButton);
    for (QLabel* l : {window->Label28_15, window->Label28_23, window->Label28_24})
        EXPECT_EQ(back_of(l), 0xC0FFC0u);
    EXPECT_EQ(window->note_size[1]->text(), "3");   // the click refreshed them
}
