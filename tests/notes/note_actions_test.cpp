// The note actions on their own: a session, a status bar and a page that
// answers for one filled cell, no main window.
#include "core/catalogue_session.h"
#include "core/status_line.h"
#include "notes/note_actions.h"
#include "support/note_window.h"

#include <QCoreApplication>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <memory>

using namespace mosswick;

namespace {

// A page whose cell 2 shows picture 8.
class OnePicturePage : public PageCells {
public:
    bool shows_picture(int cell, const QString& numpic, const QString& picfile) const override
    {
        return cell == 2 && numpic == "8" && picfile == "pic008.jpg";
    }
};

class NoteActionsPart : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<CatalogueSession>(Edition::enhanced());
        status = std::make_unique<StatusLine>(&bar);
        session->set_status(status.get());
        window = std::make_unique<QWidget>();
        notes = new NoteActions(*session, page, window.get());
    }

    void TearDown() override
    {
        for (frmNote* w : window->findChildren<frmNote*>())
            delete w;
        window.reset();
    }

    auto open_windows(NoteMode mode) const { return testsupport::note_windows(*window, mode); }

    const NoteCell cell_two{2, "8", "pic008.jpg", "a note of cell two", "ref", QString()};
    QStatusBar bar;
    OnePicturePage page;
    std::unique_ptr<CatalogueSession> session;
    std::unique_ptr<StatusLine> status;
    std::unique_ptr<QWidget> window;
    NoteActions* notes = nullptr;
};

TEST_F(NoteActionsPart, HasNoControlsOfItsOwnToShow)
{
    window->show();
    EXPECT_TRUE(window->findChildren<QWidget*>().isEmpty());
}

TEST_F(NoteActionsPart, WithoutAFilledSelectedCellBothKeysAskForASelection)
{
    for (const NoteCell& cell : {NoteCell{}, NoteCell{4, {}, {}, {}, {}, {}}}) {
        status->set_message({});
        notes->open_note(NoteRequest::Edit, cell);
        EXPECT_EQ(status->message_text(), "Please select a note first.") << cell.cell;
        status->set_message({});
        notes->open_note(NoteRequest::Show, cell);
        EXPECT_EQ(status->message_text(), "Please select a note first.") << cell.cell;
    }
    EXPECT_TRUE(open_windows(NoteMode::Edit).empty());
    EXPECT_TRUE(open_windows(NoteMode::View).empty());
}

TEST_F(NoteActionsPart, AReadOnlyCatalogueGetsAViewerOfTheCellsNoteAndNoEditor)
{
    session->set_read_only(true);
    notes->open_note(NoteRequest::Edit, cell_two);
    EXPECT_EQ(status->message_text(), "The database is Read-Only.");
    EXPECT_TRUE(open_windows(NoteMode::Edit).empty());

    notes->open_note(NoteRequest::AddnoteBox, cell_two);
    EXPECT_TRUE(open_windows(NoteMode::View).empty());

    notes->open_note(NoteRequest::NoteBox, cell_two);
    const auto viewers = open_windows(NoteMode::View);
    ASSERT_EQ(viewers.size(), 1u);
    EXPECT_EQ(viewers[0]->lbl_note->Text(), "a note of cell two");
    EXPECT_EQ(status->message_text(), "The database is Read-Only.");
}

TEST_F(NoteActionsPart, OneEditorAtATimeOnAWritableCatalogue)
{
    notes->open_note(NoteRequest::Edit, cell_two);
    const auto editors = open_windows(NoteMode::Edit);
    ASSERT_EQ(editors.size(), 1u);
    const auto* first = editors.front();
    EXPECT_EQ(first->lbl_note->Text(), "a note of cell two");
    EXPECT_EQ(first->Text2->text(), "ref");
    notes->open_note(NoteRequest::NoteBox, cell_two);
    EXPECT_EQ(open_windows(NoteMode::Edit).size(), 1u);
    first->Command2->click();   // Cancel
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->findChildren<frmNote*>().empty());
    // Once it is closed another may open.
    notes->open_note(NoteRequest::NoteBox, cell_two);
    EXPECT_EQ(open_windows(NoteMode::Edit).size(), 1u);
}

} // namespace
