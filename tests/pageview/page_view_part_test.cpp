// The page view on its own: a session, a status bar and a tab control to
// type the keypad into, no main window.
#include "core/catalogue_session.h"
#include "core/status_line.h"
#include "pageview/page_view_part.h"
#include "support/catalogue_builder.h"
#include "support/scripted_dialogs.h"
#include "support/session_fixture.h"
#include "support/test_support.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/vb.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

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
        tabs = std::make_unique<QTabWidget>();
        view = new PageView(*session, tabs.get());
        tabs->addTab(view, QStringLiteral("Pictures && Movies"));
        // As the frame leaves it at start-up: nothing open.
        view->clear();
        view->reset();
    }

    bool light() const { return GetParam(); }

    // A catalogue of n pictures opened in the session, its first page shown.
    void open_catalogue(int n)
    {
        testsupport::CatalogueSpec spec;
        spec.pictures = n;
        spec.schema = light() ? store::Schema::Light : store::Schema::Full;
        const QString path = testsupport::make_catalogue(dir.path(), spec);
        store::Error error;
        testsupport::open_in_session(*session, path, store::Connection::open(path, {}, error));
        view->show_first_page();
    }

    template <class T>
    T* cell_control(const char* name, int i) const
    {
        return view->findChild<T*>(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
    }

    int white_cell() const
    {
        for (int i = 1; i <= 6; ++i)
            if (ui::to_bgr(cell_control<richtext::RichTextBox>("lbl_note", i)->back_color()) != 0xE0E0E0u)
                return i;
        return 0;
    }

    // Types a key into the tab control with it active; true when the keypad took it.
    bool type_keypad(char key)
    {
        tabs->show();
        QApplication::setActiveWindow(tabs.get());
        tabs->setFocus();
        QKeyEvent press(QEvent::KeyPress, int(key), Qt::NoModifier, QString(QChar::fromLatin1(key)));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        return press.isAccepted();
    }

    testsupport::ScopedScriptedDialogs dialogs;   // the pictures' files are not there
    testsupport::TempDir dir;
    QStatusBar bar;
    std::unique_ptr<CatalogueSession> session;
    std::unique_ptr<StatusLine> status;
    std::unique_ptr<QTabWidget> tabs;
    PageView* view = nullptr;
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
    view->show_first_page();
    EXPECT_TRUE(status->message_text().startsWith("Error ")) << status->message_text().toStdString();
    EXPECT_TRUE(status->message_text().endsWith(" - No catalogue is open.")) << status->message_text().toStdString();
    EXPECT_EQ(session->page_warning(), status->message_text());
    EXPECT_EQ(status->ready_text(), "Ready.");
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(cell_control<QLabel>("Label5", i)->text().isEmpty()) << i;
    EXPECT_FALSE(session->busy().busy());
}

TEST_P(PageViewPart, ClickingCellsMovesTheWhiteNoteBoxAndAPageLoadGreysIt)
{
    EXPECT_EQ(white_cell(), 0);
    QTest::mouseClick(cell_control<QLabel>("im", 2), Qt::LeftButton);
    EXPECT_EQ(white_cell(), 2);
    EXPECT_EQ(view->selected_cell(), 2);
    QTest::mouseClick(cell_control<richtext::RichTextBox>("lbl_note", 5)->viewport(), Qt::LeftButton);
    EXPECT_EQ(white_cell(), 5);
    EXPECT_EQ(view->selected_cell(), 5);
    view->show_first_page();
    EXPECT_EQ(white_cell(), 0);
}

TEST_P(PageViewPart, KeysOnAnEmptyPageNameACellButOpenNoNoteWindow)
{
    QSignalSpy asked(view, &PageView::note_requested);
    EXPECT_TRUE(type_keypad('8'));
    EXPECT_EQ(view->selected_cell(), 1);
    EXPECT_TRUE(type_keypad('1'));
    EXPECT_TRUE(type_keypad('2'));
    EXPECT_EQ(asked.count(), 0);
    // A key the keypad has no use for goes on to the tab control.
    EXPECT_FALSE(type_keypad('x'));
}

TEST_P(PageViewPart, TheNoteBoxesAndTheKeypadAskForTheCellsWholeNoteFields)
{
    open_catalogue(8);
    QSignalSpy asked(view, &PageView::note_requested);
    QTest::mouseDClick(cell_control<richtext::RichTextBox>("lbl_note", 2)->viewport(), Qt::LeftButton);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).value<NoteRequest>(), NoteRequest::NoteBox);
    const auto cell = asked.at(0).at(1).value<NoteCell>();
    EXPECT_EQ(cell.cell, 2);
    EXPECT_EQ(cell.numpic, "2");
    EXPECT_EQ(cell.picfile, testsupport::picture_name(2));
    EXPECT_EQ(cell.note, "note 2");
    EXPECT_TRUE(cell.addnote.isNull());   // a Null field stays Null
    EXPECT_TRUE(cell.filled());

    if (!light()) {
        QTest::mouseDClick(cell_control<richtext::RichTextBox>("Text18", 4)->viewport(), Qt::LeftButton);
        ASSERT_EQ(asked.count(), 2);
        EXPECT_EQ(asked.at(1).at(0).value<NoteRequest>(), NoteRequest::AddnoteBox);
        EXPECT_EQ(asked.at(1).at(1).value<NoteCell>().cell, 4);
    }
    asked.clear();

    // The keypad names the white cell.
    QTest::mouseClick(cell_control<QLabel>("im", 3), Qt::LeftButton);
    EXPECT_TRUE(type_keypad('1'));
    EXPECT_TRUE(type_keypad('2'));
    ASSERT_EQ(asked.count(), 2);
    EXPECT_EQ(asked.at(0).at(0).value<NoteRequest>(), NoteRequest::Edit);
    EXPECT_EQ(asked.at(1).at(0).value<NoteRequest>(), NoteRequest::Show);
    EXPECT_EQ(asked.at(1).at(1).value<NoteCell>().numpic, "3");
}

TEST_P(PageViewPart, ASavedNoteIsShownOnlyWhereItsPictureStillIs)
{
    open_catalogue(8);
    const QString picfile = testsupport::picture_name(2);
    EXPECT_TRUE(view->shows_picture(2, "2", picfile));
    EXPECT_FALSE(view->shows_picture(2, "3", picfile));
    EXPECT_FALSE(view->shows_picture(3, "2", picfile));
    EXPECT_FALSE(view->shows_picture(7, "2", picfile));

    view->show_saved_note({2, "3", picfile, "not this cell's", "r", "a"});
    EXPECT_EQ(cell_control<richtext::RichTextBox>("lbl_note", 2)->Text(), "note 2");
    view->show_saved_note({2, "2", picfile, "new note", "new ref", "more"});
    EXPECT_EQ(cell_control<richtext::RichTextBox>("lbl_note", 2)->Text(), "new note");
    if (!light()) {
        EXPECT_EQ(cell_control<QLineEdit>("Text34", 2)->text(), "new ref");
        EXPECT_EQ(cell_control<richtext::RichTextBox>("Text18", 2)->Text(), "more");
    }
}

TEST_P(PageViewPart, AQualityCodeOutsideOneToSixChangesNothing)
{
    QSignalSpy thumb(view, &PageView::thumb_quality_chosen);
    QSignalSpy zoom(view, &PageView::zoom_quality_chosen);
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
