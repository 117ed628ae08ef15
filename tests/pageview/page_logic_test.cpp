#include "pageview/page_logic.h"

#include <gtest/gtest.h>

#include <array>

using namespace mosswick;

TEST(PageLogic, LabelsAndTypes)
{
    EXPECT_EQ(page_label(3, 3), "3 / 3");
    EXPECT_EQ(page_label(1, 0), "1 / 0");
    EXPECT_EQ(type_of("Holiday.JPG"), "jpg");
    EXPECT_EQ(type_of("archive.tar.GZ"), "gz");
    EXPECT_EQ(type_of("README"), "readme");
    EXPECT_EQ(type_of("trailing."), "");
}

TEST(PageLogic, NavigationAfterALoad)
{
    // 13 pictures, last page.
    NavState s = nav_state(3, 13, 3, 1, "3");
    EXPECT_TRUE(s.go_left);
    EXPECT_FALSE(s.go_right);
    EXPECT_TRUE(s.bof);
    EXPECT_FALSE(s.eof);
    EXPECT_TRUE(s.slider);
    EXPECT_FALSE(s.show_page);
    // First page of three, page box differing.
    s = nav_state(1, 13, 3, 1, "2");
    EXPECT_FALSE(s.go_left);
    EXPECT_TRUE(s.go_right);
    EXPECT_FALSE(s.bof);
    EXPECT_TRUE(s.eof);
    EXPECT_TRUE(s.show_page);
    // One page only: the slider and the page buttons are left alone.
    s = nav_state(1, 6, 1, 1, "1");
    EXPECT_FALSE(s.touched);
    EXPECT_FALSE(s.go_left);
    EXPECT_FALSE(s.show_page);
    // An empty or foreign page box counts as 0.
    EXPECT_TRUE(nav_state(1, 6, 1, 1, "").show_page);
    EXPECT_TRUE(nav_state(1, 6, 1, 1, "x").show_page);
}

namespace {
struct KeyCase {
    char key;
    bool go_left, go_right;
    int selected, cells;
    KeypadAction action;
    bool consumed;
    int selected_after;
    bool picture = true;   // the cells show a picture
};
} // namespace

TEST(PageLogic, KeypadTable)
{
    const std::array cases{
        KeyCase{'4', false, true, 0, 6, KeypadAction::None, false, 0},
        KeyCase{'4', true, true, 0, 6, KeypadAction::PreviousPage, true, 0},
        KeyCase{'3', false, true, 0, 6, KeypadAction::None, false, 0},
        KeyCase{'5', true, true, 2, 6, KeypadAction::NextPage, true, 2},
        KeyCase{'.', true, false, 0, 6, KeypadAction::None, false, 0},
        KeyCase{'.', false, true, 0, 6, KeypadAction::LastPage, true, 0},
        KeyCase{'6', false, false, 0, 6, KeypadAction::None, false, 0},
        KeyCase{'6', false, false, 3, 6, KeypadAction::Zoom, true, 3},
        KeyCase{'9', false, false, 3, 6, KeypadAction::Movie, true, 3},
        KeyCase{'1', false, false, 3, 6, KeypadAction::EditNote, true, 3},
        KeyCase{'2', false, false, 3, 6, KeypadAction::ShowNote, true, 3},
        KeyCase{'7', false, false, 0, 6, KeypadAction::Select, true, 6},
        KeyCase{'8', false, false, 0, 6, KeypadAction::Select, true, 1},
        KeyCase{'8', false, false, 6, 6, KeypadAction::Select, true, 1},
        KeyCase{'7', false, false, 1, 4, KeypadAction::Select, true, 4},
        KeyCase{'7', false, false, 0, 0, KeypadAction::None, false, 0},
        KeyCase{'8', false, false, 0, 0, KeypadAction::Select, true, 1},
        KeyCase{'x', true, true, 2, 6, KeypadAction::None, false, 2},
        // On a cell without picture a key is consumed but does nothing.
        KeyCase{'6', false, false, 2, 6, KeypadAction::None, true, 2, false},
        KeyCase{'8', false, false, 0, 0, KeypadAction::None, true, 1, false},
    };
    for (const KeyCase& c : cases) {
        const KeypadResult r = keypad(c.key, c.go_left, c.go_right, c.selected, c.cells, [&c](int) { return c.picture; });
        const std::string which =
            std::string(1, c.key) + " from " + std::to_string(c.selected) + (c.picture ? "" : " without picture");
        EXPECT_EQ(r.action, c.action) << which;
        EXPECT_EQ(r.consumed, c.consumed) << which;
        EXPECT_EQ(r.selected_cell, c.selected_after) << which;
    }
}

TEST(PageLogic, ZoomWindowLayoutThresholds)
{
    ZoomLayout l = zoom_layout(4725, 2790);
    EXPECT_EQ(l.client_width, k_zoom_client_width);
    EXPECT_EQ(l.client_height, k_zoom_client_height);
    EXPECT_EQ(l.slider_width, k_zoom_slider_width);
    EXPECT_EQ(l.slider_top, k_zoom_slider_top);
    l = zoom_layout(4726, 2791);
    EXPECT_EQ(l.client_width, 4726);
    EXPECT_EQ(l.slider_width, 4726 - 570 - 600);
    EXPECT_EQ(l.client_height, 2791 + 555);
    EXPECT_EQ(l.slider_top, 2791);
    EXPECT_EQ(l.right_panel_left, l.slider_width + 570);
}

TEST(PageLogic, ZoomCaptionAndKeys)
{
    EXPECT_EQ(zoom_caption(0, "/d/a.jpg"), "/d/a.jpg");
    EXPECT_EQ(zoom_caption(-37, "/d/a.jpg"), "-37% of /d/a.jpg");
    EXPECT_EQ(zoom_caption(12, "The Screenshot."), "12% of The Screenshot.");
    const std::pair<int, ZoomKey> keys[] = {{27, ZoomKey::Close}, {'6', ZoomKey::Close}, {'0', ZoomKey::Redraw},
                                            {'.', ZoomKey::NaturalSize}, {'3', ZoomKey::Maximum}, {'5', ZoomKey::None}};
    for (const auto& [key, action] : keys)
        EXPECT_EQ(zoom_key(key), action) << key;
}
