#include "maintenance/grid_model.h"

#include "maintenance_test_util.h"

using namespace mosswick;
using namespace mosswick::maintenance;

TEST_F(CatalogueTest, GridRowsShowNumberPageMovieMarkAndName)
{
    make(8);
    exec("UPDATE demopicture SET movfile = 'pic002.avi' WHERE numpic = 2");
    exec("UPDATE demopicture SET movfile = '' WHERE numpic = 3");
    exec("UPDATE demopicture SET numpic = 20 WHERE numpic = 1");
    ManagementGridModel model;
    ASSERT_TRUE(model.load(*conn).ok());
    ASSERT_EQ(model.rowCount(), 8);
    EXPECT_EQ(model.columnCount(), 4);
    // Ordered by number.
    EXPECT_EQ(model.cell_text(0, ManagementGridModel::col_numpic), "2");
    EXPECT_EQ(model.cell_text(0, ManagementGridModel::col_movie), "*");
    EXPECT_EQ(model.cell_text(1, ManagementGridModel::col_movie), "*");   // an empty name is still not Null
    EXPECT_EQ(model.cell_text(2, ManagementGridModel::col_movie), "");
    EXPECT_EQ(model.cell_text(7, ManagementGridModel::col_numpic), "20");
    EXPECT_EQ(model.cell_text(7, ManagementGridModel::col_numpage), "1");
    EXPECT_EQ(model.cell_text(7, ManagementGridModel::col_picfile), "pic001.jpg");
    EXPECT_EQ(model.data(model.index(5, 3)).toString(), "pic007.jpg");
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), "picfile");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_EQ(model.data(model.index(0, 3), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(ManagementGridModel::column_width_twips(0), 700);
    EXPECT_EQ(ManagementGridModel::column_width_twips(3), 5000);

    const std::optional<PictureRef> ref = model.ref(7);
    ASSERT_TRUE(ref);
    EXPECT_TRUE(ref->from_grid);
    EXPECT_EQ(ref->numpic, 20);
    EXPECT_EQ(ref->numpage, 1);
    EXPECT_EQ(ref->picfile, "pic001.jpg");
    EXPECT_FALSE(model.ref(8));
}

TEST_F(CatalogueTest, GridRowsWithoutNumbersShowEmptyCellsAndCannotBeActedOn)
{
    make(2);
    exec("UPDATE demopicture SET numpic = NULL, numpage = NULL, picfile = NULL WHERE numpic = 2");
    ManagementGridModel model;
    ASSERT_TRUE(model.load(*conn).ok());
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.cell_text(0, ManagementGridModel::col_numpic), "");
    EXPECT_EQ(model.cell_text(0, ManagementGridModel::col_numpage), "");
    EXPECT_EQ(model.cell_text(0, ManagementGridModel::col_picfile), "");
    EXPECT_FALSE(model.ref(0));
    EXPECT_TRUE(model.ref(1));
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(CatalogueTest, AGridLoadOverAnEmptyCatalogueHasNoRows)
{
    make(0);
    ManagementGridModel model;
    ASSERT_TRUE(model.load(*conn).ok());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.cell_text(0, 0), "");
}
