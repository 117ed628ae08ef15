// The search tab and the import/export page on their own: a session, a
// status line and the part, without the main window around them.
#include "search_fixture.h"
#include "support/grid_clicks.h"
#include "support/scripted_dialogs.h"
#include "support/session_fixture.h"

#include "core/catalogue_session.h"
#include "core/status_line.h"
#include "search/import_export_page.h"
#include "search/search_grid.h"
#include "search/search_sort_tab.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>

using namespace searchtest;

namespace {

// A part over the catalogue of CatalogueTest, with its own status bar.
class SearchPart : public CatalogueTest {
protected:
    void start(const Edition& edition)
    {
        session = std::make_unique<CatalogueSession>(edition);
        status = std::make_unique<StatusLine>(&bar);
        session->set_status(status.get());
        for (int n = 1; n <= 8; ++n)
            add(n, QStringLiteral("p%1.jpg").arg(n), {{}, {}, QStringLiteral("ref %1").arg(n), {}});
        testsupport::open_in_session(*session, path, std::move(conn));
    }

    template <class T>
    T* control(QWidget& part, const char* name) const { return part.findChild<T*>(QString::fromLatin1(name)); }

    static QStringList column(QTableView* grid, int c) { return searchtest::column(search::search_grid(grid)->rows()->rows(), c); }

    testsupport::ScopedScriptedDialogs dialogs;
    QStatusBar bar;
    std::unique_ptr<StatusLine> status;
    std::unique_ptr<CatalogueSession> session;
};

TEST_F(SearchPart, EachEditionBuildsOnlyItsOwnSearchControls)
{
    const char* const both[] = {"SSTab3", "SSTab_search", "MSFlexGrid1", "refresh_grid", "Check2", "Text1", "Text4"};
    const char* const full_only[] = {"Text3",  "Option1(0)", "Option1(2)", "Option5(0)", "Option6(1)",  "Option7(2)",
                                     "Text30", "Text29",     "Text33",     "Image1",     "display_page", "MSHFlexGrid1",
                                     "refresh_ref", "Check5"};
    CatalogueSession full(Edition::enhanced());
    SearchSortTab full_tab(full);
    CatalogueSession light(Edition::light());
    SearchSortTab light_tab(light);
    for (const char* name : both) {
        EXPECT_NE(control<QWidget>(full_tab, name), nullptr) << name;
        EXPECT_NE(control<QWidget>(light_tab, name), nullptr) << name;
    }
    for (const char* name : full_only) {
        EXPECT_NE(control<QWidget>(full_tab, name), nullptr) << name;
        EXPECT_EQ(control<QWidget>(light_tab, name), nullptr) << name;
    }
    EXPECT_EQ(control<QTabWidget>(full_tab, "SSTab3")->count(), 3);
    EXPECT_EQ(control<QTabWidget>(light_tab, "SSTab3")->count(), 1);
}

TEST_F(SearchPart, ASearchHoldsTheFrameStillAndFillsTheGrid)
{
    start(Edition::enhanced());
    SearchSortTab tab(*session);
    tab.allow_searches();
    QSignalSpy searching(&tab, &SearchSortTab::searching);
    bool running_during = false;
    QObject::connect(&tab, &SearchSortTab::searching, &tab, [&](bool on) {
        if (on)
            running_during = session->busy().search_running() && session->busy().busy();
    });
    control<QLineEdit>(tab, "Text1")->setText(QStringLiteral("p3"));
    control<QPushButton>(tab, "refresh_grid")->click();
    ASSERT_EQ(searching.count(), 2);
    EXPECT_TRUE(searching.at(0).at(0).toBool());
    EXPECT_FALSE(searching.at(1).at(0).toBool());
    EXPECT_TRUE(running_during);
    EXPECT_FALSE(session->busy().search_running());
    EXPECT_FALSE(session->busy().busy());
    EXPECT_EQ(column(control<QTableView>(tab, "MSFlexGrid1"), 0), QStringList{"3"});
    EXPECT_EQ(status->message_text(), "1 record selected.");
    EXPECT_TRUE(control<QPushButton>(tab, "refresh_grid")->isEnabled());

    // A search already under way is not started again.
    const ui::SearchRunning running(session->busy());
    control<QPushButton>(tab, "refresh_grid")->click();
    EXPECT_EQ(searching.count(), 2);
}

TEST_F(SearchPart, DisplayPageAsksForThePageOfTheRecordShown)
{
    start(Edition::enhanced());
    SearchSortTab tab(*session);
    QSignalSpy asked(&tab, &SearchSortTab::show_page_requested);
    // Nothing shown yet: nothing to ask for.
    control<QPushButton>(tab, "display_page")->click();
    EXPECT_EQ(asked.count(), 0);

    tab.allow_searches();
    control<QPushButton>(tab, "refresh_grid")->click();
    testsupport::click_row(control<QTableView>(tab, "MSFlexGrid1"), 7);   // picture 8, page 2
    EXPECT_EQ(control<QLineEdit>(tab, "Text30")->text(), "8");
    EXPECT_EQ(control<QLineEdit>(tab, "Text31")->text(), "2");
    EXPECT_EQ(control<QLineEdit>(tab, "text24")->text(), "ref 8");
    ASSERT_TRUE(control<QPushButton>(tab, "display_page")->isEnabled());
    control<QPushButton>(tab, "display_page")->click();
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toLongLong(), 2);
    EXPECT_EQ(asked.at(0).at(1).toLongLong(), 8);
}

TEST_F(SearchPart, WithoutDetailsARowAsksForItsPageAtOnce)
{
    start(Edition::light());
    SearchSortTab tab(*session);
    QSignalSpy asked(&tab, &SearchSortTab::grid_page_requested);
    tab.allow_searches();
    control<QPushButton>(tab, "refresh_grid")->click();
    testsupport::click_row(control<QTableView>(tab, "MSFlexGrid1"), 6);   // picture 7, page 2
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toLongLong(), 2);
    EXPECT_EQ(asked.at(0).at(1).toLongLong(), 7);
    EXPECT_TRUE(dialogs->asked.empty());
}

TEST_F(SearchPart, TheHooksLeaveTheTabAsTheFrameAsks)
{
    start(Edition::enhanced());
    SearchSortTab tab(*session);
    auto* refresh = control<QPushButton>(tab, "refresh_grid");
    tab.clear();   // as the frame starts
    EXPECT_FALSE(refresh->isEnabled());
    tab.allow_searches();
    control<QLineEdit>(tab, "Text1")->setText(QStringLiteral("p"));
    control<QTabWidget>(tab, "SSTab_search")->setCurrentIndex(1);

    // Another part's edit holds the refresh and gives back what it found.
    EXPECT_TRUE(refresh->isEnabled());
    tab.hold_refresh(true);
    EXPECT_FALSE(refresh->isEnabled());
    tab.hold_refresh(false);
    EXPECT_TRUE(refresh->isEnabled());

    EXPECT_FALSE(control<QPushButton>(tab, "refresh_ref")->isEnabled());
    tab.enable_for_catalogue();
    EXPECT_TRUE(control<QPushButton>(tab, "refresh_ref")->isEnabled());

    tab.clear();
    EXPECT_FALSE(refresh->isEnabled());
    EXPECT_FALSE(control<QPushButton>(tab, "refresh_ref")->isEnabled());
    EXPECT_TRUE(control<QLineEdit>(tab, "Text1")->text().isEmpty());
    EXPECT_EQ(control<QTabWidget>(tab, "SSTab_search")->currentIndex(), 0);
    tab.hold_refresh(true);
    tab.hold_refresh(false);
    EXPECT_FALSE(refresh->isEnabled());
}

TEST_F(SearchPart, TheImportExportListHoldsTheLoaderStill)
{
    start(Edition::enhanced());
    ImportExportPage page(*session);
    auto* refresh = control<QPushButton>(page, "refresh_extraction");
    auto* grid = control<QTableView>(page, "MSHFlexGrid2");
    auto* extract = control<QPushButton>(page, "Extract");
    EXPECT_FALSE(refresh->isEnabled());
    page.enable_for_catalogue();
    EXPECT_TRUE(refresh->isEnabled());

    QSignalSpy listing(&page, &ImportExportPage::listing);
    refresh->click();
    ASSERT_EQ(listing.count(), 2);
    EXPECT_TRUE(listing.at(0).at(0).toBool());
    EXPECT_FALSE(listing.at(1).at(0).toBool());
    EXPECT_EQ(column(grid, 0).size(), 8);
    EXPECT_EQ(status->message_text(), " 8 records listed.");
    testsupport::click_row(grid, 0);
    EXPECT_TRUE(extract->isEnabled());

    page.clear();
    EXPECT_FALSE(refresh->isEnabled());
    EXPECT_FALSE(extract->isEnabled());
    EXPECT_TRUE(grid->isHidden());
}

} // namespace
