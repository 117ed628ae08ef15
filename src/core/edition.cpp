#include "core/edition.h"

namespace mosswick {

namespace {

std::array<QString, 7> quality_items()
{
    return {QString(),
            QStringLiteral("&Nearest Neighbor"),
            QStringLiteral("&Bilinear"),
            QStringLiteral("&Bicubic"),
            QStringLiteral("High quality bi&linear"),
            QStringLiteral("High quality bi&cubic"),
            QStringLiteral("&None")};
}

} // namespace

Edition Edition::enhanced()
{
    Edition e;
    e.schema = store::Schema::Full;

    e.texts.program_title = QStringLiteral("Mosswick Database");
    e.texts.design_caption = QStringLiteral("Mosswick Database");
    e.texts.opening_caption = QStringLiteral("Mosswick Database");
    e.texts.closed_caption = QStringLiteral("Mosswick database");
    e.texts.about_version = QStringLiteral("V2.3.2,  September 1, 2003");
    e.texts.load_log_name = QStringLiteral("Mosswick-Zudidudi load errors.log");
    e.texts.thumb_quality_items = quality_items();
    e.texts.zoom_quality_items = quality_items();
    e.texts.delete_page_started = QStringLiteral("Page delete...");
    e.texts.delete_picture_started = QStringLiteral("Picture delete...");
    e.texts.insert_started = QStringLiteral("Picture insert...");
    e.texts.renumbered_ready = QStringLiteral("Ready.");
    e.texts.update_ready = QStringLiteral("Ready.");
    e.texts.batch_ready = QStringLiteral("Ready");
    e.texts.grid_loaded_prefix = QStringLiteral("Grid loaded:");
    e.texts.picture_search_tip = QStringLiteral(
        "Picture file to find. Enter the text and press \"Return\" or click \"Refresh GRID\" (512 bytes max)");
    e.texts.note_search_tip =
        QStringLiteral("Note to find. Enter the text and press \"Return\" or click \"Refresh GRID\", ESC to abort.");
    e.texts.note_print_focus = QStringLiteral("The cursor must be at least in one of the NOTES fields.");
    e.texts.note_convert_tip = QStringLiteral("Select the text and click the label");
    return e;
}

Edition Edition::light()
{
    Edition e = enhanced();
    e.schema = store::Schema::Light;

    e.features.passwords = false;
    e.features.upgrade_old_files = false;
    e.features.stored_pictures = false;
    e.features.extra_note_fields = false;
    e.features.search_details = false;
    e.features.update_note_import = false;
    e.features.compaction = true;
    e.features.esc_stops_update = false;
    e.features.times_long_actions = false;
    e.features.note_clear_resets_all_styles = false;

    e.texts.program_title = QStringLiteral("Mosswick Light");
    e.texts.design_caption = QStringLiteral("Mosswick database");
    e.texts.about_version = QStringLiteral("V2.1.12, September 1, 2003");
    e.texts.about_picture = QStringLiteral("about3.jpg");
    e.texts.load_log_name = QStringLiteral("Mosswick-Light load errors.log");
    e.texts.thumb_quality_items[5] = QStringLiteral("High quality Bicubic");
    e.texts.zoom_quality_items[4] = QStringLiteral("High quality Bi&linear");
    e.texts.delete_page_started = QStringLiteral("Deleting page(s)...");
    e.texts.delete_picture_started = QStringLiteral("Deleting picture...");
    e.texts.insert_started = QStringLiteral("Inserting picture...");
    e.texts.renumbered_ready = QStringLiteral("Ready");
    e.texts.update_ready = QStringLiteral("Ready");
    e.texts.batch_ready = QStringLiteral("Ready.");
    e.texts.grid_insert_ready = QStringLiteral("Ready.");
    e.texts.grid_loaded_prefix = QStringLiteral("Grid loaded: ");
    e.texts.picture_search_tip = QStringLiteral("Picture file to find");
    e.texts.note_search_tip = QStringLiteral("Note to find");
    e.texts.note_print_focus = QStringLiteral("The cursor must be in the NOTE field.");
    e.texts.note_convert_tip = QStringLiteral("Select the text to convert and click the label");
    e.texts.create_failed = QStringLiteral("ADODB Error occurred.");

    e.limits.number_box_length = 14;
    e.limits.picture_search_length = 255;

    e.layout.cell_picture_width = 4635;
    e.layout.cell_picture_height = 2775;
    e.layout.note_view_width = 5640;
    e.layout.search_name_column_width = 11050;

    e.colours.loader_paste_frame = 0xC0FFC0;
    e.colours.loader_paste_frame_pressed = 0x008000;
    e.colours.note_length_frame = 0xC0FFC0;
    return e;
}

} // namespace mosswick
