#pragma once

#include <QString>

// Pure rules of the page view: labels, navigation, the keypad and the zoom
// window's arithmetic. No widgets.
namespace mosswick {

// "page / pages" as the page label shows it.
QString page_label(qint64 page, qint64 pages);

// The text after the last '.', lower case; the whole name when there is none.
QString type_of(const QString& file_name);

// What the page load enables, given the page shown and the catalogue.
struct NavState {
    bool go_left = false;
    bool go_right = false;
    bool slider = false;
    bool bof = false;
    bool eof = false;
    bool show_page = false;
    bool touched = false;   // false: go_right, slider, bof and eof are left as they were
};
NavState nav_state(qint64 page, qint64 picture_count, qint64 last_page, int slider_min, const QString& page_box);

// The keypad shortcuts of the page view.
enum class KeypadAction { None, PreviousPage, NextPage, FirstPage, LastPage, Movie, Zoom, EditNote, ShowNote, Select };

struct KeypadResult {
    KeypadAction action = KeypadAction::None;
    bool consumed = false;     // the key goes no further
    int selected_cell = 0;     // the selection afterwards
};

// Dispatches one key: go_left/go_right say whether those buttons are enabled,
// cell_shows_picture(i) whether cell i shows a picture. Actions that need a
// picture come back as None when the cell has none (the key is still consumed).
template <class ShowsPicture>
KeypadResult keypad(char key, bool go_left, bool go_right, int selected_cell, int cells_on_page,
                    ShowsPicture&& cell_shows_picture)
{
    KeypadResult r;
    r.selected_cell = selected_cell;
    switch (key) {
    case '4':
        if (go_left) r = {KeypadAction::PreviousPage, true, selected_cell};
        break;
    case '5':
        if (go_right) r = {KeypadAction::NextPage, true, selected_cell};
        break;
    case '3':
        if (go_left) r = {KeypadAction::FirstPage, true, selected_cell};
        break;
    case '.':
        if (go_right) r = {KeypadAction::LastPage, true, selected_cell};
        break;
    case '9':
    case '6':
    case '1':
    case '2':
        if (selected_cell != 0) {
            r.consumed = true;
            if (cell_shows_picture(selected_cell))
                r.action = key == '9' ? KeypadAction::Movie
                         : key == '6' ? KeypadAction::Zoom
                         : key == '1' ? KeypadAction::EditNote
                                      : KeypadAction::ShowNote;
        }
        break;
    case '7': {
        int cell = selected_cell - 1;
        if (cell < 1)
            cell = cells_on_page;
        r.selected_cell = cell;
        if (cell != 0) {
            r.consumed = true;
            if (cell_shows_picture(cell))
                r.action = KeypadAction::Select;
        }
        break;
    }
    case '8': {
        int cell = selected_cell + 1;
        if (cell > cells_on_page)
            cell = 1;
        r.selected_cell = cell;
        r.consumed = true;
        if (cell_shows_picture(cell))
            r.action = KeypadAction::Select;
        break;
    }
    default:
        break;
    }
    return r;
}

// ---- zoom window ------------------------------------------------------------

// Design sizes of the zoom window, in twips.
inline constexpr int k_zoom_client_width = 4665;
inline constexpr int k_zoom_client_height = 3375;
inline constexpr int k_zoom_picture_width = 4635;
inline constexpr int k_zoom_picture_height = 2775;
inline constexpr int k_zoom_slider_left = 570;
inline constexpr int k_zoom_slider_top = 2790;
inline constexpr int k_zoom_slider_width = 3495;
inline constexpr int k_zoom_slider_height = 555;
inline constexpr int k_zoom_left_panel_width = 570;    // Label28(1): behind bof
inline constexpr int k_zoom_right_panel_width = 600;   // Label28(2): behind eof
// A drawing wider or higher than these resizes the window.
inline constexpr double k_zoom_width_threshold = 4725;
inline constexpr double k_zoom_height_threshold = 2790;

// The client area of a zoom window for a drawing of a size (twips).
struct ZoomLayout {
    double client_width = 0;
    double client_height = 0;
    double slider_width = 0;
    double slider_top = 0;
    double right_panel_left = 0;
};
ZoomLayout zoom_layout(double display_width, double display_height);

// The window's caption: the path at zoom 0, else "<zoom>% of <path>".
QString zoom_caption(int zoom, const QString& path);

// What a key does in a zoom window.
enum class ZoomKey { None, Close, Redraw, NaturalSize, Maximum };
ZoomKey zoom_key(int key_ascii);

} // namespace mosswick
