#include "core/edition.h"

#include <gtest/gtest.h>

using mosswick::Edition;

// The texts, limits and switches that tell the two programs apart, each as
// the program shows it.
TEST(Edition, FullEditionTexts)
{
    const Edition e = Edition::enhanced();
    EXPECT_EQ(e.schema, mosswick::store::Schema::Full);
    EXPECT_EQ(e.columns(), 9);
    EXPECT_EQ(e.texts.program_title, "Mosswick Database");
    EXPECT_EQ(e.texts.design_caption, "Mosswick Database");
    EXPECT_EQ(e.texts.closed_caption, "Mosswick database");
    EXPECT_EQ(e.texts.about_version, "V2.3.2,  September 1, 2003");
    EXPECT_TRUE(e.texts.about_picture.isEmpty());
    EXPECT_EQ(e.texts.load_log_name, "Mosswick-Zudidudi load errors.log");
    const char* items[] = {nullptr, "&Nearest Neighbor", "&Bilinear", "&Bicubic", "High quality bi&linear",
                           "High quality bi&cubic", "&None"};
    for (int code = 1; code <= 6; ++code) {
        EXPECT_EQ(e.texts.thumb_quality_items[size_t(code)], items[code]) << code;
        EXPECT_EQ(e.texts.zoom_quality_items[size_t(code)], items[code]) << code;
    }
    EXPECT_EQ(e.texts.delete_page_started, "Page delete...");
    EXPECT_EQ(e.texts.delete_picture_started, "Picture delete...");
    EXPECT_EQ(e.texts.insert_started, "Picture insert...");
    EXPECT_EQ(e.texts.renumbered_ready, "Ready.");
    EXPECT_EQ(e.texts.update_ready, "Ready.");
    EXPECT_EQ(e.texts.batch_ready, "Ready");
    EXPECT_EQ(e.texts.grid_loaded_prefix, "Grid loaded:");   // the count follows with its own leading blank
    EXPECT_TRUE(e.texts.picture_search_tip.contains("(512 bytes max)"));
    EXPECT_TRUE(e.texts.note_search_tip.endsWith("ESC to abort."));
    EXPECT_EQ(e.texts.note_convert_tip, "Select the text and click the label");
    EXPECT_EQ(e.limits.number_box_length, 10);
    EXPECT_EQ(e.limits.picture_search_length, 512);
    EXPECT_EQ(e.layout.cell_picture_width, 4680);
    EXPECT_EQ(e.layout.cell_picture_height, 2715);
    EXPECT_EQ(e.layout.note_view_width, 5625);
    EXPECT_EQ(e.layout.search_name_column_width, 11000);
    EXPECT_TRUE(e.features.passwords);
    EXPECT_TRUE(e.features.upgrade_old_files);
    EXPECT_TRUE(e.features.stored_pictures);
    EXPECT_TRUE(e.features.extra_note_fields);
    EXPECT_TRUE(e.features.search_details);
    EXPECT_TRUE(e.features.update_note_import);
    EXPECT_FALSE(e.features.compaction);
    EXPECT_TRUE(e.features.esc_stops_update);
    EXPECT_TRUE(e.features.times_long_actions);
}

TEST(Edition, LightEditionTexts)
{
    const Edition e = Edition::light();
    EXPECT_EQ(e.schema, mosswick::store::Schema::Light);
    EXPECT_EQ(e.columns(), 5);
    EXPECT_EQ(e.texts.design_caption, "Mosswick database");
    EXPECT_EQ(e.texts.about_version, "V2.1.12, September 1, 2003");
    EXPECT_EQ(e.texts.about_picture, "about3.jpg");
    EXPECT_EQ(e.texts.load_log_name, "Mosswick-Light load errors.log");
    EXPECT_EQ(e.texts.thumb_quality_items[5], "High quality Bicubic");
    EXPECT_EQ(e.texts.zoom_quality_items[4], "High quality Bi&linear");
    EXPECT_EQ(e.texts.thumb_quality_items[4], "High quality bi&linear");
    EXPECT_EQ(e.texts.zoom_quality_items[5], "High quality bi&cubic");
    EXPECT_EQ(e.texts.note_convert_tip, "Select the text to convert and click the label");
    EXPECT_EQ(e.limits.number_box_length, 14);
    EXPECT_EQ(e.limits.picture_search_length, 255);
    EXPECT_EQ(e.layout.cell_picture_width, 4635);
    EXPECT_EQ(e.layout.cell_picture_height, 2775);
    EXPECT_FALSE(e.features.passwords);
    EXPECT_FALSE(e.features.upgrade_old_files);
    EXPECT_FALSE(e.features.stored_pictures);
    EXPECT_FALSE(e.features.extra_note_fields);
    EXPECT_FALSE(e.features.search_details);
    EXPECT_TRUE(e.features.compaction);
    EXPECT_FALSE(e.features.esc_stops_update);
}
