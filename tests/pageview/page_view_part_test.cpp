// The page view on its own: a session and a status bar, no main window.
#include "core/catalogue_session.h"
#include "core/status_line.h"
#include "pageview/page_view_part.h"

#include "platform/richtext/rich_text_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace mosswick;

namespace {

class PageViewPart : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        session = std::make_unique<CatalogueSession>(light() ? Edition::light() : Edition::enhanced());
        status = std::make_unique<StatusLine>(&bar);
        session->set_status(status.get());
        view = std::make_unique<PageView>(*session);
        // As the frame leaves it at start-up: nothing open.
        view->clear();
        view->reset();
    }

    bool light() const { return GetParam(); }

    template <class T>
    T* cell_control(const char* name, int i) const
    {
        return view->findChild<T*>(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
    }

    QStatusBar bar;
    std::unique_ptr<CatalogueSession> session;
    std::unique_ptr<StatusLine> status;
    std::unique_ptr<PageView> view;
};

TEST_P(PageViewPart, BuildsTheReferenceAndAdditionalNoteOnlyInTheFullEdition)
{
    for (int i = 1; i <= 6; ++i) {
        EXPECT_NE(cell_control<QLabel>("im", i), nullptr) << i;
        EXPECT_NE(cell_control<QLabel>("Im2", i), nullptr) << i;
        EXPECT_NE(cell_control<richtext::RichTextBox>("lbl_note", i), nullptr) << i;
        EXPECT_EQ(cell_control<QLineEdit>("Text34", i) == nullptr, light()) << i;
        EXPECT_EQ(cell_control<QTabWidget>("SSTab1", i) == nullptr, light()) << i;
        EXPECT_EQ(cell_control<richtext::RichTextBox>("Text18", i) == nullptr, light()) << i;
    }
    EXPECT_EQ(view->cell_note_boxes(1).addnote == nullptr, light());
    EXPECT_EQ(view->cell_note_boxes(1).note, cell_control<richtext::RichTextBox>("lbl_note", 1));
    EXPECT_EQ(view->cell_note_boxes(7).note, nullptr);
}

TEST_P(PageViewPart, ThePageCountAndSliderFollowTheSessionsCounts)
{
    auto* pages = view->findChild<QLabel*>(QStringLiteral("Label29"));
    auto* slider = view->findChild<QSlider*>(QStringLiteral("Slider1"));
    ASSERT_TRUE(pages && slider);
    session->set_picture_count(13);
    EXPECT_EQ(pages->text(), "3");
    EXPECT_EQ(slider->maximum(), 3);
    session->set_picture_count(6);
    EXPECT_EQ(pages->text(), "1");
    session->set_picture_count(0);
    EXPECT_EQ(pages->text(), "");
}

TEST_P(PageViewPart, APageLoadWithoutACatalogueSaysSoAndLeavesNoCell)
{
    view->LoadAllPictures(1);
    EXPECT_TRUE(status->message_text().startsWith("Error ")) << status->message_text().toStdString();
    EXPECT_TRUE(status->message_text().endsWith(" - No catalogue is open.")) << status->message_text().toStdString();
    EXPECT_EQ(session->page_warning(), status->message_text());
    EXPECT_EQ(status->ready_text(), "Ready.");
    EXPECT_EQ(view->cells_on_page(), 0);
    EXPECT_FALSE(session->busy().busy());
}

TEST_P(PageViewPart, ClickingCellsMovesTheWhiteNoteBoxAndClearBorderGreysIt)
{
    EXPECT_EQ(view->WhichSelected(), 0);
    view->im_Click(2);
    EXPECT_EQ(view->WhichSelected(), 2);
    EXPECT_EQ(view->selected_cell(), 2);
    view->im_Click(5);
    EXPECT_EQ(view->WhichSelected(), 5);
    EXPECT_EQ(view->last_selected_cell(), 5);
    view->im_Click(7);   // no such cell: nothing changes
    EXPECT_EQ(view->WhichSelected(), 5);
    view->ClearBorder();
    EXPECT_EQ(view->WhichSelected(), 0);
}

TEST_P(PageViewPart, KeysOnAnEmptyPageNameACellButOpenNoNoteWindow)
{
    QSignalSpy chosen(view.get(), &PageView::note_cell_chosen);
    QSignalSpy edit(view.get(), &PageView::edit_note_requested);
    QSignalSpy show(view.get(), &PageView::show_note_requested);
    int key = '8';
    view->SSTab_main_KeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(view->selected_cell(), 1);
    key = '1';
    view->SSTab_main_KeyPress(key);
    key = '2';
    view->SSTab_main_KeyPress(key);
    ASSERT_EQ(chosen.count(), 3);
    EXPECT_EQ(chosen.at(2).at(0).toInt(), 1);
    EXPECT_EQ(edit.count(), 0);
    EXPECT_EQ(show.count(), 0);
}

TEST_P(PageViewPart, AQualityCodeOutsideOneToSixChangesNothing)
{
    QSignalSpy thumb(view.get(), &PageView::thumb_quality_chosen);
    QSignalSpy zoom(view.get(), &PageView::zoom_quality_chosen);
    view->mnuTQ_Click(0);
    view->mnuZQ_Click(7);
    EXPECT_EQ(thumb.count() + zoom.count(), 0);
    EXPECT_EQ(session->thumb_quality(), 6);
    EXPECT_EQ(session->zoom_quality(), 5);
    view->mnuTQ_Click(2);
    view->mnuZQ_Click(3);
    ASSERT_EQ(thumb.count(), 1);
    EXPECT_EQ(thumb.at(0).at(0).toInt(), 2);
    ASSERT_EQ(zoom.count(), 1);
    EXPECT_EQ(zoom.at(0).at(0).toInt(), 3);
    EXPECT_EQ(session->thumb_quality(), 2);
    EXPECT_EQ(session->zoom_quality(), 3);
}

INSTANTIATE_TEST_SUITE_P(Editions, PageViewPart, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Light" : "Full"; });

} // namespace
