#include "loader/numbering.h"

#include "loader_test_util.h"

using namespace mosswick;
using namespace mosswick::loader;

TEST(Numbering, SlotAfterTheCataloguesEnd)
{
    struct Case {
        CatalogueEnd end;
        PictureSlot slot;
    } cases[] = {
        {{true, 0, 0, 0}, {1, 1, 1}},
        {{false, 12, 2, 6}, {13, 3, 1}},
        {{false, 13, 3, 1}, {14, 3, 2}},
        {{false, 28, 5, 4}, {29, 5, 5}},
        // A full last page moves on even when an earlier page is short.
        {{false, 11, 2, 6}, {12, 3, 1}},
        // An over-full last page counts as full: nothing more joins it.
        {{false, 14, 2, 7}, {15, 3, 1}},
        {{false, 5, 1, 5}, {6, 1, 6}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(slot_after(c.end), c.slot) << c.end.max_numpic << "/" << c.end.rows_on_last_page;
    }
}

TEST(Numbering, AdvanceFillsPagesOfSix)
{
    // 14 pictures into an empty catalogue: six, six and two.
    PictureSlot s = slot_after({});
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(s.numpic, i + 1);
        EXPECT_EQ(s.numpage, i / 6 + 1);
        s = advance(s);
    }
    // A last page of four: two more fill it, the third starts the next page.
    s = slot_after({false, 28, 5, 4});
    EXPECT_EQ(s, (PictureSlot{29, 5, 5}));
    s = advance(s);
    EXPECT_EQ(s, (PictureSlot{30, 5, 6}));
    s = advance(s);
    EXPECT_EQ(s, (PictureSlot{31, 6, 1}));
}

TEST(Numbering, NextSlotIsReadFromTheCatalogue)
{
    for (auto [pictures, numpic, numpage] : {std::tuple{0, 1, 1}, {12, 13, 3}, {13, 14, 3}, {7, 8, 2}}) {
        loadertest::Catalogue cat(pictures);
        store::Error e;
        const PictureSlot s = next_picture_slot(*cat.conn, e);
        ASSERT_TRUE(e.ok()) << e.text.toStdString();
        EXPECT_EQ(s.numpic, numpic) << pictures;
        EXPECT_EQ(s.numpage, numpage) << pictures;
    }
    // A page left short by a deletion does not matter; only the last page counts.
    loadertest::Catalogue cat(12);
    ASSERT_TRUE(cat.conn->exec("DELETE FROM demopicture WHERE numpic = 3").ok());
    store::Error e;
    EXPECT_EQ(next_picture_slot(*cat.conn, e), (PictureSlot{13, 3, 1}));
}
