// The light notes: one note field in the cells, the note window and the save.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "light_fixture.h"

#include <QTest>

using namespace mosswick;
using testsupport::click;
using Window = const testsupport::NoteControls*;

namespace {

class LightNotes : public LightWindow {
protected:
    Window editor() const { return testsupport::note_editor(*window); }

    Window open_editor(int cell) { return testsupport::open_note_editor(*window, cell); }
};

} // namespace

TEST_F(LightNotes, OkWritesTheNoteAndNothingElseOfTheRow)
{
    open_light(3, store::Schema::Full);
    exec("UPDATE demopicture SET reference = 'kept', addnote = 'kept too', movfile = 'pic002.avi' WHERE numpic = 2");
    ctl(*window).mnuRefresh->trigger();
    Window w = open_editor(2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->lbl_note->Text(), "note 2");
    w->lbl_note->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->lbl_note, " edited");
    w->Command1->click();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "note 2 edited");
    EXPECT_TRUE(field("note", "pic002.jpg").toString().startsWith("{\\rtf"));
    EXPECT_EQ(field("reference", "pic002.jpg").toString(), "kept");
    EXPECT_EQ(field("addnote", "pic002.jpg").toString(), "kept too");
    EXPECT_EQ(field("movfile", "pic002.jpg").toString(), "pic002.avi");
    EXPECT_EQ(field("numpic", "pic002.jpg").toInt(), 2);
    EXPECT_EQ(field("note", "pic001.jpg").toString(), "note 1");
    expect_usable();
}

TEST_F(LightNotes, TheWindowHasOneNoteBoxAndOneLength)
{
    open_light(2);
    Window w = open_editor(1);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->SSTab1->isVisibleTo(w->window));
    EXPECT_FALSE(w->Text1->isVisibleTo(w->window));
    EXPECT_FALSE(w->Text2->isVisibleTo(w->window));
    EXPECT_TRUE(w->lbl_note->isVisibleTo(w->window));
    EXPECT_EQ(w->lbl_note->parentWidget(), w->window);
    EXPECT_TRUE(w->note_size[0]->isVisibleTo(w->window));
    EXPECT_FALSE(w->note_size[1]->isVisibleTo(w->window));
    EXPECT_FALSE(w->note_size[2]->isVisibleTo(w->window));
    EXPECT_EQ(w->lbl_note_size[0]->text(), "Note");
    EXPECT_EQ(w->Label11->toolTip(), "Select the text to convert and click the label");

    EXPECT_EQ(back_of(w->Label2[0]), 0xC0FFC0u);
    QTest::mousePress(w->note_size[0], Qt::LeftButton);
    EXPECT_EQ(back_of(w->Label2[0]), 0x000000u);
    QTest::mouseRelease(w->note_size[0], Qt::LeftButton);
    EXPECT_EQ(back_of(w->Label2[0]), 0xC0FFC0u);
    EXPECT_EQ(w->note_size[0]->text(), "6");

    // The tools and the find work on the note alone.
    w->lbl_note->setSelStart(0);
    w->lbl_note->setSelLength(4);
    click(w->Label8[0]);
    EXPECT_EQ(w->lbl_note->SelBold(), true);
    w->Text_Find->setText("1");
    click(w->Label22[2]);
    EXPECT_EQ(w->Label21[3]->text(), "Found");
    EXPECT_EQ(w->lbl_note->SelStart(), 5);

    // Printing wants the focus in the note.
    w->Text_Find->setFocus();
    click(w->Label25);
    ASSERT_EQ(dialogs->asked.size(), 1u);
    EXPECT_EQ(dialogs->asked[0].text, "The cursor must be in the NOTE field.");
    EXPECT_EQ(dialogs->asked[0].title, "Print error");
    EXPECT_EQ(dialogs->count("print"), 0);
    w->Command2->click();
}

TEST_F(LightNotes, AViewerIsFiftySixFortyTwipsWide)
{
    open_light(2);
    testsupport::click_cell(*window, 2);
    testsupport::type_keypad(*window, '2');
    const auto viewers = testsupport::note_windows(*window, NoteMode::View);
    ASSERT_EQ(viewers.size(), 1u);
    Window viewer = viewers.front();
    EXPECT_EQ(viewer->window->width(), ui::twips_to_px(5640));
    EXPECT_EQ(viewer->lbl_note->Text(), "note 2");
    EXPECT_TRUE(viewer->lbl_note->Locked());
    EXPECT_TRUE(viewer->Frame1->isVisibleTo(viewer->window));
    viewer->window->close();
}

TEST_F(LightNotes, ClearNoteTurnsBoldOffAndKeepsTheOtherStyles)
{
    open_light(1);
    exec("UPDATE demopicture SET note = ?1",
         {QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40\\b\\i\\ul styled\\par}")});
    ctl(*window).mnuRefresh->trigger();
    Window w = open_editor(1);
    ASSERT_NE(w, nullptr);
    w->Text_Find->setFocus();
    click(w->Label27);
    EXPECT_EQ(w->lbl_note->Text(), "");
    EXPECT_EQ(w->window->focusWidget(), w->lbl_note);
    EXPECT_EQ(w->lbl_note->SelFontName(), "Comic Sans MS");
    EXPECT_EQ(w->lbl_note->SelFontSize(), 8.0);
    EXPECT_EQ(w->lbl_note->SelColor(), QColor(Qt::black));
    EXPECT_EQ(w->lbl_note->SelBold(), false);
    EXPECT_EQ(w->lbl_note->SelItalic(), true);
    EXPECT_EQ(w->lbl_note->SelUnderline(), true);
    QTest::keyClicks(w->lbl_note, "x");
    EXPECT_EQ(w->lbl_note->Text(), "x");
    w->lbl_note->setSelStart(0);
    w->lbl_note->setSelLength(1);
    EXPECT_EQ(w->lbl_note->SelItalic(), true);
    EXPECT_EQ(w->lbl_note->SelBold(), false);
    w->Command2->click();
}

TEST_F(LightNotes, ADoubleClickOnAReadOnlyCatalogueOnlyShowsTheNote)
{
    path = make_light(2);
    const ReadOnlyFile read_only(path);
    open(path);
    ASSERT_TRUE(window->session().db_open());
    testsupport::double_click_note(*window, 1);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_EQ(testsupport::note_windows(*window, NoteMode::View).size(), 1u);
}
