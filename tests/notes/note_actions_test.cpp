// The note actions on their own: a session, a status bar and cells given
// through the hooks, no main window.
#include "core/catalogue_session.h"
#include "core/status_line.h"
#include "notes/frm_note.h"
#include "notes/note_actions.h"

#include "platform/richtext/rich_text_box.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <memory>

using namespace mosswick;

namespace {

class NoteActionsPart : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<CatalogueSession>(Edition::enhanced());
        status = std::make_unique<StatusLine>(&bar);
        session->set_status(status.get());
        window = std::make_unique<QWidget>();
        notes = new NoteActions(*session, window.get());
        note = new richtext::RichTextBox(window.get());
        reference = new QLineEdit(window.get());
        addnote = new richtext::RichTextBox(window.get());
        show_note_in_cell(*note, QStringLiteral("a note of cell two"));
        reference->setText(QStringLiteral("ref"));
        notes->cells.selected = [this] { return selected; };
        notes->cells.numpic = [](int cell) { return cell == 2 ? QStringLiteral("8") : QString(); };
        notes->cells.picfile = [](int cell) { return cell == 2 ? QStringLiteral("pic008.jpg") : QString(); };
        notes->cells.boxes = [this](int cell) {
            return cell == 2 ? NoteCell{note, reference, addnote, {}} : NoteCell{};
        };
    }

    void TearDown() override
    {
        for (frmNote* w : window->findChildren<frmNote*>())
            delete w;
        window.reset();
    }

    std::vector<frmNote*> open_windows(NoteMode mode) const
    {
        std::vector<frmNote*> out;
        for (frmNote* w : window->findChildren<frmNote*>())
            if (w->mode() == mode && w->isVisible())
                out.push_back(w);
        return out;
    }

    QStatusBar bar;
    std::unique_ptr<CatalogueSession> session;
    std::unique_ptr<StatusLine> status;
    std::unique_ptr<QWidget> window;
    NoteActions* notes = nullptr;
    richtext::RichTextBox* note = nullptr;
    QLineEdit* reference = nullptr;
    richtext::RichTextBox* addnote = nullptr;
    int selected = 0;
};

TEST_F(NoteActionsPart, WithoutAFilledSelectedCellBothMenusAskForASelection)
{
    for (int cell : {0, 4}) {
        selected = cell;
        status->set_message({});
        notes->mnuEditNote();
        EXPECT_EQ(status->message_text(), "Please select a note first.") << cell;
        EXPECT_EQ(notes->note_selected_cell, cell);
        status->set_message({});
        notes->mnuShowNote();
        EXPECT_EQ(status->message_text(), "Please select a note first.") << cell;
    }
    EXPECT_TRUE(open_windows(NoteMode::Edit).empty());
    EXPECT_TRUE(open_windows(NoteMode::View).empty());
}

TEST_F(NoteActionsPart, AReadOnlyCatalogueGetsAViewerOfTheCellsNoteAndNoEditor)
{
    session->set_read_only(true);
    selected = 2;
    notes->mnuEditNote();
    EXPECT_EQ(status->message_text(), "The database is Read-Only.");
    EXPECT_TRUE(open_windows(NoteMode::Edit).empty());

    notes->Text18_DblClick(2);
    EXPECT_TRUE(open_windows(NoteMode::View).empty());

    notes->lbl_Note_DblClick(2);
    const auto viewers = open_windows(NoteMode::View);
    ASSERT_EQ(viewers.size(), 1u);
    EXPECT_EQ(viewers[0]->lbl_note->Text(), "a note of cell two");
    EXPECT_EQ(notes->note_cell_index, 2);
    EXPECT_FALSE(notes->note_edit_mode);
    EXPECT_EQ(status->message_text(), "The database is Read-Only.");
}

TEST_F(NoteActionsPart, OneEditorAtATimeOnAWritableCatalogue)
{
    selected = 2;
    notes->mnuEditNote();
    frmNote* first = notes->note_editor.data();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(notes->note_edit_mode);
    EXPECT_EQ(first->lbl_note->Text(), "a note of cell two");
    EXPECT_EQ(first->Text2->text(), "ref");
    notes->lbl_Note_DblClick(2);
    EXPECT_EQ(notes->note_editor.data(), first);
    EXPECT_EQ(open_windows(NoteMode::Edit).size(), 1u);
    first->Command2_Click();   // Cancel
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(notes->note_edit_mode);
    EXPECT_EQ(notes->note_editor.data(), nullptr);
}

} // namespace
