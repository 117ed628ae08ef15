#include "search_window_fixture.h"

#include "search/messages.h"

#include <QDir>

using namespace searchtest;

namespace {

// Three pictures: 1 stored in the catalogue, 2 and 3 files.
class ImportExport : public SearchWindowTest {
protected:
    void SetUp() override
    {
        SearchWindowTest::SetUp();
        stored_bytes = testsupport::make_picture_bytes(60, 40, "jpg");
        QDir().mkpath(dir.file("elsewhere"));
        const QString from = dir.write("elsewhere/one.jpg", stored_bytes);
        open_with([&](store::Connection& c) {
            add_picture(c, 1, "one.jpg", {QString("one.avi"), {}, {}, {}});
            add_picture(c, 2, "two.jpg");
            add_picture(c, 3, "three.png");
            ASSERT_FALSE(c.write_picture_bytes(1, from));
        });
        ctl(*window).SSTab_main->setCurrentIndex(2);
    }

    void pick(int row) { click_row(ctl(*window).MSHFlexGrid2, row); }

    QStringList states() const { return grid_column(ctl(*window).MSHFlexGrid2, 3); }

    QByteArray stored_bytes;
};

} // namespace

TEST_F(ImportExport, RefreshListsEveryRecordWithItsStorage)
{
    EXPECT_TRUE(ctl(*window).MSHFlexGrid2->isHidden());
    ctl(*window).refresh_extraction->click();
    EXPECT_FALSE(ctl(*window).MSHFlexGrid2->isHidden());
    EXPECT_EQ(window->message_text(), " 3 records listed.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_EQ(grid_column(ctl(*window).MSHFlexGrid2, 0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(grid_column(ctl(*window).MSHFlexGrid2, 2), (QStringList{"*", "", ""}));
    EXPECT_EQ(states(), (QStringList{"IN", "OUT", "OUT"}));
    EXPECT_EQ(ctl(*window).MSHFlexGrid2->currentIndex().column(), 4);
    EXPECT_FALSE(ctl(*window).Extract->isEnabled());
    EXPECT_TRUE(ctl(*window).SSTab4->isEnabled());
    expect_usable();
}

TEST_F(ImportExport, EmptyCatalogueListsNoRecordAndArmsNothing)
{
    ASSERT_FALSE(window->session().db_conn()->exec(QStringLiteral("DELETE FROM demopicture")));
    ctl(*window).refresh_extraction->click();
    EXPECT_EQ(window->message_text(), " 0 record listed.");
    EXPECT_FALSE(ctl(*window).MSHFlexGrid2->isHidden());
    QTest::mouseClick(ctl(*window).MSHFlexGrid2->viewport(), Qt::LeftButton);
    EXPECT_FALSE(ctl(*window).Extract->isEnabled());
    ctl(*window).Extract->click();   // nothing to move
    EXPECT_EQ(dialogs->count("message"), 0);
}

TEST_F(ImportExport, OneRowArmsTheButtonSeveralDisarmIt)
{
    ctl(*window).refresh_extraction->click();
    show_tab(2);
    ctl(*window).SSTab4->setCurrentIndex(2);
    click_row(ctl(*window).MSHFlexGrid2, 1);
    EXPECT_TRUE(ctl(*window).Extract->isEnabled());
    drag_rows(ctl(*window).MSHFlexGrid2, 0, 1);
    EXPECT_EQ(window->message_text(), "Select one row.");
    EXPECT_EQ(selected_rows(ctl(*window).MSHFlexGrid2), (std::vector<int>{0}));
    EXPECT_FALSE(ctl(*window).Extract->isEnabled());
    click_row(ctl(*window).MSHFlexGrid2, 0);
    EXPECT_TRUE(ctl(*window).Extract->isEnabled());
}

TEST_F(ImportExport, ExportMovesTheStoredPictureOutAndRefreshes)
{
    ctl(*window).refresh_extraction->click();
    pick(0);
    ASSERT_TRUE(ctl(*window).Extract->isEnabled());
    ctl(*window).Extract->click();
    EXPECT_EQ(testsupport::read_all(db_folder + "one.bmp"), stored_bytes);
    EXPECT_EQ(states(), (QStringList{"OUT", "OUT", "OUT"}));
    EXPECT_EQ(grid_column(ctl(*window).MSHFlexGrid2, 4).front(), "one.bmp");
    EXPECT_EQ(window->message_text(), " 3 records listed.");
    EXPECT_FALSE(ctl(*window).Extract->isEnabled());
    expect_usable();

    // And back in: the same bytes are stored again.
    pick(0);
    ctl(*window).Extract->click();
    EXPECT_EQ(states().front(), "IN");
    store::Error e;
    EXPECT_EQ(window->session().db_conn()->read_picture_bytes(1, e), stored_bytes);
}

TEST_F(ImportExport, NoToTheReplaceQuestionChangesNothing)
{
    dir.write("one.bmp", "keep me");
    ctl(*window).refresh_extraction->click();
    pick(0);
    dialogs->answers.push_back(mosswick::ui::Answer::No);
    ctl(*window).Extract->click();
    ASSERT_EQ(dialogs->messages(), (QStringList{"A file with the same name was found, delete it?"}));
    EXPECT_EQ(dialogs->asked.back().title, "Mosswick Zudidudi - Confirmation");
    EXPECT_EQ(dialogs->asked.back().buttons, mosswick::ui::MessageButtons::YesNo);
    EXPECT_EQ(testsupport::read_all(db_folder + "one.bmp"), "keep me");
    EXPECT_EQ(states().front(), "IN");
    EXPECT_FALSE(ctl(*window).Extract->isEnabled());
    expect_usable();
}

TEST_F(ImportExport, ImportProblemsAreReportedAndChangeNothing)
{
    ctl(*window).refresh_extraction->click();
    pick(1);   // two.jpg is not in the catalogue's folder
    dialogs->answers.push_back(mosswick::ui::Answer::Cancel);
    ctl(*window).Extract->click();
    ASSERT_EQ(dialogs->messages(), (QStringList{"File not found."}));
    EXPECT_EQ(dialogs->asked.back().title, "Mosswick Zudidudi - Confirmation");
    EXPECT_EQ(dialogs->asked.back().buttons, mosswick::ui::MessageButtons::OkCancel);
    EXPECT_FALSE(ctl(*window).Extract->isEnabled());

    pick(2);
    ctl(*window).Extract->click();
    EXPECT_EQ(window->message_text(), "Cannot import PNG, TIF, RLE, WMF, ICO or EMF files.");

    dir.write("two.jpg", {});
    pick(1);
    ctl(*window).Extract->click();
    EXPECT_EQ(window->message_text(), "Cannot import two.jpg: Picture file is empty.");
    EXPECT_EQ(states(), (QStringList{"IN", "OUT", "OUT"}));
    EXPECT_EQ(dialogs->count("message"), 1);
    expect_usable();
}

TEST_F(ImportExport, ListOlderThanTheCatalogueMovesNothing)
{
    ctl(*window).refresh_extraction->click();
    ASSERT_FALSE(window->session().db_conn()->exec(QStringLiteral("UPDATE demopicture SET picfile = 'renamed.jpg' WHERE numpic = 1")));
    pick(0);
    ctl(*window).Extract->click();
    EXPECT_EQ(window->message_text(), QString::fromLatin1(mosswick::search::k_row_changed));
    EXPECT_FALSE(QFileInfo::exists(db_folder + "one.bmp"));
    EXPECT_FALSE(QFileInfo::exists(db_folder + "renamed.bmp"));
    store::Error e;
    EXPECT_EQ(window->session().db_conn()->read_picture_bytes(1, e), stored_bytes);
}
