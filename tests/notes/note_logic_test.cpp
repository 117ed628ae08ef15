#include "notes/note_layout.h"
#include "notes/note_logic.h"

#include "platform/store/schema.h"

#include <gtest/gtest.h>

#include <set>

using namespace mosswick::notes;
namespace store = mosswick::store;

namespace {

struct SwatchCase {
    int index;
    unsigned bgr;
};

class PaletteTest : public ::testing::TestWithParam<SwatchCase> {};

TEST_P(PaletteTest, IndexIsColumnTimesSixPlusRow)
{
    EXPECT_EQ(palette_colour(GetParam().index), GetParam().bgr);
}

INSTANTIATE_TEST_SUITE_P(Swatches, PaletteTest,
                         ::testing::Values(SwatchCase{0, 0xFFFFFF},    // column 0, row 0
                                           SwatchCase{1, 0xE0E0E0},    // column 0, row 1
                                           SwatchCase{5, 0x000000},    // the default: black
                                           SwatchCase{6, 0xC0C0FF},    // column 1, row 0
                                           SwatchCase{8, 0x0000FF},    // column 1, row 2
                                           SwatchCase{22, 0x008080},   // column 3, row 4
                                           SwatchCase{29, 0x004000},   // column 4, row 5
                                           SwatchCase{38, 0xFF0000},   // column 6, row 2
                                           SwatchCase{42, 0xFFC0FF},   // column 7, row 0
                                           SwatchCase{47, 0x400040})); // column 7, row 5

TEST(PaletteRules, EveryIndexHasOneCellAndOutOfRangeHasNoColour)
{
    std::set<std::pair<int, int>> cells;
    for (int i = 0; i < k_palette_size; ++i) {
        const auto cell = palette_cell(i);
        EXPECT_GE(cell.first, 0);
        EXPECT_LT(cell.first, k_palette_columns);
        EXPECT_GE(cell.second, 0);
        EXPECT_LT(cell.second, k_palette_rows);
        cells.insert(cell);
        EXPECT_TRUE(palette_colour(i).has_value()) << i;
    }
    EXPECT_EQ(cells.size(), size_t(k_palette_size));
    EXPECT_FALSE(palette_colour(-1));
    EXPECT_FALSE(palette_colour(48));
    EXPECT_EQ(palette_colour(k_default_colour_index), 0x000000u);
}

TEST(SizeRules, LabelsGiveTheirPointsAndCaptions)
{
    const int expected[] = {8, 9, 10, 11, 12, 14, 16, 18, 20};
    for (int i = 0; i < k_size_count; ++i) {
        EXPECT_EQ(font_size_for(i), expected[i]);
        EXPECT_EQ(font_size_caption(i), QString::number(expected[i]));
    }
    EXPECT_FALSE(font_size_for(-1));
    EXPECT_FALSE(font_size_for(9));
    EXPECT_TRUE(font_size_caption(9).isEmpty());
}

TEST(SizeRules, DisplaySizeFollowsTheFirstSetOptionElseTwenty)
{
    const std::pair<int, int> options_and_points[] = {{0, 8}, {4, 12}, {5, 14}, {7, 18}, {8, 20}, {-1, 20}};
    for (const auto& [option, points] : options_and_points)
        EXPECT_EQ(display_size(option), points) << option;
}

TEST(FontRules, GaramondAndMicrosoftSansSerifApplyTimesNewRoman)
{
    EXPECT_EQ(QString::fromLatin1(font_labels()[4].caption), "Garamond");
    EXPECT_EQ(QString::fromLatin1(font_labels()[5].caption), "Microsoft Sans Serif");
    const std::pair<int, const char*> applied[] = {{0, "Comic Sans MS"}, {3, "Fixedsys"}, {4, "Times New Roman"},
                                                   {5, "Times New Roman"}, {7, "MS Sans Serif"}, {8, ""}, {-1, ""}};
    for (const auto& [label, font] : applied)
        EXPECT_EQ(applied_font(label), font) << label;
}

TEST(ToolCodes, StylesAlignmentAndFindOptions)
{
    EXPECT_EQ(style_for(0), Style::Bold);
    EXPECT_EQ(style_for(1), Style::Italic);
    EXPECT_EQ(style_for(2), Style::StrikeThru);
    EXPECT_EQ(style_for(3), Style::Underline);
    EXPECT_FALSE(style_for(4));

    // A mixed selection counts as not set, so the toggle turns it on.
    EXPECT_TRUE(toggled(std::nullopt));
    EXPECT_TRUE(toggled(false));
    EXPECT_FALSE(toggled(true));

    EXPECT_EQ(alignment_for(0), 0);
    EXPECT_EQ(alignment_for(1), 2);   // "Center"
    EXPECT_EQ(alignment_for(2), 1);   // "Right"
    EXPECT_FALSE(alignment_for(3));

    EXPECT_EQ(find_options_for(0), 2);
    EXPECT_EQ(find_options_for(1), 4);
    EXPECT_EQ(find_options_for(2), 0);
    EXPECT_FALSE(find_options_for(3));
}

TEST(ToolCodes, FindResultAndNextStart)
{
    EXPECT_EQ(find_result_text(-1), "Not found");
    EXPECT_EQ(find_result_text(0), "Found");
    EXPECT_EQ(find_result_text(40000), "Found");
    EXPECT_EQ(next_start(7, 0), 8);
    EXPECT_EQ(next_start(-1, 8), 8);
    // Positions are not limited to 16 bits.
    EXPECT_EQ(next_start(40000, 0), 40001);
}

TEST(LengthText, CountsDisplayedCharacters)
{
    EXPECT_EQ(length_text({}), "0");
    EXPECT_EQ(length_text("Hello"), "5");
    EXPECT_EQ(length_text("ab\r\ncd"), "6");
    EXPECT_EQ(length_text(QString::fromUtf8("caf\xC3\xA9")), "4");
    // A character outside the basic plane is one character, not two units.
    EXPECT_EQ(length_text(QString::fromUtf8("a\xF0\x9F\x98\x80" "b")), "3");
}

TEST(Keys, EscAlwaysClosesAndTwoOnlyAViewer)
{
    EXPECT_TRUE(closes_window(27, true));
    EXPECT_TRUE(closes_window(27, false));
    EXPECT_TRUE(closes_window('2', false));
    EXPECT_FALSE(closes_window('2', true));
    EXPECT_FALSE(closes_window('1', false));
    EXPECT_FALSE(closes_window(13, false));

    EXPECT_TRUE(reference_refuses('"'));
    EXPECT_FALSE(reference_refuses('\''));
    EXPECT_EQ(refused_key_message(), "Character not supported \"");
    EXPECT_EQ(note_caption("pic001.jpg"), "Note for pic001.jpg");
}

TEST(SaveFields, NullStaysNullAndEmptyStaysEmpty)
{
    EXPECT_FALSE(note_field_value(QString()).isValid());
    EXPECT_EQ(note_field_value(QStringLiteral("")), QVariant(QStringLiteral("")));
    EXPECT_EQ(note_field_value("{\\rtf1 x}").toString(), "{\\rtf1 x}");

    EXPECT_FALSE(reference_field_value("", QVariant()).isValid());
    EXPECT_EQ(reference_field_value("", QStringLiteral("old")), QVariant(QStringLiteral("")));
    EXPECT_EQ(reference_field_value("new", QVariant()).toString(), "new");
}

TEST(SaveFields, FullCatalogueWritesThreeFieldsLightOnlyTheNote)
{
    using Fields = std::vector<std::pair<int, QVariant>>;
    EXPECT_EQ(note_save_fields("n", "r", "a", QVariant(), store::k_full_columns),
              (Fields{{store::col_note, "n"}, {store::col_reference, "r"}, {store::col_addnote, "a"}}));
    EXPECT_EQ(note_save_fields("n", "r", "a", QVariant(), store::k_light_columns), (Fields{{store::col_note, "n"}}));
}

TEST(Layout, AViewerShowsTheBoxesFindRowPrintAndCancelButNoTool)
{
    const NoteLayout v = note_layout(true);
    EXPECT_EQ(v.width, 5625);
    for (const TwipRect& r : {v.tabs, v.find_caption, v.find_from_start, v.find_from_last, v.find_box, v.find_result,
                              v.print_frame, v.cancel, v.sizes_frame})
        EXPECT_LE(r.right(), v.width) << r.left << "," << r.top;
    for (const TwipRect& r : v.find_frames)
        EXPECT_LE(r.right(), v.width);
    EXPECT_GE(v.ok.left, v.width);
    for (const TwipRect& r : tool_rects(v))
        EXPECT_GE(r.left, v.width) << r.left << "," << r.top;
}

TEST(Layout, TheViewerMovesPrintAndCancelByTheDesignAmounts)
{
    const NoteLayout e = note_layout(false);
    const NoteLayout v = note_layout(true);
    EXPECT_EQ(e.width, 10905);
    EXPECT_EQ(e.height, 10635);
    EXPECT_EQ(v.print_frame.left, e.print_frame.left - 750);
    EXPECT_EQ(v.cancel.left, e.cancel.left - 5310);
    EXPECT_EQ(v.cancel.top, e.cancel.top - 450);
    EXPECT_EQ(e.ok.left, 8610);
    EXPECT_EQ(e.ok.top, 10170);
    EXPECT_EQ(e.cancel.left, 10440);
    EXPECT_EQ(e.find_box.left, 60);
    EXPECT_EQ(e.find_box.top, 9330);
}

TEST(Layout, NothingOverlapsAndEverythingFitsTheEditor)
{
    const NoteLayout e = note_layout(false);
    std::vector<TwipRect> all = tool_rects(e);
    for (const TwipRect& r : {e.tabs, e.find_caption, e.find_from_start, e.find_from_last, e.find_box, e.find_result,
                              e.print_frame, e.cancel, e.ok, e.hint})
        all.push_back(r);
    all.insert(all.end(), e.find_frames.begin(), e.find_frames.end());
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_GE(all[i].left, 0);
        EXPECT_GE(all[i].top, 0);
        EXPECT_LE(all[i].right(), e.width) << i;
        EXPECT_LE(all[i].bottom(), e.height) << i;
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_FALSE(all[i].intersects(all[j])) << i << " and " << j;
    }
    // The viewer's sizes take the hint's place; both never show together.
    EXPECT_TRUE(e.sizes_frame.intersects(e.hint));
    EXPECT_EQ(e.sizes_frame.left, 30);
    EXPECT_EQ(e.sizes_frame.top, 10140);
}

} // namespace
