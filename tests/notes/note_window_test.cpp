// The note window on its own: modes, the cell's texts in and, on OK, out,
// keys, tools, find and print.
#include "notes/frm_note.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/vb.h"
#include "support/note_window.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

#include <QProcess>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace mosswick;
using richtext::RichTextBox;
using testsupport::click;
using Window = const testsupport::NoteControls*;

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

// The note fields of the cell a window opens with; Null unless given.
struct CellTexts {
    QString note = {};
    QString reference = {};
    QString addnote = {};
};

class NoteWindowTest : public ::testing::Test {
protected:
    // A window opened on cell 2 with the texts given, the others Null; what
    // its OK gives back is kept in saved.
    Window open(NoteMode mode, const CellTexts& texts = {}, NoteOpener opener = {})
    {
        const NoteCell cell{2, "2", "pic002.jpg", texts.note, texts.reference, texts.addnote};
        windows.push_back(std::make_unique<frmNote>(mode, cell, nullptr, NoteWindowProfile{}, std::move(opener)));
        frmNote& w = *windows.back();
        QObject::connect(&w, &frmNote::saved, [this](const NoteCell& values) { saved.push_back(values); });
        return &testsupport::note_controls(w);
    }

    // A click on a find label: where the match the box selects starts, -1
    // when the window says "Not found".
    static int find(Window w, int label, RichTextBox* box = nullptr)
    {
        click(w->Label22[size_t(label)]);
        return w->Label21[3]->text() == "Not found" ? -1 : (box ? box : w->lbl_note)->SelStart();
    }

    static void select_all(RichTextBox* box)
    {
        box->setSelStart(0);
        box->setSelLength(int(box->Text().size()));
    }

    // An editor of a note and an additional note, all of both selected.
    Window open_selected(const QString& note, const QString& addnote)
    {
        Window w = open(NoteMode::Edit, {.note = note, .addnote = addnote});
        select_all(w->lbl_note);
        select_all(w->Text1);
        return w;
    }

    testsupport::ScopedScriptedDialogs dialogs;
    testsupport::TempDir dir;
    std::vector<NoteCell> saved;
    std::vector<std::unique_ptr<frmNote>> windows;
};

TEST_F(NoteWindowTest, AnEditorCopiesTheCellInUnlockedWithItsHint)
{
    auto w = open(NoteMode::Edit, {.note = k_rich_note, .reference = "ref 1", .addnote = "plain add note"});

    EXPECT_EQ(w->window->windowTitle(), "Note");
    EXPECT_EQ(w->window->pos(), QPoint(0, 0));
    EXPECT_EQ(w->window->width(), ui::twips_to_px(10905));
    EXPECT_EQ(w->lbl_note->Text(), "Hello world");
    EXPECT_EQ(w->lbl_note->SelStart(), 0);
    EXPECT_EQ(w->Text2->text(), "ref 1");
    EXPECT_EQ(w->Text1->Text(), "plain add note");
    EXPECT_FALSE(w->lbl_note->Locked());
    EXPECT_FALSE(w->Text1->Locked());
    EXPECT_FALSE(w->Text2->isReadOnly());
    for (QWidget* tool : std::initializer_list<QWidget*>{w->Label1, w->Command1, w->Label3[0]})
        EXPECT_TRUE(tool->isVisibleTo(w->window)) << tool->objectName().toStdString();
    EXPECT_FALSE(w->Frame1->isVisibleTo(w->window));
    EXPECT_EQ(w->SSTab1->currentIndex(), 0);
    EXPECT_EQ(w->SSTab1->tabText(0), "Nt");
    EXPECT_EQ(w->SSTab1->tabText(1), "AdNt");
    EXPECT_EQ(w->Label21[3]->text(), "");   // nothing found yet
    // The frames mark the chosen swatch, size and font.
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
    auto w = open(NoteMode::View, {.note = "viewer note", .reference = "r"});
    QSignalSpy finished(w->window, &QDialog::finished);

    EXPECT_EQ(w->window->width(), ui::twips_to_px(5625));
    EXPECT_TRUE(w->lbl_note->Locked());
    EXPECT_TRUE(w->Text1->Locked());
    EXPECT_TRUE(w->Text2->isReadOnly());
    EXPECT_TRUE(w->OptionBTN[0]->isChecked());
    for (QWidget* tool : std::initializer_list<QWidget*>{w->Label1, w->Command1, w->Label3[0], w->Label27})
        EXPECT_FALSE(tool->isVisibleTo(w->window)) << tool->objectName().toStdString();
    for (QWidget* shown : std::initializer_list<QWidget*>{w->Frame1, w->Text_Find, w->Label25})
        EXPECT_TRUE(shown->isVisibleTo(w->window)) << shown->objectName().toStdString();
    EXPECT_EQ(w->Command2->x(), ui::twips_to_px(10440 - 5310));
    EXPECT_EQ(w->Command2->y(), ui::twips_to_px(10170 - 450));
    EXPECT_EQ(w->Label26->x(), ui::twips_to_px(5820 - 750));
    EXPECT_LE(w->Command2->geometry().right(), w->window->width());
    EXPECT_LE(w->Label26->geometry().right(), w->window->width());

    // A viewer shows the text but typing changes nothing.
    w->lbl_note->setFocus();
    QTest::keyClicks(w->lbl_note, "xyz");
    EXPECT_EQ(w->lbl_note->Text(), "viewer note");

    // Its OK, even reached by code, gives nothing back and closes nothing.
    w->lbl_note->setText("changed");
    w->Command1->click();
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(finished.count(), 0);
}

TEST_F(NoteWindowTest, OkWithNothingChangedGivesTheCellItsTextsVerbatim)
{
    auto w = open(NoteMode::Edit, {.note = k_rich_note, .reference = "ref"});   // a Null additional note
    QSignalSpy finished(w->window, &QDialog::finished);
    w->Command1->click();

    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), int(QDialog::Accepted));
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].note, k_rich_note);
    EXPECT_EQ(saved[0].reference, "ref");
    EXPECT_TRUE(saved[0].addnote.isNull());
    // The cell it was opened for, as the page showed it.
    EXPECT_EQ(saved[0].cell, 2);
    EXPECT_EQ(saved[0].numpic, "2");
    EXPECT_EQ(saved[0].picfile, "pic002.jpg");
}

TEST_F(NoteWindowTest, FormattingTheNoteLeavesANullAdditionalNoteNull)
{
    auto w = open(NoteMode::Edit, {.note = "old note"});
    w->lbl_note->selectAll();
    click(w->Label8[1]);    // a style tool: it reaches both boxes
    click(w->Label15[2]);   // centred
    w->Command1->click();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_TRUE(saved[0].addnote.isNull());
    EXPECT_NE(saved[0].note, QStringLiteral("old note"));
}

TEST_F(NoteWindowTest, OkCopiesTheEditedTextsBack)
{
    auto w = open(NoteMode::Edit, {.note = "old note"});
    w->lbl_note->setFocus();
    w->lbl_note->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->lbl_note, " 2 more");   // "2" is text in an editor
    w->Text2->setText("new ref");
    w->SSTab1->setCurrentIndex(1);
    QTest::keyClicks(w->Text1, "added");
    w->Command1->click();

    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(richtext::extract_plain_text(saved[0].note), "old note 2 more");
    EXPECT_TRUE(saved[0].note.startsWith("{\\rtf"));
    EXPECT_EQ(saved[0].reference, "new ref");
    EXPECT_EQ(richtext::extract_plain_text(saved[0].addnote), "added");
}

TEST_F(NoteWindowTest, OkWithAllBoxesEmptiedCopiesEmptyTexts)
{
    auto w = open(NoteMode::Edit, {.note = k_rich_note, .reference = "ref", .addnote = "add"});
    w->lbl_note->clear();
    w->Text1->clear();
    w->Text2->clear();
    w->Command1->click();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(richtext::extract_plain_text(saved[0].note), "");
    EXPECT_EQ(richtext::extract_plain_text(saved[0].addnote), "");
    EXPECT_EQ(saved[0].reference, "");
}

TEST_F(NoteWindowTest, ARefusedCommitKeepsTheWindowAndTheCellAsTheyWere)
{
    int asked = 0;
    auto w = open(NoteMode::Edit, {.note = "keep"}, {.keep_loading = {}, .commit = [&asked](QWidget&, const NoteCell&) {
                                                        ++asked;
                                                        return false;
                                                    }});
    QSignalSpy finished(w->window, &QDialog::finished);
    w->lbl_note->setText("edited");
    w->Command1->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(w->lbl_note->Text(), "edited");
}

TEST_F(NoteWindowTest, CancelEscAndTheCloseBoxCopyNothing)
{
    for (size_t way = 0; way < testsupport::leave_without_ok.size(); ++way) {
        auto w = open(NoteMode::Edit, {.note = "cell note"});
        w->window->show();
        QSignalSpy finished(w->window, &QDialog::finished);
        w->lbl_note->setText("edited");
        testsupport::leave_without_ok[way](*w);
        ASSERT_EQ(finished.count(), 1) << way;
        EXPECT_EQ(finished.at(0).at(0).toInt(), int(QDialog::Rejected)) << way;
        EXPECT_TRUE(saved.empty()) << way;
    }
}

TEST_F(NoteWindowTest, TwoClosesAViewerEvenFromTheFindBoxButIsTextInAnEditor)
{
    for (const bool in_find_box : {true, false}) {
        auto w = open(NoteMode::View);
        QSignalSpy finished(w->window, &QDialog::finished);
        QTest::keyClick(in_find_box ? static_cast<QWidget*>(w->Text_Find) : w->lbl_note, '2');
        EXPECT_EQ(finished.count(), 1) << in_find_box;
        EXPECT_EQ(w->Text_Find->text(), "");
    }
    auto w = open(NoteMode::Edit);
    QSignalSpy finished(w->window, &QDialog::finished);
    QTest::keyClick(w->Text_Find, '2');
    QTest::keyClick(w->Text2, '2');
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(w->Text_Find->text(), "2");
    EXPECT_EQ(w->Text2->text(), "2");
}

TEST_F(NoteWindowTest, LengthsCountTheVisibleCharacters)
{
    auto w = open(NoteMode::Edit, {.note = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b Hello}\\par}",
                                   .reference = "abc",
                                   .addnote = "a\r\nb"});
    EXPECT_TRUE(w->note_size[0]->text().isEmpty());
    w->window->show();
    click(w->note_size[1]);
    EXPECT_EQ(w->note_size[0]->text(), "5");
    EXPECT_EQ(w->note_size[1]->text(), "3");
    EXPECT_EQ(w->note_size[2]->text(), "4");
    EXPECT_EQ(w->note_size[0]->toolTip(), "Click to show the length of the note field box in bytes");
}

TEST_F(NoteWindowTest, APressedLabelDarkensItsFrameUntilTheRelease)
{
    for (const NoteMode mode : {NoteMode::Edit, NoteMode::View}) {
        auto w = open(mode);
        const std::vector<std::tuple<QWidget*, QLabel*, unsigned>> labels = {
            {w->note_size[2], w->Label2[2], 0xFFFFC0u}, {w->Label22[1], w->Label21[1], 0xFFFFFFu},
            {w->Label25, w->Label26, 0xFFFFFFu}};
        for (const auto& [label, frame, rest] : labels) {
            QTest::mousePress(label, Qt::LeftButton);
            EXPECT_EQ(back_of(frame), 0x000000u) << frame->objectName().toStdString();
            QTest::mouseRelease(label, Qt::LeftButton);
            EXPECT_EQ(back_of(frame), rest) << frame->objectName().toStdString();
        }
    }
}

TEST_F(NoteWindowTest, ADisplaySizeShowsBothBoxesLargerWithoutChangingTheNote)
{
    auto w = open(NoteMode::View, {.note = k_rich_note, .addnote = "add"});
    w->OptionBTN[5]->setChecked(true);
    EXPECT_DOUBLE_EQ(w->lbl_note->FontSize(), 14.0);
    EXPECT_DOUBLE_EQ(w->Text1->FontSize(), 14.0);
    EXPECT_FALSE(w->lbl_note->content_modified());
    EXPECT_EQ(w->lbl_note->value_for_storage(), k_rich_note);
    EXPECT_EQ(w->window->values().note, k_rich_note);

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
    click(w->Label24);
    EXPECT_EQ(w->Text2->text(), "ab");
    ASSERT_EQ(dialogs->messages().size(), 3);
    EXPECT_EQ(dialogs->messages().back(), "Character not supported \"");
    QApplication::clipboard()->setText("xy");
    click(w->Label24);
    EXPECT_EQ(w->Text2->text(), "abxy");
}

TEST_F(NoteWindowTest, APaletteClickColoursBothSelectionsAndMovesTheFrame)
{
    auto w = open_selected("first box", "second box");
    w->window->show();
    click(w->Label3[8]);   // column 1, row 2: red
    EXPECT_EQ(w->lbl_note->SelColor(), QColor(255, 0, 0));
    EXPECT_EQ(w->Text1->SelColor(), QColor(255, 0, 0));
    EXPECT_EQ(back_of(w->Label28[8]), 0x000000u);
    EXPECT_EQ(back_of(w->Label28[5]), 0xFFFFFFu);
    EXPECT_TRUE(w->lbl_note->content_modified());
}

TEST_F(NoteWindowTest, AStyleClickOnAHalfBoldSelectionBoldsBothThenUnboldsThem)
{
    auto w = open_selected(k_rich_note, "plain");   // "Hello" bold, " world" not
    ASSERT_FALSE(w->lbl_note->SelBold().has_value());
    for (const bool bold : {true, false}) {
        click(w->Label8[0]);
        EXPECT_EQ(w->lbl_note->SelBold(), bold);
        EXPECT_EQ(w->Text1->SelBold(), bold);
    }

    for (size_t i = 1; i < 4; ++i)
        click(w->Label8[i]);
    EXPECT_EQ(w->Text1->SelItalic(), true);
    EXPECT_EQ(w->Text1->SelStrikeThru(), true);
    EXPECT_EQ(w->lbl_note->SelUnderline(), true);

    // The pressed look lives in the frame.
    w->window->show();
    QTest::mousePress(w->Label8[0], Qt::LeftButton);
    EXPECT_EQ(back_of(w->Label10[0]), 0x000000u);
    QTest::mouseRelease(w->Label8[0], Qt::LeftButton);
    EXPECT_EQ(back_of(w->Label10[0]), 0xFFFFFFu);
    EXPECT_EQ(w->lbl_note->SelBold(), true);   // the release was a click
}

TEST_F(NoteWindowTest, AFontLabelAppliesItsOwnFontAndTheLastChosenSize)
{
    auto w = open_selected("abc", "def");

    click(w->Label7[1]);   // before any size choice: 8
    EXPECT_EQ(w->lbl_note->SelFontName(), "Courier");
    EXPECT_EQ(w->lbl_note->SelFontSize(), 8.0);

    click(w->Label4[5]);
    EXPECT_EQ(w->Text1->SelFontSize(), 14.0);
    EXPECT_EQ(back_of(w->Label5[5]), 0x000000u);
    EXPECT_EQ(back_of(w->Label5[0]), 0xFFFFFFu);

    click(w->Label7[4]);   // "Garamond"
    EXPECT_EQ(w->lbl_note->SelFontName(), "Times New Roman");
    EXPECT_EQ(w->Text1->SelFontName(), "Times New Roman");
    EXPECT_EQ(w->Text1->SelFontSize(), 14.0);
    EXPECT_EQ(back_of(w->Label9[4]), 0x000000u);
    EXPECT_EQ(back_of(w->Label9[1]), 0xFFFFFFu);
    EXPECT_EQ(w->Label7[4]->font().family(), "Times New Roman");
}

TEST_F(NoteWindowTest, AlignmentAndBulletsUseTheBoxCodes)
{
    auto w = open(NoteMode::Edit, {.note = "para", .addnote = "other"});
    for (const auto& [label, code] : {std::pair{1, 2}, std::pair{2, 1}, std::pair{0, 0}}) {
        click(w->Label15[size_t(label)]);
        EXPECT_EQ(w->lbl_note->SelAlignment(), code) << label;
        EXPECT_EQ(w->Text1->SelAlignment(), code) << label;
    }

    for (const bool bullet : {true, false}) {
        click(w->Label19);
        EXPECT_EQ(w->lbl_note->SelBullet(), bullet);
        EXPECT_EQ(w->Text1->SelBullet(), bullet);
    }
}

TEST_F(NoteWindowTest, TheColourAndFontDialogsApplyTheirChoiceAndCancelChangesNothing)
{
    auto w = open_selected("abc", "def");
    dialogs->colors.push_back(QColor(0, 128, 0));
    click(w->Label_more);
    EXPECT_EQ(w->lbl_note->SelColor(), QColor(0, 128, 0));
    EXPECT_EQ(w->Text1->SelColor(), QColor(0, 128, 0));
    EXPECT_EQ(back_of(w->Label28[5]), 0x000000u);   // the palette frame stays

    click(w->Label3[13]);   // blue-ish swatch
    const auto before = w->lbl_note->SelColor();
    dialogs->colors.push_back(std::nullopt);
    click(w->Label_more);
    EXPECT_EQ(w->lbl_note->SelColor(), before);
    EXPECT_EQ(dialogs->count("color"), 2);

    QFont chosen(QStringLiteral("Courier New"), 16);
    chosen.setBold(true);
    chosen.setUnderline(true);
    dialogs->fonts.push_back(chosen);
    click(w->Label_more2);
    for (RichTextBox* box : {w->lbl_note, w->Text1}) {
        EXPECT_EQ(box->SelFontName(), "Courier New");
        EXPECT_EQ(box->SelFontSize(), 16.0);
        EXPECT_EQ(box->SelBold(), true);
        EXPECT_EQ(box->SelItalic(), false);
        EXPECT_EQ(box->SelUnderline(), true);
        EXPECT_EQ(box->SelStrikeThru(), false);
    }
    dialogs->fonts.push_back(std::nullopt);
    click(w->Label_more2);
    EXPECT_EQ(w->lbl_note->SelFontName(), "Courier New");
    EXPECT_EQ(w->lbl_note->SelBold(), true);
}

TEST_F(NoteWindowTest, RtfToTextKeepsTheTextAndUnifiesItsFormat)
{
    auto w = open(NoteMode::Edit, {.note = k_rich_note, .addnote = "untouched"});
    select_all(w->lbl_note);
    ASSERT_FALSE(w->lbl_note->SelBold().has_value());
    click(w->Label11);
    EXPECT_EQ(w->lbl_note->Text(), "Hello world");
    select_all(w->lbl_note);
    EXPECT_TRUE(w->lbl_note->SelBold().has_value());
    // A box without a selection is left alone.
    EXPECT_EQ(w->Text1->Text(), "untouched");
    EXPECT_FALSE(w->Text1->content_modified());
}

TEST_F(NoteWindowTest, ClearNoteEmptiesAllThreeAndLeavesTheResetFormatAtTheCaret)
{
    auto w = open(NoteMode::Edit, {.note = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40\\b\\i big bold\\par}",
                                   .reference = "ref",
                                   .addnote = "add"});
    w->Text_Find->setFocus();
    click(w->Label27);
    EXPECT_EQ(w->lbl_note->Text(), "");
    EXPECT_EQ(w->Text1->Text(), "");
    EXPECT_EQ(w->Text2->text(), "");
    EXPECT_EQ(w->window->focusWidget(), w->lbl_note);
    EXPECT_EQ(w->lbl_note->SelFontName(), "Comic Sans MS");
    EXPECT_EQ(w->lbl_note->SelFontSize(), 8.0);
    EXPECT_EQ(w->lbl_note->SelColor(), QColor(Qt::black));
    EXPECT_EQ(w->lbl_note->SelBold(), false);
    EXPECT_EQ(w->lbl_note->SelItalic(), false);

    w->Command1->click();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].note, "");
    EXPECT_EQ(saved[0].addnote, "");
    EXPECT_EQ(saved[0].reference, "");
}

TEST_F(NoteWindowTest, PasteGoesToTheFocusedControl)
{
    auto w = open(NoteMode::Edit);
    QApplication::clipboard()->setText("pasted");
    w->Text_Find->setFocus();
    click(w->Label24);
    EXPECT_EQ(w->Text_Find->text(), "pasted");

    QApplication::clipboard()->setMimeData(
        richtext::make_rich_mime_data("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b rich}\\par}", "rich").release());
    w->lbl_note->setFocus();
    click(w->Label23);
    EXPECT_EQ(w->lbl_note->Text(), "rich");
    select_all(w->lbl_note);
    EXPECT_EQ(w->lbl_note->SelBold(), true);

    // A locked box takes nothing.
    auto viewer = open(NoteMode::View);
    viewer->lbl_note->setFocus();
    click(viewer->Label24);
    EXPECT_EQ(viewer->lbl_note->Text(), "");
}

TEST_F(NoteWindowTest, NextFindsTheFirstMatchEachTimeOrWalksOnFromTheLastFind)
{
    for (const bool from_last : {false, true}) {
        auto w = open(NoteMode::Edit, {.note = "note one, note two, notes"});
        w->Text_Find->setText("note");
        w->Option1[from_last ? 1 : 0]->setChecked(true);
        std::vector<int> found;
        for (int i = 0; i < 4; ++i)
            found.push_back(find(w, 2));
        EXPECT_EQ(found, (from_last ? std::vector<int>{0, 10, 20, -1} : std::vector<int>{0, 0, 0, 0}));
        // A miss leaves the last match selected.
        EXPECT_EQ(w->lbl_note->SelStart(), from_last ? 20 : 0);
        EXPECT_EQ(w->lbl_note->SelText(), "note");
    }
}

TEST_F(NoteWindowTest, WholeWordAndMatchCase)
{
    auto w = open(NoteMode::Edit, {.note = "notes Note note"});
    w->Text_Find->setText("note");
    EXPECT_EQ(find(w, 0), 6);   // "Note" is a whole word; "notes" is not
    EXPECT_EQ(find(w, 1), 0);   // case matters, not words
    w->Text_Find->setText("NOTE");
    EXPECT_EQ(find(w, 1), -1);
}

TEST_F(NoteWindowTest, TheAdditionalNoteTabSearchesTheAdditionalNoteAndRestarts)
{
    auto w = open(NoteMode::Edit, {.note = "alpha beta", .addnote = "beta gamma beta"});
    w->Option1[1]->setChecked(true);
    w->Text_Find->setText("beta");
    EXPECT_EQ(find(w, 2), 6);
    EXPECT_EQ(find(w, 2), -1);   // the next find starts past it

    w->SSTab1->setCurrentIndex(1);
    EXPECT_EQ(find(w, 2, w->Text1), 0);
    EXPECT_EQ(w->Text1->SelText(), "beta");
    EXPECT_EQ(find(w, 2, w->Text1), 11);

    // The reference tab searches the additional note too, from its start.
    w->SSTab1->setCurrentIndex(2);
    EXPECT_EQ(find(w, 2, w->Text1), 0);
}

TEST_F(NoteWindowTest, EnterInTheFindBoxFindsAndNeverPressesOk)
{
    auto w = open(NoteMode::Edit, {.note = "find me"});
    w->window->show();
    QSignalSpy finished(w->window, &QDialog::finished);
    w->Text_Find->setFocus();
    QTest::keyClicks(w->Text_Find, "me");
    QTest::keyClick(w->Text_Find, Qt::Key_Return);
    EXPECT_EQ(w->lbl_note->SelStart(), 5);
    EXPECT_EQ(w->Label21[3]->text(), "Found");
    EXPECT_EQ(finished.count(), 0);
}

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

    // A click on "Print", the print dialog answered with answer (printing to the PDF file pdf).
    void print(Window w, const QString& pdf, bool answer = true)
    {
        dialogs->print_file = pdf;
        dialogs->prints.push_back(answer);
        click(w->Label25);
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
        click(w->Label25);
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
    auto w = open(NoteMode::Edit, {.note = text});
    w->lbl_note->setFocus();

    const QString all = dir.file("all.pdf");
    print(w, all);
    const int all_pages = pdf_pages(testsupport::read_all(all));
    EXPECT_GT(all_pages, 1);
    const QString printed = pdf_text(all);
    EXPECT_TRUE(printed.contains("Line 0 of a long note"));
    EXPECT_TRUE(printed.contains("Line 299 of a long note"));

    const QString part = dir.file("part.pdf");
    w->lbl_note->setSelStart(5);
    w->lbl_note->setSelLength(10);
    print(w, part);
    EXPECT_EQ(pdf_pages(testsupport::read_all(part)), 1);
    // The page shows the selection (and the page number below it).
    const QString selection = pdf_text(part);
    EXPECT_EQ(selection.trimmed().section(u'\n', 0, 0), "0 of a lon");
    EXPECT_FALSE(selection.contains("Line"));
    EXPECT_EQ(dialogs->messages().size(), 0);
}

TEST_F(NotePrintTest, TheAdditionalNotePrintsWhenFocusedInAViewer)
{
    auto w = open(NoteMode::View, {.note = "the main note", .addnote = "additional text"});
    w->SSTab1->setCurrentIndex(1);
    w->Text1->setFocus();
    const QString pdf = dir.file("add.pdf");
    print(w, pdf);
    EXPECT_EQ(pdf_pages(testsupport::read_all(pdf)), 1);
    const QString printed = pdf_text(pdf);
    EXPECT_TRUE(printed.contains("additional text"));
    EXPECT_FALSE(printed.contains("main note"));
}

TEST_F(NotePrintTest, CancelPrintsNothingAndSaysNothingButAFailedPrintIsReported)
{
    auto w = open(NoteMode::Edit, {.note = "text"});
    w->lbl_note->setFocus();
    const QString pdf = dir.file("cancel.pdf");
    print(w, pdf, false);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(dialogs->messages().size(), 0);
    print(w, dir.file("missing-folder/out.pdf"));
    EXPECT_EQ(dialogs->messages(), QStringList{"The note could not be printed."});
}

} // namespace
