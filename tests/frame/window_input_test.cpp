// The frame's own input, in both editions: exit asked for while an action
// runs, and the keypad after the tabs have been clicked.
#include "support/window_steps.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>

#include <functional>

using namespace mosswick;

namespace {

class WindowInput : public InEachEdition<WindowSteps> {
protected:
    // A catalogue of n pictures with their files, open in an active window.
    void open_pictures(int n)
    {
        open(make_with_files(n, schema()));
        ASSERT_TRUE(window->session().db_open());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Starts an action and runs `during` as soon as the action lets events in.
    void while_running(const std::function<void()>& action, const std::function<void()>& during)
    {
        bool ran = false;
        QMetaObject::invokeMethod(
            window.get(),
            [&] {
                ran = true;
                EXPECT_TRUE(window->busy_state().busy());
                during();
            },
            Qt::QueuedConnection);
        action();
        EXPECT_TRUE(ran);
    }

    void click_tab(int index)
    {
        QTabBar* bar = ctl(*window).SSTab_main->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        ASSERT_EQ(ctl(*window).SSTab_main->currentIndex(), index);
    }

    // A key typed where the focus is, as the user types it.
    void type(Qt::Key key)
    {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_TRUE(focused);
        QTest::keyClick(focused, key);
    }

    qint64 page() const { return window->session().current_page(); }
};

TEST_P(WindowInput, ExitWhileBusySaysWhyUntilTheActionEnds)
{
    open_pictures(8);
    QFile::remove(data(testsupport::picture_name(8)));
    const QString by_itself = "Busy: the running action finishes by itself; exit when it is done.";

    // The exit button during a page load, which nothing stops. The page's
    // own message is set before its "Picture file not found." box: the
    // reason is still up then.
    QString at_click;
    QString at_box;
    dialogs->on_message = [&](const QString&) { at_box = window->message_text(); };
    while_running([&] { ctl(*window).go_right->click(); }, [&] {
        QTest::mouseClick(ctl(*window).Command3, Qt::LeftButton);
        at_click = window->message_text();
    });
    EXPECT_EQ(at_click, by_itself);
    EXPECT_EQ(dialogs->messages(), QStringList{"Picture file not found."});
    EXPECT_EQ(at_box, by_itself);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page(), 2);
    // Then the page's own word: nothing went wrong on it but the box.
    EXPECT_EQ(window->message_text(), "");
    dialogs->on_message = {};

    // File > Exit during the next load: the menu opens and its Exit answers alike.
    bool exit_offered = false;
    bool open_offered = true;
    QString from_menu;
    while_running([&] { ctl(*window).go_left->click(); }, [&] {
        QMenuBar* bar = window->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(ctl(*window).mnuFile->menuAction()).center());
        QMenu* menu = ctl(*window).mnuFile;
        exit_offered = menu->isVisible() && ctl(*window).mnuFileExit->isEnabled();
        // Opening or closing a catalogue stays out of reach meanwhile.
        open_offered = ctl(*window).mnuDb->isEnabled() || ctl(*window).mnuDbRnm->isEnabled();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(ctl(*window).mnuFileExit).center());
        from_menu = window->message_text();
    });
    EXPECT_TRUE(exit_offered);
    EXPECT_FALSE(open_offered);
    EXPECT_EQ(from_menu, by_itself);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page(), 1);

    // A note search, which Esc stops, says so.
    ctl(*window).SSTab_main->setCurrentIndex(1);
    ctl(*window).SSTab_search->setCurrentIndex(1);
    ctl(*window).Text4->setText("note");
    QString from_search;
    while_running([&] { ctl(*window).refresh_grid->click(); }, [&] {
        QTest::mouseClick(ctl(*window).Command3, Qt::LeftButton);
        from_search = window->message_text();
    });
    EXPECT_EQ(from_search, "Busy: stop the running action first (Esc), then exit.");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->message_text(), "8 records selected.");

    // Once nothing runs the exit button ends the program.
    QTest::mouseClick(ctl(*window).Command3, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_P(WindowInput, KeypadActsOnThePageWhateverRouteLedBackToIt)
{
    open_pictures(20);

    // To the loader, a click in its folder list, and back by the tab bar,
    // which takes no focus of its own.
    click_tab(2);
    QListWidget* folders = ctl(*window).Dir_ImportDir;
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(QApplication::focusWidget(), folders);
    click_tab(0);
    type(Qt::Key_5);
    EXPECT_EQ(page(), 2);

    // A click in the search grid, then the page tab: the digit is no page number.
    click_tab(1);
    search_names("pic");
    QTableView* grid = ctl(*window).MSFlexGrid1;
    ASSERT_TRUE(grid->isVisible());
    const QModelIndex row_on_page_2 = grid->model()->index(6, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(row_on_page_2).center());
    ASSERT_EQ(ctl(*window).SSTab_main->currentIndex(), 1);
    click_tab(0);
    const QString page_box = ctl(*window).Label3->text();
    type(Qt::Key_5);
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(ctl(*window).Label3->text(), page_box);

    // Back by the window itself: the page of a row elsewhere shown in front.
    click_tab(1);
    const QModelIndex row_on_page_1 = grid->model()->index(0, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(row_on_page_1).center());
    if (ctl(*window).display_page)
        ctl(*window).display_page->click();
    ASSERT_EQ(ctl(*window).SSTab_main->currentIndex(), 0);
    ASSERT_EQ(page(), 1);
    type(Qt::Key_Period);
    EXPECT_EQ(page(), 4);
}

INSTANTIATE_TEST_SUITE_P(Editions, WindowInput, ::testing::Bool(), edition_name);

} // namespace
