// The light search tab: file names only, the note alone, and a grid click
// that goes to the picture's page.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "light_fixture.h"
#include "support/grid_clicks.h"

#include "platform/ui/grid_headings.h"
#include "support/layout_probe.h"

#include <QLineEdit>
#include <QTest>

using namespace mosswick;

namespace {

class LightSearch : public LightWindow {
protected:
    // A full catalogue (so that references and additional notes exist to be
    // ignored) of 14 pictures with a few names, notes and references.
    void SetUp() override
    {
        LightWindow::SetUp();
        open_light(14, store::Schema::Full);
        exec("UPDATE demopicture SET picfile = 'sea view.jpg', note = 'a quiet beach' WHERE numpic = 3");
        exec("UPDATE demopicture SET picfile = 'sea.jpg', reference = 'beach', addnote = 'beach' WHERE numpic = 9");
        exec("UPDATE demopicture SET picfile = '100%_sea.jpg', note = NULL WHERE numpic = 13");
    }

    // A click on one grid row.
    void click_row(int row) { testsupport::click_row(ctl(*window).MSFlexGrid1, row); }
};

} // namespace

TEST_F(LightSearch, TheFileNameTextIsOnePatternTakenAsTyped)
{
    search_names("sea");
    EXPECT_EQ(found(), QStringList({"3", "9", "13"}));
    EXPECT_EQ(window->message_text(), "3 records selected.");
    // Blanks belong to the pattern; the reference is never searched.
    search_names("sea view");
    EXPECT_EQ(found(), QStringList({"3"}));
    search_names("beach");
    EXPECT_TRUE(found().isEmpty());
    // Typed wildcards are literal.
    search_names("0%_");
    EXPECT_EQ(found(), QStringList({"13"}));
    // There is no reference box, nor any of its options.
    EXPECT_EQ(ctl(*window).Text3, nullptr);
    EXPECT_EQ(ctl(*window).Option1[2], nullptr);
    search_names("view");
    EXPECT_EQ(found(), QStringList({"3"}));
    ctl(*window).Check2->setChecked(true);
    search_names("sea");
    EXPECT_EQ(found(3), QStringList({"100%_sea.jpg", "sea view.jpg", "sea.jpg"}));
    EXPECT_EQ(ctl(*window).MSFlexGrid1->columnWidth(3), ui::twips_to_px(11050));
    expect_usable();
}

TEST_F(LightSearch, TheNoteSearchReadsTheNoteOnly)
{
    // There is no choice of fields.
    EXPECT_EQ(ctl(*window).Option7[2], nullptr);
    search_notes("BEACH");
    EXPECT_EQ(found(), QStringList({"3"}));
    EXPECT_EQ(window->ready_text(), "Ready.");
    ctl(*window).Text4->clear();
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found().size(), 14);
}

TEST_F(LightSearch, ARowOfAnotherPageShowsThatPageWithItsCellSelected)
{
    search_names("sea");
    ctl(*window).SSTab_main->setTabEnabled(1, true);
    ctl(*window).SSTab_main->setCurrentIndex(1);
    click_row(1);   // picture 9, page 2
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(testsupport::white_cell(*window), 3);
    EXPECT_EQ(ctl(*window).Label5[3]->text(), "9");
    EXPECT_EQ(ctl(*window).Label3->text(), "2");
    EXPECT_EQ(ctl(*window).Slider1->value(), 2);
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 0);
    // Done once: a later load of the page selects nothing.
    ctl(*window).go_left->click();
    ctl(*window).go_right->click();
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(testsupport::white_cell(*window), 0);
    expect_usable();
}

TEST_F(LightSearch, ARowOfThePageShownSelectsItsCellAndKeepsTheSearchInFront)
{
    search_names("sea");
    ctl(*window).SSTab_main->setCurrentIndex(1);
    click_row(0);   // picture 3, page 1, shown
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_EQ(testsupport::white_cell(*window), 3);
    EXPECT_FALSE(ctl(*window).show_page->isEnabled());
    // The cell's selection names the file the cell shows.
    EXPECT_EQ(window->message_text(), ctl(*window).lbl_filePic[3]->text());
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 1);

    // Rows listed before the numbers changed: a number no cell shows selects nothing.
    exec("UPDATE demopicture SET numpic = numpic + 100");
    ctl(*window).mnuRefresh->trigger();
    ASSERT_EQ(ctl(*window).Label5[3]->text(), "103");
    click_row(0);
    EXPECT_EQ(testsupport::white_cell(*window), 0);
    EXPECT_EQ(window->session().current_page(), 1);
}

TEST_F(LightSearch, SeveralSelectedRowsAreRefused)
{
    search_names("sea");
    testsupport::drag_rows(ctl(*window).MSFlexGrid1, 0, 1);
    EXPECT_EQ(window->message_text(), "Select one row.");
    EXPECT_EQ(window->session().current_page(), 1);
}

TEST_F(LightSearch, TypingGoesOnInTheBoxAfterReturn)
{
    ctl(*window).SSTab_main->setCurrentIndex(1);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (QLineEdit* box : {ctl(*window).Text1, ctl(*window).Text4}) {
        ctl(*window).SSTab_search->setCurrentIndex(box == ctl(*window).Text1 ? 0 : 1);
        box->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        const char* text = box == ctl(*window).Text1 ? "sea" : "quiet";
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_FALSE(found().isEmpty());
        QTRY_COMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(QApplication::focusWidget(), 'z');
        EXPECT_EQ(box->text(), QString::fromLatin1(text) + 'z');
    }
}

TEST_F(LightSearch, TheSearchBlockKeepsItsPlaceWhetherOrNotTheGridShows)
{
    ctl(*window).SSTab_main->setCurrentIndex(1);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* headings = ctl(*window).MSFlexGrid1->parentWidget()->findChild<ui::GridHeadings*>();
    ASSERT_NE(headings, nullptr);
    auto block = [&] {
        return testsupport::places_in(window.get(), {ctl(*window).Text1, ctl(*window).refresh_grid, ctl(*window).Check2, headings});
    };
    const QList<QRect> before = block();
    search_names("sea");
    ASSERT_TRUE(ctl(*window).MSFlexGrid1->isVisible());
    EXPECT_EQ(block(), before);
    for (int c = 0; c < headings->count(); ++c)
        EXPECT_GE(ctl(*window).MSFlexGrid1->columnWidth(c), headings->label(c)->sizeHint().width()) << c;
    search_names("nothing like it");
    ASSERT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
    EXPECT_EQ(block(), before);
}
