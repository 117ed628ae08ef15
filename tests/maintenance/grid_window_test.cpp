#include "maintenance_fixture.h"
#include "support/layout_probe.h"

#include <QHeaderView>
#include <QItemSelectionModel>

using namespace mosswick;

namespace {

class GridWindow : public MaintenanceWindow {
protected:
    void load(int pictures)
    {
        open_catalogue(pictures);
        ctl(*window).SSTab_main->setCurrentIndex(2);
        ctl(*window).load_list->click();
    }

    bool any_option_on() const
    {
        return ctl(*window).Opt_exchange->isChecked() || ctl(*window).Opt_insert->isChecked()
            || ctl(*window).Opt_delete_picture->isChecked() || ctl(*window).Opt_delete_page->isChecked();
    }

    // Nothing of an earlier action is pending: a new exchange starts with its first click.
    void expect_fresh_exchange(int row)
    {
        ctl(*window).Opt_exchange->setChecked(true);
        click_row(row);
        EXPECT_EQ(window->message_text(), "Exchange with...");
    }
};

} // namespace

TEST_F(GridWindow, LoadListFillsTheGridAndResetsTheChoice)
{
    load(14);
    ctl(*window).Opt_exchange->setChecked(true);
    click_row(0);
    ctl(*window).Text8->setText("left");
    ctl(*window).Text28->setText("jpg");
    ctl(*window).load_list->click();
    EXPECT_EQ(window->message_text(), "Grid loaded: 14 records listed.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_EQ(model()->rowCount(), 14);
    EXPECT_FALSE(ctl(*window).mgm_pic->isHidden());
    // The given widths, or wider where a heading needs it.
    QHeaderView* header = ctl(*window).mgm_pic->horizontalHeader();
    EXPECT_EQ(ctl(*window).mgm_pic->columnWidth(0), std::max(ui::twips_to_px(700), header->sectionSizeHint(0)));
    EXPECT_EQ(ctl(*window).mgm_pic->columnWidth(3), std::max(ui::twips_to_px(5000), header->sectionSizeHint(3)));
    EXPECT_FALSE(any_option_on());
    EXPECT_EQ(ctl(*window).Text8->text(), "");
    EXPECT_EQ(ctl(*window).Text28->text(), "");
    EXPECT_TRUE(ctl(*window).load_list->isEnabled());
    EXPECT_TRUE(ctl(*window).SSTab_main->isEnabled());
    expect_usable();
    expect_fresh_exchange(1);
}

TEST_F(GridWindow, AnEmptyCatalogueKeepsTheGridHidden)
{
    open_catalogue(1);
    exec("DELETE FROM demopicture");
    ctl(*window).load_list->click();
    EXPECT_EQ(window->message_text(), "Grid loaded: 0 record listed.");
    EXPECT_TRUE(ctl(*window).mgm_pic->isHidden());
}

TEST_F(GridWindow, AClickWithoutAnActionPreparesARename)
{
    load(8);
    exec("UPDATE demopicture SET picfile = 'holiday.01.jpg' WHERE numpic = 8");
    ctl(*window).load_list->click();
    click_row(grid_row_of(8));
    EXPECT_EQ(ctl(*window).Text8->text(), "holiday.01");
    EXPECT_EQ(ctl(*window).Text28->text(), "jpg");
    EXPECT_TRUE(ctl(*window).Command2->isEnabled());
    EXPECT_EQ(window->message_text(),
              "Renaming file(s), change the name and press the 'Rename' button; Picture#:8,  Page#:2.");
    EXPECT_TRUE(ctl(*window).mgm_pic->isEnabled());
    expect_usable();
    expect_fresh_exchange(grid_row_of(8));
}

TEST_F(GridWindow, RenameRenamesThePictureAndItsMovieOnce)
{
    load(3);
    exec("UPDATE demopicture SET movfile = 'pic002.avi' WHERE numpic = 2");
    touch(data("pic002.avi"), "movie");
    ctl(*window).load_list->click();
    click_row(1);
    ctl(*window).Text8->setText("coast");
    ctl(*window).Command2->click();
    EXPECT_EQ(window->message_text(), "Picture & Multimedia files renamed.");
    EXPECT_EQ(rows()[1], "2/1/coast.jpg/coast.avi");
    EXPECT_TRUE(QFile::exists(data("coast.jpg")));
    EXPECT_TRUE(QFile::exists(data("coast.avi")));
    EXPECT_FALSE(ctl(*window).Command2->isEnabled());
    EXPECT_EQ(ctl(*window).Text8->text(), "");
    // The grid still shows the old name until it is loaded again.
    EXPECT_EQ(model()->cell_text(1, 3), "pic002.jpg");

    // A click on that out-of-date row cannot rename anything.
    click_row(1);
    ctl(*window).Text8->setText("again");
    ctl(*window).Command2->click();
    EXPECT_EQ(window->message_text(),
              "The list is out of date: press \"Load List\" and try again. Nothing was changed.");
    EXPECT_EQ(rows()[1], "2/1/coast.jpg/coast.avi");
    EXPECT_FALSE(QFile::exists(data("again.jpg")));
    expect_usable();
}

TEST_F(GridWindow, RenameChecksItsBoxesFirst)
{
    load(2);
    click_row(0);
    for (const auto& [base, extension, message] :
         {std::tuple{"   ", "jpg", "File name must be specified."},
          {"new", "txt", "File extension must be specified as bmp, gif, jpg, png, tif, emf, wmf, rle and ico."},
          {"pic002", "jpg", "A picture file with the same name was found in the data directory."}}) {
        ctl(*window).Text8->setText(base);
        ctl(*window).Text28->setText(extension);
        ctl(*window).Command2->click();
        EXPECT_EQ(window->message_text(), message);
        EXPECT_TRUE(ctl(*window).Command2->isEnabled()) << message;
    }
    EXPECT_EQ(rows().front(), "1/1/pic001.jpg/-");

    focus(ctl(*window).Text8);
    ctl(*window).Text8->clear();
    QTest::keyClicks(ctl(*window).Text8, "a:b?c");
    EXPECT_EQ(ctl(*window).Text8->text(), "abc");
    EXPECT_EQ(window->message_text(), "Characters not supported \\ / * ? < > | \"");
}

TEST_F(GridWindow, RenameRefusesANameThatWouldHideTheFile)
{
    load(2);
    touch(data("pic001.jpg"), "one");
    click_row(0);
    focus(ctl(*window).Text8);
    ctl(*window).Text8->clear();
    QTest::keyClicks(ctl(*window).Text8, "../../evil");
    EXPECT_EQ(ctl(*window).Text8->text(), "....evil");
    ctl(*window).Command2->click();
    EXPECT_EQ(window->message_text(), "File name must not begin with a dot.");
    EXPECT_TRUE(ctl(*window).Command2->isEnabled());
    EXPECT_EQ(rows().front(), "1/1/pic001.jpg/-");
    EXPECT_TRUE(QFile::exists(data("pic001.jpg")));
    EXPECT_FALSE(QFile::exists(data("....evil.jpg")));
    // A dot further in is a name like any other.
    ctl(*window).Text8->setText("evil..jpg");
    ctl(*window).Command2->click();
    EXPECT_EQ(window->message_text(), "Picture renamed.");
    EXPECT_EQ(rows().front(), "1/1/evil..jpg.jpg/-");
}

TEST_F(GridWindow, DeletePictureActsOnOneClick)
{
    load(8);
    ctl(*window).Opt_delete_picture->setChecked(true);
    click_row(grid_row_of(3));
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    EXPECT_EQ(order(), QList<int>({1, 2, 4, 5, 6, 7, 8}));
    EXPECT_EQ(model()->rowCount(), 7);
    EXPECT_FALSE(ctl(*window).Opt_delete_picture->isChecked());
    EXPECT_EQ(ctl(*window).Label27->text(), "7");
    expect_usable();
    expect_fresh_exchange(0);
}

TEST_F(GridWindow, DeletePageDeletesTheClickedRowsPage)
{
    load(14);
    ctl(*window).Opt_delete_page->setChecked(true);
    click_row(grid_row_of(9));
    EXPECT_EQ(window->message_text(), "Page deleted.");
    EXPECT_EQ(order(), QList<int>({1, 2, 3, 4, 5, 6, 13, 14}));
    EXPECT_EQ(model()->rowCount(), 8);
}

TEST_F(GridWindow, ExchangeTakesTwoClicks)
{
    load(12);
    ctl(*window).Opt_exchange->setChecked(true);
    click_row(grid_row_of(3));
    EXPECT_EQ(window->message_text(), "Exchange with...");
    click_row(grid_row_of(10));
    EXPECT_EQ(window->message_text(), "Exchanged.");
    EXPECT_EQ(rows()[2], "3/1/pic010.jpg/-");
    EXPECT_EQ(rows()[9], "10/2/pic003.jpg/-");
    EXPECT_FALSE(ctl(*window).Opt_exchange->isChecked());
    EXPECT_EQ(model()->cell_text(2, 3), "pic010.jpg");
    expect_fresh_exchange(0);
}

TEST_F(GridWindow, InsertMovesTheFirstClickedPictureToTheSecondsNumber)
{
    load(12);
    ctl(*window).Opt_insert->setChecked(true);
    click_row(grid_row_of(9));
    EXPECT_EQ(window->message_text(), "Insert in...");
    click_row(grid_row_of(2));
    EXPECT_EQ(window->message_text(), "Inserted.");
    EXPECT_EQ(order(), QList<int>({1, 9, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12}));

    ctl(*window).Opt_insert->setChecked(true);
    click_row(grid_row_of(2));
    click_row(grid_row_of(9));
    EXPECT_EQ(order(), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    expect_usable();
}

TEST_F(GridWindow, AnOutOfDateGridWritesNothing)
{
    load(8);
    // Another action changes the catalogue under the grid.
    ctl(*window).Text15->setText("1");
    ctl(*window).delete_picture->click();
    const QStringList before = rows();
    ctl(*window).Opt_delete_picture->setChecked(true);
    click_row(grid_row_of(3));   // shows pic003.jpg, which is number 2 now
    EXPECT_EQ(window->message_text(), "The list was out of date and is listed again: try again. Nothing was changed.");
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(any_option_on());
    EXPECT_EQ(model()->cell_text(grid_row_of(3), 3), "pic004.jpg");

    ctl(*window).load_list->click();
    ctl(*window).Opt_exchange->setChecked(true);
    click_row(grid_row_of(1));
    exec("UPDATE demopicture SET picfile = 'moved.jpg' WHERE numpic = 4");
    click_row(grid_row_of(4));
    EXPECT_EQ(window->message_text(), "The list was out of date and is listed again: try again. Nothing was changed.");
    EXPECT_EQ(rows()[0], "1/1/pic002.jpg/-");
    // The refused exchange is over: a new one starts with its first click.
    EXPECT_FALSE(any_option_on());
    expect_fresh_exchange(grid_row_of(2));
}

TEST_F(GridWindow, ChoosingAnotherActionStartsAfresh)
{
    load(8);
    ctl(*window).Opt_exchange->setChecked(true);
    click_row(grid_row_of(1));
    ASSERT_EQ(window->message_text(), "Exchange with...");
    // Were the exchange still waiting, this click would be its second.
    ctl(*window).Opt_delete_picture->setChecked(true);
    click_row(grid_row_of(5));
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    EXPECT_EQ(order(), QList<int>({1, 2, 3, 4, 6, 7, 8}));
}

TEST_F(GridWindow, ASelectionOfSeveralRowsIsRefusedAndCollapsed)
{
    load(8);
    click_row(2);   // no action chosen yet: a rename is prepared
    ctl(*window).Opt_delete_picture->setChecked(true);
    testsupport::click_grid_row(ctl(*window).mgm_pic, 5, Qt::ShiftModifier);
    EXPECT_EQ(window->message_text(), "Select one row.");
    EXPECT_EQ(ctl(*window).mgm_pic->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(rows().size(), 8);
}

// A stopped or failed grid edit changes nothing and, like one that is done,
// lists the catalogue again: no option stays on, and the next click on a row
// only prepares a rename.
TEST_F(GridWindow, AStoppedOrFailedGridEditLeavesNoOptionOn)
{
    using W = testsupport::WindowControls;
    const QString refused =
        "Error 8 - The catalogue can no longer be written (attempt to write a readonly database); nothing was saved.";
    const struct {
        QRadioButton* W::*option;
        QList<int> clicked;   // picture numbers
        bool fails;           // else stopped from the progress bar
        QString message;
    } cases[] = {
        {&W::Opt_delete_picture, {3}, false, "Renumbering stopped, the picture was not deleted."},
        {&W::Opt_delete_page, {9}, false, "Renumbering stopped, the page was not deleted."},
        {&W::Opt_insert, {9, 2}, false, "Renumbering stopped, the picture was not inserted."},
        {&W::Opt_exchange, {3, 10}, true, refused},
    };
    load(14);
    const QStringList before = rows();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        (ctl(*window).*c.option)->setChecked(true);
        c.fails ? exec("PRAGMA query_only = 1") : stop_at(2);
        for (int numpic : c.clicked)
            click_row(grid_row_of(numpic));
        exec("PRAGMA query_only = 0");
        EXPECT_EQ(window->message_text(), c.message);
        EXPECT_FALSE(any_option_on());
        click_row(grid_row_of(5));
        EXPECT_TRUE(window->message_text().startsWith("Renaming file(s)")) << window->message_text().toStdString();
        EXPECT_EQ(rows(), before);
        expect_usable();
    }
}

TEST_F(GridWindow, ARealMouseClickReachesTheGrid)
{
    load(6);
    window->show();
    QCoreApplication::processEvents();
    const QRect cell = ctl(*window).mgm_pic->visualRect(model()->index(3, 3));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(ctl(*window).mgm_pic->viewport(), Qt::LeftButton, {}, cell.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl(*window).Text8->text(), "pic004");
    EXPECT_TRUE(ctl(*window).Command2->isEnabled());
}

TEST_F(GridWindow, AClickBelowTheRowsActsOnNoRow)
{
    load(3);
    window->show();
    QCoreApplication::processEvents();
    // A row was current before: a rename-mode click on it.
    const QRect second = ctl(*window).mgm_pic->visualRect(model()->index(1, 3));
    QTest::mouseClick(ctl(*window).mgm_pic->viewport(), Qt::LeftButton, {}, second.center());
    QCoreApplication::processEvents();
    ctl(*window).Opt_delete_picture->setChecked(true);
    const QPoint below(5, ctl(*window).mgm_pic->viewport()->height() - 3);
    ASSERT_FALSE(ctl(*window).mgm_pic->indexAt(below).isValid());
    QTest::mouseClick(ctl(*window).mgm_pic->viewport(), Qt::LeftButton, {}, below);
    QCoreApplication::processEvents();
    EXPECT_EQ(order(), QList<int>({1, 2, 3}));
    EXPECT_NE(window->message_text(), "Picture deleted.");
    expect_usable();
}

TEST_F(GridWindow, TheControlsKeepTheirPlaceAndHeadingsReadWhole)
{
    open_catalogue(14);
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ctl(*window).SSTab_mgm->setCurrentIndex(1);
    ctl(*window).SSTab_mgm_pic->setCurrentIndex(1);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto controls = [this] {
        return testsupport::places_in(window.get(), {ctl(*window).Opt_exchange, ctl(*window).Opt_delete_page, ctl(*window).load_list,
                                                     ctl(*window).Text8, ctl(*window).Command2});
    };
    const QList<QRect> before = controls();
    ctl(*window).load_list->click();
    ASSERT_TRUE(ctl(*window).mgm_pic->isVisible());
    EXPECT_EQ(controls(), before);
    // "numpage" and the other headings fit their columns.
    QHeaderView* header = ctl(*window).mgm_pic->horizontalHeader();
    for (int c = 0; c < 4; ++c)
        EXPECT_GE(ctl(*window).mgm_pic->columnWidth(c), header->sectionSizeHint(c)) << c;
    exec("DELETE FROM demopicture");
    ctl(*window).load_list->click();
    ASSERT_TRUE(ctl(*window).mgm_pic->isHidden());
    EXPECT_EQ(controls(), before);
}

namespace {

// More rows than the grid reads at once: the actions reach rows it has
// never shown.
class LargeGrid : public GridWindow {
protected:
    static constexpr int k_rows = 3000;

    void SetUp() override
    {
        GridWindow::SetUp();
        load(6);
        exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 7 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO demopicture (numpic, numpage, picfile) "
                            "SELECT i, (i + 5) / 6, printf('far%04d.jpg', i) FROM n")
                 .arg(k_rows));
        ctl(*window).load_list->click();
        ASSERT_EQ(model()->rowCount(), k_rows);
    }
};

} // namespace

TEST_F(LargeGrid, DeletesARowItNeverShowed)
{
    EXPECT_EQ(window->message_text(), QStringLiteral("Grid loaded: %1 records listed.").arg(k_rows));
    EXPECT_LE(model()->listing().blocks_read(), 2);
    ctl(*window).Opt_delete_picture->setChecked(true);
    click_row(2899);
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    const QStringList after = rows();
    ASSERT_EQ(after.size(), k_rows - 1);
    EXPECT_FALSE(after.join(u' ').contains("far2900.jpg"));
    EXPECT_EQ(after[2898], "2899/484/far2899.jpg/-");
    EXPECT_EQ(after[2899], "2900/484/far2901.jpg/-");
    EXPECT_EQ(model()->rowCount(), k_rows - 1);   // listed again
}

TEST_F(LargeGrid, ExchangesTwoRowsItNeverShowed)
{
    ctl(*window).Opt_exchange->setChecked(true);
    click_row(999);
    click_row(2499);
    EXPECT_EQ(window->message_text(), "Exchanged.");
    const QStringList after = rows();
    EXPECT_EQ(after[999].section('/', 2, 2), "far2500.jpg");
    EXPECT_EQ(after[2499].section('/', 2, 2), "far1000.jpg");
    // The grid, listed again, shows the catalogue as it is now.
    EXPECT_EQ(model()->cell_text(2499, 3), "far1000.jpg");
}
