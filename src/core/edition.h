#pragma once

#include "platform/store/schema.h"

#include <QString>

#include <array>

namespace mosswick {

// What differs between the programs built from this code base; chosen in
// each program's main() and handed down. Code asks the profile for the one
// switch, text or number it needs, never which edition it runs in.
struct Edition {
    store::Schema schema = store::Schema::Full;

    // ---- feature switches --------------------------------------------------
    struct Features {
        // The password prompt, the new catalogue's password and encryption
        // options and the password change on the database page.
        bool passwords = true;
        // Catalogues of 5 or 7 columns are upgraded when opened.
        bool upgrade_old_files = true;
        // Pictures may live inside the catalogue: the IN/OUT choices, stored
        // thumbnails and zooms, the import/export page.
        bool stored_pictures = true;
        // The reference and the additional note beside the note: their boxes
        // in the cells, the loader and the note window, their searches and
        // the batch load's and update pass's choice of field.
        bool extra_note_fields = true;
        // The search tab's "Details" and "Ref" tabs; without them a click on
        // the search grid shows the picture's page.
        bool search_details = true;
        // The update pass's "IN" (note files imported into the notes).
        bool update_note_import = true;
        // The "Compact" button on the database page.
        bool compaction = false;
        // Esc stops the update pass; else a click on the progress bar does.
        bool esc_stops_update = true;
        // The edits, the grid fill, the passes and the batch load show their
        // elapsed time in the timing panel.
        bool times_long_actions = true;
        // "Clear note" in the note window resets every style of the typing
        // format; else only bold, and italic, strikethrough, underline,
        // alignment and bullets stay as they were.
        bool note_clear_resets_all_styles = true;
    } features;

    // ---- texts -------------------------------------------------------------
    struct Texts {
        QString program_title;           // title of untitled message boxes, the about box
        QString design_caption;          // main window caption at start
        QString opening_caption;         // caption while a catalogue is being chosen
        QString closed_caption;          // main window caption after a close
        QString about_version;
        QString about_picture;           // file in the program's folder the about box zooms; empty: its screenshot
        QString load_log_name;           // batch load's error log, in the catalogue folder
        std::array<QString, 7> thumb_quality_items;   // menu captions by quality code 1..6
        std::array<QString, 7> zoom_quality_items;
        QString delete_page_started;
        QString delete_picture_started;
        QString insert_started;
        QString renumbered_ready;        // ready panel after a complete renumbering
        QString update_ready;            // ready panel after the update pass
        QString batch_ready;             // ready panel after a batch load
        QString grid_insert_ready;       // ready panel after a grid insert; empty: left as it is
        QString grid_loaded_prefix;      // the grid fill's message before its count
        QString picture_search_tip;
        QString note_search_tip;
        QString note_print_focus;        // the note window's print without a note box focused
        QString note_convert_tip;        // the note window's "RTF to Text" label
        QString create_failed;           // "new.mdb" not created; empty: the store's own error
    } texts;

    // ---- limits ------------------------------------------------------------
    struct Limits {
        int number_box_length = 10;      // the picture/page number boxes
        int picture_search_length = 512; // the picture search box
    } limits;

    // ---- layout numbers, in twips ---------------------------------------------
    struct Layout {
        int cell_picture_width = 4680;   // a thumbnail cell's picture box
        int cell_picture_height = 2715;
        int note_view_width = 5625;      // the note viewer's width
        int search_name_column_width = 11000;   // the search grid's file-name column
    } layout;

    // ---- colours (&HBBGGRR) --------------------------------------------------
    struct Colours {
        unsigned loader_paste_frame = 0xFFFFC0;          // frames of the loader's paste labels
        unsigned loader_paste_frame_pressed = 0xFFFF80;
        unsigned note_length_frame = 0xFFFFC0;           // frames of the note window's length labels
    } colours;

    // Number of picture table columns this edition reads and writes.
    int columns() const { return schema == store::Schema::Light ? store::k_light_columns : store::k_full_columns; }

    static Edition enhanced();
    static Edition light();
};

} // namespace mosswick
