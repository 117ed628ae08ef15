// The light page view: cells of files only, the note box as the selection
// mark, and zoom windows that draw the path they are given.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "light_fixture.h"
#include "support/layout_probe.h"

#include "pageview/frm_zoom.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"

#include <QSlider>
#include <QTest>

using namespace mosswick;

namespace {

class LightPageView : public LightWindow {
protected:
    unsigned note_colour(int i) const { return ui::to_bgr(ctl(*window).lbl_note[size_t(i)]->back_color()); }
};

} // namespace

TEST_F(LightPageView, CellsShowFilesFittedIntoTheLightBox)
{
    open_light(8);
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 2");
    EXPECT_EQ(testsupport::cells_shown(*window), 6);
    EXPECT_EQ(ctl(*window).lbl_filePic[2]->text(), "pic002.jpg");
    EXPECT_EQ(ctl(*window).Label7[2]->text(), "jpg");
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "note 2");
    EXPECT_EQ(window->ready_text(), "Ready.");
    // A 60 x 40 picture is smaller than the box: drawn at its own size.
    EXPECT_EQ(ctl(*window).im[1]->pixmap().size(), QSize(60, 40));

    ctl(*window).go_right->click();
    EXPECT_EQ(testsupport::cells_shown(*window), 2);
    for (int i = 3; i <= 6; ++i) {
        EXPECT_TRUE(ctl(*window).im[size_t(i)]->isHidden()) << i;
        EXPECT_TRUE(ctl(*window).lbl_note[size_t(i)]->isHidden()) << i;
        EXPECT_TRUE(ctl(*window).Label5[size_t(i)]->text().isEmpty()) << i;
    }
}

TEST_F(LightPageView, ABigPictureIsFittedIntoFourSixThreeFiveByTwoSevenSevenFive)
{
    path = make_light(0);
    ASSERT_TRUE(testsupport::write_picture(data("wide.jpg"), 1000, 300, "jpg"));
    {
        store::Error e;
        auto c = store::Connection::open(path, {}, e);
        store::Row r;
        r.set(store::col_picfile, "wide.jpg");
        r.set(store::col_numpage, 1);
        r.set(store::col_numpic, 1);
        ASSERT_TRUE(c->add_row(r).ok());
    }
    open(path);
    ASSERT_TRUE(window->session().db_open());
    // 4635 twips wide is 309 pixels; the height follows the picture's shape.
    EXPECT_EQ(ctl(*window).im[1]->pixmap().width(), ui::twips_to_px(4635));
    EXPECT_NEAR(ctl(*window).im[1]->pixmap().height(), 93, 1);
}

TEST_F(LightPageView, TheNoteBoxAloneMarksTheSelection)
{
    open_light(8);
    EXPECT_EQ(testsupport::white_cell(*window), 0);
    testsupport::click_cell(*window, 5);
    testsupport::click_cell(*window, 2);
    EXPECT_EQ(note_colour(5), 0xE0E0E0u);
    EXPECT_EQ(note_colour(2), 0xFFFFFFu);
    EXPECT_EQ(testsupport::white_cell(*window), 2);
    EXPECT_EQ(window->message_text(), "pic002.jpg");
    testsupport::type_page(*window, 1);   // a page load greys it
    EXPECT_EQ(testsupport::white_cell(*window), 0);
    expect_usable();
}

TEST_F(LightPageView, EachZoomWindowKeepsItsOwnPathAndCaption)
{
    open_light(3);
    testsupport::double_click_cell(*window, 1);
    QPointer<frmZoom> first = testsupport::last_zoom();
    testsupport::double_click_cell(*window, 3);
    QPointer<frmZoom> second = testsupport::last_zoom();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_FALSE(first->request().picture_in_db);
    EXPECT_EQ(ctl(*first).Label1->text(), data("pic001.jpg"));
    EXPECT_EQ(ctl(*first).Label2->text(), "5");
    EXPECT_EQ(ctl(*second).Label1->text(), data("pic003.jpg"));

    // Decodes run one after another: the second window drawn means the first is.
    ASSERT_TRUE(wait_for_zoom());
    ctl(*first).Slider1->setValue(ctl(*first).Slider1->minimum());
    QTest::keyClick(ctl(*first).Slider1, Qt::Key_Return);
    EXPECT_TRUE(first->windowTitle().endsWith("% of " + data("pic001.jpg"))) << first->windowTitle().toStdString();
    EXPECT_TRUE(second->isVisible());
    first->close();
    second->close();
    expect_usable();
}

TEST_F(LightPageView, AFileGoneSinceThePageWasShownClosesOnlyItsZoomWindow)
{
    open_light(2);
    QFile::remove(data("pic002.jpg"));
    testsupport::double_click_cell(*window, 2);
    EXPECT_EQ(dialogs->messages(), QStringList({"Picture file not found."}));
    settle();
    EXPECT_FALSE(testsupport::last_zoom());
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(testsupport::white_cell(*window), 2);
    expect_usable();
}

TEST_F(LightPageView, AMissingFileLeavesAnEmptyCellAndTheProgramGoesOn)
{
    path = make_light(3);
    QFile::remove(data("pic002.jpg"));
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->messages().count("Picture file not found."), 1);
    EXPECT_EQ(testsupport::cells_shown(*window), 3);
    EXPECT_TRUE(ctl(*window).im[2]->pixmap().isNull());
    EXPECT_FALSE(ctl(*window).im[3]->pixmap().isNull());
    expect_usable();
}

TEST_F(LightPageView, AStoredPictureOfAFullCatalogueIsLookedForAsAFile)
{
    path = make_light(2, store::Schema::Full);
    {
        store::Error e;
        auto c = store::Connection::open(path, {}, e);
        ASSERT_TRUE(c->write_picture_bytes(1, data("pic002.jpg")).ok());
        // The file of picture 1 is not in the data folder.
        ASSERT_TRUE(c->exec("UPDATE demopicture SET picfile = 'inside.jpg' WHERE numpic = 1").ok());
    }
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->messages(), QStringList({"Picture file not found."}));
    EXPECT_TRUE(ctl(*window).im[1]->pixmap().isNull());
    EXPECT_FALSE(ctl(*window).im[1]->isHidden());
    EXPECT_TRUE(ctl(*window).Im2[1]->isHidden());
    EXPECT_FALSE(ctl(*window).im[2]->pixmap().isNull());
}

TEST_F(LightPageView, KeypadWorksOnTheLightCells)
{
    open_light(8);
    EXPECT_TRUE(testsupport::type_keypad(*window, '8'));
    EXPECT_EQ(testsupport::white_cell(*window), 1);
    EXPECT_TRUE(testsupport::type_keypad(*window, '6'));
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_EQ(ctl(*testsupport::last_zoom()).Label1->text(), data("pic001.jpg"));
    testsupport::last_zoom()->close();

    // A selected cell whose picture box is disabled opens nothing; the key
    // is still taken.
    ctl(*window).im[1]->setEnabled(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(testsupport::type_keypad(*window, '6'));
    EXPECT_FALSE(testsupport::last_zoom());
}

TEST_F(LightPageView, TheSliderDrawsNoTicksOverFourHundredNinetyFivePages)
{
    open_light(8);
    EXPECT_EQ(ctl(*window).Slider1->tickPosition(), QSlider::TicksBelow);
    window->session().set_picture_count(496 * 6);
    EXPECT_EQ(ctl(*window).Slider1->maximum(), 496);
    EXPECT_EQ(ctl(*window).Slider1->tickPosition(), QSlider::NoTicks);
    window->session().set_picture_count(495 * 6);
    EXPECT_EQ(ctl(*window).Slider1->tickPosition(), QSlider::TicksBelow);
}

TEST_F(LightPageView, CellsKeepTheirSizeAndPlaceWhateverThePageHolds)
{
    open_light(8);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto layout_now = [this] {
        QList<QRect> out;
        for (int i = 1; i <= 6; ++i)
            out << testsupport::places_in(window.get(), {ctl(*window).Label7[size_t(i)], ctl(*window).lbl_note[size_t(i)],
                                                         ctl(*window).cell_picture_area[size_t(i)]});
        return out;
    };
    const QList<QRect> full_page = layout_now();
    // The note boxes of a short page do not grow into the empty row.
    ctl(*window).go_right->click();
    ASSERT_EQ(testsupport::cells_shown(*window), 2);
    EXPECT_EQ(layout_now(), full_page);
}
