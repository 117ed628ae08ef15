// The note window on its own: modes, copy-in and copy-back, keys, tools,
// find and print, driven against a cell of test-owned boxes.
#include "notes/frm_note.h"
#include "notes/note_layout.h"

#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

#include <QProcess>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace mosswick;
using richtext::RichTextBox;

namespace {

const QString k_rich_note = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs20 "
    "{\\b Hello} world\\par}");

unsigned back_of(const QWidget* w)
{
    return ui::to_bgr(w->palette().color(QPalette::Window));
}

// Pages in a PDF written by Qt: its page objects are not compressed.
int pdf_pages(const QByteArray& pdf)
{
    return int(pdf.count("/Type /Page\n")) + int(pdf.count("/Type /Page\r")) + int(pdf.count("/Type /Page ")) +
           int(pdf.count("/Type /Page/"));
}

class NoteWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<QWidget>();
        note = new RichTextBox(host.get());
        reference = new QLineEdit(host.get());
        addnote = new RichTextBox(host.get());
    }

    std::unique_ptr<frmNote> open(NoteMode mode)
    {
        return std::make_unique<frmNote>(mode, NoteCell{note, reference, addnote});
    }

    // Selects all the text of a rich box.
    static void select_all(RichTextBox* box)
    {
        box->setSelStart(0);
        box->setSelLength(int(box->Text().size()));
    }

    testsupport::ScopedScriptedDialogs dialogs;
    testsupport::TempDir dir;
    std::unique_ptr<QWidget> host;
    RichTextBox* note = nullptr;
    QLineEdit* reference = nullptr;
    RichTextBox* addnote = nullptr;
};

// ---- modes and load -----------------------------------------------------------

TEST_F(NoteWindowTest, AnEditorCopiesTheCellInUnlockedWithItsHint)
{
    note->setTextRTF(k_rich_note);
    reference->setText("ref 1");
    addnote->setTextRTF("plain add note");
    auto w = open(NoteMode::Edit);

    EXPECT_EQ(w->windowTitle(), "Note");
    EXPECT_EQ(w->pos(), QPoint(0, 0));
    EXPECT_EQ(w->width(), ui::twips_to_px(10905));
    EXPECT_EQ(w->lbl_note->Text(), "Hello world");
    EXPECT_EQ(w->lbl_note->SelStart(), 0);
    EXPECT_EQ(w->Text2->text(), "ref 1");
    EXPECT_EQ(w->Text1->Text(), "plain add note");
    EXPECT_FALSE(w->lbl_note->Locked());
    EXPECT_FALSE(w->Text1->Locked());
    EXPECT_FALSE(w->Text2->isReadOnly());
    EXPECT_TRUE(w->Label1->isVisibleTo(w.get()));
    EXPECT_FALSE(w->Frame1->isVisibleTo(w.get()));
    EXPECT_TRUE(w->Command1->isVisibleTo(w.get()));
    EXPECT_TRUE(w->Label3[0]->isVisibleTo(w.get()));
    EXPECT_EQ(w->SSTab1->currentIndex(), 0);
    EXPECT_EQ(w->SSTab1->tabText(0), "Nt");
    EXPECT_EQ(w->SSTab1->tabText(1), "AdNt");
    EXPECT_EQ(w->colour_idx, 5);
    EXPECT_EQ(w->size_idx, 0);
    EXPECT_EQ(w->font_idx, 0);
    EXPECT_EQ(w->found_pos, 0);
    EXPECT_EQ(back_of(w->Label28[5]), 0x000000u);
    EXPECT_EQ(back_of(w->Label28[0]), 0xFFFFFFu);
    EXPECT_EQ(back_of(w->Label5[0]), 0x000000u);
    EXPECT_EQ(back_of(w->Label9[0]), 0x000000u);
    EXPECT_TRUE(w->Option1[0]->isChecked());
    EXPECT_EQ(w->Command1->toolTip(), "Ok/Done.");
    EXPECT_EQ(w->Command2->toolTip(), "Cancel/Close the window.");
}

TEST_F(NoteWindowTest, AViewerIsNarrowLockedAndCannotCopyBack)
{
    note->setTextRTF("viewer note");
    reference->setText("r");
    auto w = open(NoteMode::View);
    QSignalSpy finished(w.get(), &QDialog::finished);

    EXPECT_EQ(w->width(), ui::twips_to_px(5625));
    EXPECT_TRUE(w->lbl_note->Locked());
    EXPECT_TRUE(w->Text1->Locked());
    EXPECT_TRUE(w->Text2->isReadOnly());
    EXPECT_FALSE(w->Label1->isVisibleTo(w.get()));
    EXPECT_TRUE(w->Frame1->isVisibleTo(w.get()));
    EXPECT_TRUE(w->OptionBTN[0]->isChecked());
    EXPECT_FALSE(w->Command1->isVisibleTo(w.get()));
    EXPECT_FALSE(w->Label3[0]->isVisibleTo(w.get()));
    EXPECT_FALSE(w->Label27->isVisibleTo(w.get()));
    EXPECT_TRUE(w->Text_Find->isVisibleTo(w.get()));
    EXPECT_TRUE(w->Label25->isVisibleTo(w.get()));
    EXPECT_EQ(w->Command2->x(), ui::twips_to_px(10440 - 5310));
    EXPECT_EQ(w->Command2->y(), ui::twips_to_px(10170 - 450));
    EXPECT_EQ(w->Label26->x(), ui::twips_to_px(5820 - 750));
    EXPECT_LE(w->Command2->geometry().right(), w->width());
    EXPECT_LE(w->Label26->geometry().right(), w->width());

    // A viewer shows the text but typing changes nothing.
    w->lbl_note->setFocus();
    QTest::keyClicks(w->lbl_note, "xyz");
    EXPECT_EQ(w->lbl_note->Text(), "viewer note");

    // Its OK, even reached by code, copies nothing back and closes nothing.
    w->lbl_note->setText("changed");
    w->Command1_Click();
    EXPECT_EQ(note->Text(), "viewer note");
    EXPECT_EQ(finished.count(), 0);
}

// ---- OK and Cancel ------------------------------------------------------------------

TEST_F(NoteWindowTest, OkWithNothingChangedGivesTheCellItsTextsVerbatim)
{
    note->setTextRTF(k_rich_note);
    reference->setText("ref");
    addnote->setTextRTF(QString());   // a Null field
    auto w = open(NoteMode::Edit);
    QSignalSpy finished(w.get(), &QDialog::finished);
    w->Command1_Click();

    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), int(QDialog::Accepted));
    EXPECT_EQ(note->value_for_storage(), k_rich_note);
    EXPECT_EQ(reference->text(), "ref");
    EXPECT_TRUE(addnote->value_for_storage().isNull());
}

TEST_F(NoteWindowTest, FormattingTheNoteLeavesANullAdditionalNoteNull)
{
    note->setTextRTF("old note");
    addnote->setTextRTF(QString());
    auto w = open(NoteMode::Edit);
    w->lbl_note->selectAll();
    w->Label8_Click(1);    // a style tool: it reaches both boxes
    w->Label15_Click(2);   // centred
    w->Command1_Click();
    EXPECT_TRUE(addnote->value_for_storage().isNull());
    EXPECT_NE(note->value_for_storage(), QStringLiteral("old note"));
}

TEST_F(NoteWindowTest, OkCopiesTheEditedTextsBack)
{
    note->setTextRTF("old note");
    auto w = open(NoteMode::Edit);
    w->lbl_note->setFocus();
    w->lbl_note->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->lbl_note, " 2 more");   // "2" is text in an editor
    w->Text2->setText("new ref");
    w->SSTab1->setCurrentIndex(1);
    QTest::keyClicks(w->Text1, "added");
    w->Command1_Click();

    EXPECT_EQ(note->Text(), "old note 2 more");
    EXPECT_TRUE(note->value_for_storage().startsWith("{\\rtf"));
    EXPECT_EQ(reference->text(), "new ref");
    EXPECT_EQ(addnote->Text(), "added");
}

TEST_F(NoteWindowTest, OkWithAllBoxesEmptiedCopiesEmptyTexts)
{
    note->setTextRTF(k_rich_note);
    reference->setText("ref");
    addnote->setTextRTF("add");
    auto w = open(NoteMode::Edit);
    w->lbl_note->clear();
    w->Text1->clear();
    w->Text2->clear();
    w->Command1_Click();
    EXPECT_EQ(note->Text(), "");
    EXPECT_EQ(addnote->Text(), "");
    EXPECT_EQ(reference->text(), "");
}

TEST_F(NoteWindowTest, ARefusedCommitKeepsTheWindowAndTheCellAsTheyWere)
{
    note->setTextRTF("keep");
    auto w = open(NoteMode::Edit);
    int asked = 0;
    w->commit = [&asked](frmNote&) {
        ++asked;
        return false;
    };
    QSignalSpy finished(w.get(), &QDialog::finished);
    w->lbl_note->setText("edited");
    w->Command1_Click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(note->Text(), "keep");
    EXPECT_EQ(w->lbl_note->Text(), "edited");
}

TEST_F(NoteWindowTest, CancelEscAndTheCloseBoxCopyNothing)
{
    for (int way = 0; way < 3; ++way) {
        note->setTextRTF("cell note");
        auto w = open(NoteMode::Edit);
        w->show();
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->lbl_note->setText("edited");
        if (way == 0)
            w->Command2_Click();
        else if (way == 1)
            QTest::keyClick(w->lbl_note, Qt::Key_Escape);
        else
            w->close();
        ASSERT_EQ(finished.count(), 1) << way;
        EXPECT_EQ(finished.at(0).at(0).toInt(), int(QDialog::Rejected)) << way;
        EXPECT_EQ(note->Text(), "cell note") << way;
    }
}

TEST_F(NoteWindowTest, TwoClosesAViewerEvenFromTheFindBoxButIsTextInAnEditor)
{
    {
        auto w = open(NoteMode::View);
        QSignalSpy finished(w.get(), &QDialog::finished);
        QTest::keyClick(w->Text_Find, '2');
        EXPECT_EQ(finished.count(), 1);
        EXPECT_EQ(w->Text_Find->text(), "");
    }
    {
        auto w = open(NoteMode::View);
        QSignalSpy finished(w.get(), &QDialog::finished);
        QTest::keyClick(w->lbl_note, '2');
        EXPECT_EQ(finished.count(), 1);
    }
    {
        auto w = open(NoteMode::Edit);
        QSignalSpy finished(w.get(), &QDialog::finished);
        QTest::keyClick(w->Text_Find, '2');
        QTest::keyClick(w->Text2, '2');
        EXPECT_EQ(finished.count(), 0);
        EXPECT_EQ(w->Text_Find->text(), "2");
        EXPECT_EQ(w->Text2->text(), "2");
    }
}

// ---- lengths, display size, reference key ---------------------------------------------

TEST_F(NoteWindowTest, LengthsCountTheVisibleCharacters)
{
    note->setTextRTF("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b Hello}\\par}");
    reference->setText("abc");
    addnote->setTextRTF("a\r\nb");
    auto w = open(NoteMode::Edit);
    EXPECT_TRUE(w->note_size[0]->text().isEmpty());
    w->show();
    QTest::mouseClick(w->note_size[1], Qt::LeftButton);
    EXPECT_EQ(w->note_size[0]->text(), "5");
    EXPECT_EQ(w->note_size[1]->text(), "3");
    EXPECT_EQ(w->note_size[2]->text(), "4");
    EXPECT_EQ(w->note_size[0]->toolTip(), "Click to show the length of the note field box in bytes");

    w->note_size_MouseDown(2);
    EXPECT_EQ(back_of(w->Label2[2]), 0x000000u);
    w->note_size_MouseUp(2);
    EXPECT_EQ(back_of(w->Label2[2]), 0xFFFFC0u);
}

TEST_F(NoteWindowTest, ADisplaySizeShowsBothBoxesLargerWithoutChangingTheNote)
{
    note->setTextRTF(k_rich_note);
    addnote->setTextRTF("add");
    auto w = open(NoteMode::View);
    w->OptionBTN[5]->setChecked(true);
    EXPECT_DOUBLE_EQ(w->lbl_note->FontSize(), 14.0);
    EXPECT_DOUBLE_EQ(w->Text1->FontSize(), 14.0);
    EXPECT_FALSE(w->lbl_note->content_modified());
    EXPECT_EQ(w->lbl_note->value_for_storage(), k_rich_note);
    EXPECT_EQ(note->value_for_storage(), k_rich_note);

    w->OptionBTN[8]->setChecked(true);
    EXPECT_DOUBLE_EQ(w->lbl_note->FontSize(), 20.0);
}

TEST_F(NoteWindowTest, TheReferenceRefusesTheDoubleQuoteButTheNotesTakeIt)
{
    auto w = open(NoteMode::Edit);
    QTest::keyClicks(w->Text2, "a\"b");
    EXPECT_EQ(w->Text2->text(), "ab");
    ASSERT_EQ(dialogs->messages().size(), 1);
    EXPECT_EQ(dialogs->messages().front(), "Character not supported \"");
    EXPECT_EQ(dialogs->asked.front().title, "");

    QTest::keyClicks(w->lbl_note, "say \"hi\"");
    EXPECT_EQ(w->lbl_note->Text(), "say \"hi\"");
    EXPECT_EQ(dialogs->messages().size(), 1);

    // A paste holding it is refused whole, by the shortcut or by "Paste Text".
    QApplication::clipboard()->setText("x\"y");
    QTest::keySequence(w->Text2, QKeySequence::Paste);
    w->Text2->setFocus();
    w->Label24_Click();
    EXPECT_EQ(w->Text2->text(), "ab");
    ASSERT_EQ(dialogs->messages().size(), 3);
    EXPECT_EQ(dialogs->messages().back(), "Character not supported \"");
    QApplication::clipboard()->setText("xy");
    w->Label24_Click();
    EXPECT_EQ(w->Text2->text(), "abxy");
}

// ---- formatting tools ---------------------------------------------------------------

TEST_F(NoteWindowTest, APaletteClickColoursBothSelectionsAndMovesTheFrame)
{
    note->setTextRTF("first box");
    addnote->setTextRTF("second box");
    auto w = open(NoteMode::Edit);
    w->show();
    select_all(w->lbl_note);
    select_all(w->Text1);
    QTest::mouseClick(w->Label3[8], Qt::LeftButton);   // column 1, row 2: red
    EXPECT_EQ(w->colour_idx, 8);
    EXPECT_EQ(w->lbl_note->SelColor(), QColor(255, 0, 0));
    EXPECT_EQ(w->Text1->SelColor(), QColor(255, 0, 0));
    EXPECT_EQ(back_of(w->Label28[8]), 0x000000u);
    EXPECT_EQ(back_of(w->Label28[5]), 0xFFFFFFu);
    EXPECT_TRUE(w->lbl_note->content_modified());
}

TEST_F(NoteWindowTest, AStyleClickOnAHalfBoldSelectionBoldsBothThenUnboldsThem)
{
    note->setTextRTF(k_rich_note);   // "Hello" bold, " world" not
    addnote->setTextRTF("plain");
    auto w = open(NoteMode::Edit);
    select_all(w->lbl_note);
    select_all(w->Text1);
    ASSERT_FALSE(w->lbl_note->SelBold().has_value());
    w->Label8_Click(0);
    EXPECT_EQ(w->lbl_note->SelBold(), true);
    EXPECT_EQ(w->Text1->SelBold(), true);
    w->Label8_Click(0);
    EXPECT_EQ(w->lbl_note->SelBold(), false);
    EXPECT_EQ(w->Text1->SelBold(), false);

    w->Label8_Click(1);
    w->Label8_Click(2);
    w->Label8_Click(3);
    EXPECT_EQ(w->Text1->SelItalic(), true);
    EXPECT_EQ(w->Text1->SelStrikeThru(), true);
    EXPECT_EQ(w->lbl_note->SelUnderline(), true);
    w->Label8_Click(4);   // no such toggle
    EXPECT_EQ(w->lbl_note->SelUnderline(), true);

    // The pressed look lives in the frame.
    w->show();
    QTest::mousePress(w->Label8[0], Qt::LeftButton);
    EXPECT_EQ(back_of(w->Label10[0]), 0x000000u);
    QTest::mouseRelease(w->Label8[0], Qt::LeftButton);
    EXPECT_EQ(back_of(w->Label10[0]), 0xFFFFFFu);
    EXPECT_EQ(w->lbl_note->SelBold(), true);   // the release was a click
}

TEST_F(NoteWindowTest, AFontLabelAppliesItsOwnFontAndTheLastChosenSize)
{
    note->setTextRTF("abc");
    addnote->setTextRTF("def");
    auto w = open(NoteMode::Edit);
    select_all(w->lbl_note);
    select_all(w->Text1);

    w->Label7_Click(1);   // before any size choice: 8
    EXPECT_EQ(w->lbl_note->SelFontName(), "Courier");
    EXPECT_EQ(w->lbl_note->SelFontSize(), 8.0);

    w->Label4_Click(5);
    EXPECT_EQ(w->size_idx, 5);
    EXPECT_EQ(w->Text1->SelFontSize(), 14.0);
    EXPECT_EQ(back_of(w->Label5[5]), 0x000000u);
    EXPECT_EQ(back_of(w->Label5[0]), 0xFFFFFFu);

    w->Label7_Click(4);   // "Garamond"
    EXPECT_EQ(w->font_idx, 4);
    EXPECT_EQ(w->lbl_note->SelFontName(), "Times New Roman");
    EXPECT_EQ(w->Text1->SelFontName(), "Times New Roman");
    EXPECT_EQ(w->Text1->SelFontSize(), 14.0);
    EXPECT_EQ(back_of(w->Label9[4]), 0x000000u);
    EXPECT_EQ(back_of(w->Label9[1]), 0xFFFFFFu);
    EXPECT_EQ(w->Label7[4]->font().family(), "Times New Roman");

    w->Label4_Click(9);   // no such size: nothing moves
    EXPECT_EQ(w->size_idx, 5);
}

TEST_F(NoteWindowTest, AlignmentAndBulletsUseTheBoxCodes)
{
    note->setTextRTF("para");
    addnote->setTextRTF("other");
    auto w = open(NoteMode::Edit);
    w->Label15_Click(1);
    EXPECT_EQ(w->lbl_note->SelAlignment(), 2);
    EXPECT_EQ(w->Text1->SelAlignment(), 2);
    w->Label15_Click(2);
    EXPECT_EQ(w->lbl_note->SelAlignment(), 1);
    w->Label15_Click(0);
    EXPECT_EQ(w->Text1->SelAlignment(), 0);

    w->Label19_Click();
    EXPECT_EQ(w->lbl_note->SelBullet(), true);
    EXPECT_EQ(w->Text1->SelBullet(), true);
    w->Label19_Click();
    EXPECT_EQ(w->lbl_note->SelBullet(), false);
    EXPECT_EQ(w->Text1->SelBullet(), false);
}

TEST_F(NoteWindowTest, TheColourDialogAppliesItsChoiceAndCancelChangesNothing)
{
    note->setTextRTF("abc");
    addnote->setTextRTF("def");
    auto w = open(NoteMode::Edit);
    select_all(w->lbl_note);
    select_all(w->Text1);
    dialogs->colors.push_back(QColor(0, 128, 0));
    w->Label_more_Click();
    EXPECT_EQ(w->lbl_note->SelColor(), QColor(0, 128, 0));
    EXPECT_EQ(w->Text1->SelColor(), QColor(0, 128, 0));
    EXPECT_EQ(w->colour_idx, 5);   // the palette frame stays

    w->Label3_Click(13);   // blue-ish swatch
    const auto before = w->lbl_note->SelColor();
    dialogs->colors.push_back(std::nullopt);
    w->Label_more_Click();
    EXPECT_EQ(w->lbl_note->SelColor(), before);
    EXPECT_EQ(dialogs->count("color"), 2);
}

TEST_F(NoteWindowTest, TheFontDialogAppliesNameSizeAndStylesAndCancelChangesNothing)
{
    note->setTextRTF("abc");
    addnote->setTextRTF("def");
    auto w = open(NoteMode::Edit);
    select_all(w->lbl_note);
    select_all(w->Text1);
    QFont chosen(QStringLiteral("Courier New"), 16);
    chosen.setBold(true);
    chosen.setUnderline(true);
    dialogs->fonts.push_back(chosen);
    w->Label_more2_Click();
    for (RichTextBox* box : {w->lbl_note, w->Text1}) {
        EXPECT_EQ(box->SelFontName(), "Courier New");
        EXPECT_EQ(box->SelFontSize(), 16.0);
        EXPECT_EQ(box->SelBold(), true);
        EXPECT_EQ(box->SelItalic(), false);
        EXPECT_EQ(box->SelUnderline(), true);
        EXPECT_EQ(box->SelStrikeThru(), false);
    }
    dialogs->fonts.push_back(std::nullopt);
    w->Label_more2_Click();
    EXPECT_EQ(w->lbl_note->SelFontName(), "Courier New");
    EXPECT_EQ(w->lbl_note->SelBold(), true);
}

TEST_F(NoteWindowTest, RtfToTextKeepsTheTextAndUnifiesItsFormat)
{
    note->setTextRTF(k_rich_note);
    addnote->setTextRTF("untouched");
    auto w = open(NoteMode::Edit);
    select_all(w->lbl_note);
    ASSERT_FALSE(w->lbl_note->SelBold().has_value());
    w->Label11_Click();
    EXPECT_EQ(w->lbl_note->Text(), "Hello world");
    select_all(w->lbl_note);
    EXPECT_TRUE(w->lbl_note->SelBold().has_value());
    // A box without a selection is left alone.
    EXPECT_EQ(w->Text1->Text(), "untouched");
    EXPECT_FALSE(w->Text1->content_modified());
}

TEST_F(NoteWindowTest, ClearNoteEmptiesAllThreeAndLeavesTheResetFormatAtTheCaret)
{
    note->setTextRTF("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40\\b\\i big bold\\par}");
    reference->setText("ref");
    addnote->setTextRTF("add");
    auto w = open(NoteMode::Edit);
    w->Text_Find->setFocus();
    w->Label27_Click();
    EXPECT_EQ(w->lbl_note->Text(), "");
    EXPECT_EQ(w->Text1->Text(), "");
    EXPECT_EQ(w->Text2->text(), "");
    EXPECT_EQ(w->focusWidget(), w->lbl_note);
    EXPECT_EQ(w->lbl_note->SelFontName(), "Comic Sans MS");
    EXPECT_EQ(w->lbl_note->SelFontSize(), 8.0);
    EXPECT_EQ(w->lbl_note->SelColor(), QColor(Qt::black));
    EXPECT_EQ(w->lbl_note->SelBold(), false);
    EXPECT_EQ(w->lbl_note->SelItalic(), false);

    w->Command1_Click();
    EXPECT_EQ(note->value_for_storage(), "");
    EXPECT_EQ(addnote->value_for_storage(), "");
    EXPECT_EQ(reference->text(), "");
}

TEST_F(NoteWindowTest, PasteGoesToTheFocusedControl)
{
    auto w = open(NoteMode::Edit);
    QApplication::clipboard()->setText("pasted");
    w->Text_Find->setFocus();
    w->Label24_Click();
    EXPECT_EQ(w->Text_Find->text(), "pasted");

    QApplication::clipboard()->setMimeData(
        richtext::make_rich_mime_data("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b rich}\\par}", "rich").release());
    w->lbl_note->setFocus();
    w->Label23_Click();
    EXPECT_EQ(w->lbl_note->Text(), "rich");
    select_all(w->lbl_note);
    EXPECT_EQ(w->lbl_note->SelBold(), true);

    // A locked box takes nothing.
    auto viewer = open(NoteMode::View);
    viewer->lbl_note->setFocus();
    viewer->Label24_Click();
    EXPECT_EQ(viewer->lbl_note->Text(), "");
}

// ---- find ----------------------------------------------------------------------

TEST_F(NoteWindowTest, NextFromTheBeginningFindsTheFirstMatchEveryTime)
{
    note->setTextRTF("note one, note two, notes");
    auto w = open(NoteMode::Edit);
    w->Text_Find->setText("note");
    for (int i = 0; i < 3; ++i) {
        w->Label22_Click(2);
        EXPECT_EQ(w->found_pos, 0);
        EXPECT_EQ(w->Label21[3]->text(), "Found");
    }
    EXPECT_EQ(w->lbl_note->SelText(), "note");
}

TEST_F(NoteWindowTest, NextFromTheLastFindWalksThroughTheMatches)
{
    note->setTextRTF("note one, note two, notes");
    auto w = open(NoteMode::Edit);
    w->Text_Find->setText("note");
    w->Option1[1]->setChecked(true);
    std::vector<int> found;
    for (int i = 0; i < 4; ++i) {
        w->Label22_Click(2);
        found.push_back(w->found_pos);
    }
    EXPECT_EQ(found, (std::vector<int>{0, 10, 20, -1}));
    EXPECT_EQ(w->Label21[3]->text(), "Not found");
    // A miss leaves the last match selected.
    EXPECT_EQ(w->lbl_note->SelStart(), 20);
    EXPECT_EQ(w->lbl_note->SelLength(), 4);
}

TEST_F(NoteWindowTest, WholeWordAndMatchCase)
{
    note->setTextRTF("notes Note note");
    auto w = open(NoteMode::Edit);
    w->Text_Find->setText("note");
    w->Label22_Click(0);
    EXPECT_EQ(w->found_pos, 6);   // "Note" is a whole word; "notes" is not
    w->Text_Find->setText("note");
    w->Label22_Click(1);
    EXPECT_EQ(w->found_pos, 0);   // case matters, not words
    w->Text_Find->setText("NOTE");
    w->Label22_Click(1);
    EXPECT_EQ(w->found_pos, -1);
    EXPECT_EQ(w->Label21[3]->text(), "Not found");
}

TEST_F(NoteWindowTest, TheAdditionalNoteTabSearchesTheAdditionalNoteAndRestarts)
{
    note->setTextRTF("alpha beta");
    addnote->setTextRTF("beta gamma beta");
    auto w = open(NoteMode::Edit);
    w->Option1[1]->setChecked(true);
    w->Text_Find->setText("beta");
    w->Label22_Click(2);
    EXPECT_EQ(w->found_pos, 6);
    EXPECT_EQ(w->start_pos, 7);

    w->SSTab1->setCurrentIndex(1);
    EXPECT_EQ(w->start_pos, 0);
    EXPECT_EQ(w->found_pos, 0);
    EXPECT_EQ(w->find_target(), w->Text1);
    w->Label22_Click(2);
    EXPECT_EQ(w->found_pos, 0);
    EXPECT_EQ(w->Text1->SelText(), "beta");
    w->Label22_Click(2);
    EXPECT_EQ(w->found_pos, 11);

    // The reference tab searches the additional note too.
    w->SSTab1->setCurrentIndex(2);
    EXPECT_EQ(w->find_target(), w->Text1);
}

TEST_F(NoteWindowTest, EnterInTheFindBoxFindsAndNeverPressesOk)
{
    note->setTextRTF("find me");
    auto w = open(NoteMode::Edit);
    w->show();
    QSignalSpy finished(w.get(), &QDialog::finished);
    w->Text_Find->setFocus();
    QTest::keyClicks(w->Text_Find, "me");
    QTest::keyClick(w->Text_Find, Qt::Key_Return);
    EXPECT_EQ(w->found_pos, 5);
    EXPECT_EQ(w->Label21[3]->text(), "Found");
    EXPECT_EQ(finished.count(), 0);
}

TEST_F(NoteWindowTest, FindPressedLookUsesItsFrame)
{
    auto w = open(NoteMode::View);
    w->Label22_MouseDown(1);
    EXPECT_EQ(back_of(w->Label21[1]), 0x000000u);
    w->Label22_MouseUp(1);
    EXPECT_EQ(back_of(w->Label21[1]), 0xFFFFFFu);
    w->Label25_MouseDown();
    EXPECT_EQ(back_of(w->Label26), 0x000000u);
    w->Label25_MouseUp();
    EXPECT_EQ(back_of(w->Label26), 0xFFFFFFu);
}

// ---- print -----------------------------------------------------------------------

class NotePrintTest : public NoteWindowTest {
protected:
    // The text a PDF shows, as poppler's pdftotext reads it.
    static QString pdf_text(const QString& pdf)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            ADD_FAILURE() << "pdftotext (poppler-utils) could not read " << pdf.toStdString();
            return {};
        }
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    void print_to(frmNote& w, const QString& pdf)
    {
        w.configure_printer = [pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        };
    }
};

TEST_F(NotePrintTest, TheFocusMustBeInANoteBox)
{
    for (int target = 0; target < 3; ++target) {
        auto w = open(NoteMode::Edit);
        if (target == 0)
            w->Text2->setFocus();
        else if (target == 1)
            w->Text_Find->setFocus();
        w->Label25_Click();
        ASSERT_EQ(dialogs->asked.size(), size_t(target + 1));
        EXPECT_EQ(dialogs->asked.back().text, "The cursor must be at least in one of the NOTES fields.");
        EXPECT_EQ(dialogs->asked.back().title, "Print error");
    }
    EXPECT_EQ(dialogs->count("print"), 0);
}

TEST_F(NotePrintTest, AllOfALongNoteOrOnlyItsSelectionGoesToThePrinter)
{
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("Line %1 of a long note\r\n").arg(i);
    note->setTextRTF(text);
    auto w = open(NoteMode::Edit);
    w->lbl_note->setFocus();

    const QString all = dir.file("all.pdf");
    print_to(*w, all);
    dialogs->prints.push_back(true);
    w->Label25_Click();
    const int all_pages = pdf_pages(testsupport::read_all(all));
    EXPECT_GT(all_pages, 1);
    const QString printed = pdf_text(all);
    EXPECT_TRUE(printed.contains("Line 0 of a long note"));
    EXPECT_TRUE(printed.contains("Line 299 of a long note"));

    const QString part = dir.file("part.pdf");
    print_to(*w, part);
    w->lbl_note->setSelStart(5);
    w->lbl_note->setSelLength(10);
    dialogs->prints.push_back(true);
    w->Label25_Click();
    EXPECT_EQ(pdf_pages(testsupport::read_all(part)), 1);
    // The page shows the selection (and the page number below it).
    const QString selection = pdf_text(part);
    EXPECT_EQ(selection.trimmed().section(u'\n', 0, 0), "0 of a lon");
    EXPECT_FALSE(selection.contains("Line"));
    EXPECT_EQ(dialogs->messages().size(), 0);
}

TEST_F(NotePrintTest, TheAdditionalNotePrintsWhenFocusedInAViewer)
{
    note->setTextRTF("the main note");
    addnote->setTextRTF("additional text");
    auto w = open(NoteMode::View);
    w->SSTab1->setCurrentIndex(1);
    w->Text1->setFocus();
    const QString pdf = dir.file("add.pdf");
    print_to(*w, pdf);
    dialogs->prints.push_back(true);
    w->Label25_Click();
    EXPECT_EQ(pdf_pages(testsupport::read_all(pdf)), 1);
    const QString printed = pdf_text(pdf);
    EXPECT_TRUE(printed.contains("additional text"));
    EXPECT_FALSE(printed.contains("main note"));
}

TEST_F(NotePrintTest, CancelPrintsNothingAndSaysNothing)
{
    note->setTextRTF("text");
    auto w = open(NoteMode::Edit);
    w->lbl_note->setFocus();
    const QString pdf = dir.file("cancel.pdf");
    print_to(*w, pdf);
    dialogs->prints.push_back(false);
    w->Label25_Click();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(dialogs->messages().size(), 0);
}

TEST_F(NotePrintTest, APrinterThatFailsIsReported)
{
    note->setTextRTF("text");
    auto w = open(NoteMode::Edit);
    w->lbl_note->setFocus();
    print_to(*w, dir.file("missing-folder/out.pdf"));
    dialogs->prints.push_back(true);
    w->Label25_Click();
    EXPECT_EQ(dialogs->messages(), QStringList{"The note could not be printed."});
}

} // namespace
