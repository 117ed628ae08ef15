#pragma once

#include <array>
#include <vector>

// Where the note window's controls sit, in twips. The viewer is the same
// window cut to its left part, so everything a viewer needs lies within the
// first k_view_width twips and every formatting tool beyond them.
namespace mosswick::notes {

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool intersects(const TwipRect& o) const
    {
        return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
    }
};

// The rectangle shrunk by d twips on every side (a label inside its frame).
TwipRect inset(const TwipRect& r, int d);

inline constexpr int k_client_width = 10905;
inline constexpr int k_client_height = 10635;
inline constexpr int k_view_width = 5625;
// What the viewer moves: the print label left, Cancel left and up.
inline constexpr int k_view_print_shift = 750;
inline constexpr int k_view_cancel_shift_x = 5310;
inline constexpr int k_view_cancel_shift_y = 450;
// Frames are this much larger than the labels they hold, on every side.
inline constexpr int k_frame_border = 30;

struct NoteLayout {
    int width = k_client_width;
    int height = k_client_height;

    // What a viewer shows.
    TwipRect tabs;              // SSTab1 with the two note boxes and the reference
    TwipRect find_caption;      // Label20
    TwipRect find_from_start;   // Option1(0)
    TwipRect find_from_last;    // Option1(1)
    TwipRect find_box;          // Text_Find
    std::array<TwipRect, 3> find_frames;   // Label21(0..2), the labels inside
    TwipRect find_result;       // Label21(3)
    TwipRect print_frame;       // Label26, Label25 inside
    TwipRect cancel;            // Command2
    TwipRect sizes_frame;       // Frame1 (viewer only)
    TwipRect hint;              // Label1 (editor only)
    TwipRect ok;                // Command1

    // The formatting tools (editor only).
    TwipRect length_heading;                  // lbl_note_size(5)
    std::array<TwipRect, 3> length_captions;  // lbl_note_size(0..2)
    std::array<TwipRect, 3> length_frames;    // Label2(0..2), note_size inside
    TwipRect colour_heading;                  // lbl_note_size(4)
    std::array<TwipRect, 48> swatch_frames;   // Label28, Label3 inside
    TwipRect colour_more_frame;               // Label_back, Label_more inside
    TwipRect size_heading;                    // lbl_note_size(3)
    std::array<TwipRect, 9> size_frames;      // Label5, Label4 inside
    TwipRect font_heading;                    // lbl_note_size(6)
    std::array<TwipRect, 8> font_frames;      // Label9, Label7 inside
    TwipRect font_more_frame;                 // Label_back2, Label_more2 inside
    TwipRect style_heading;                   // lbl_note_size(7)
    std::array<TwipRect, 4> style_frames;     // Label10, Label8 inside
    TwipRect align_heading;                   // Label16
    std::array<TwipRect, 3> align_frames;     // Label14, Label15 inside
    TwipRect bullet_heading;                  // Label17
    TwipRect bullet_frame;                    // Label18, Label19 inside
    TwipRect convert_heading;                 // Label13
    TwipRect convert_frame;                   // Label12, Label11 inside
    TwipRect paste_text_frame;                // Label29(0), Label24 inside
    TwipRect paste_rtf_frame;                 // Label29(1), Label23 inside
    TwipRect clear_frame;                     // Label29(2), Label27 inside
};

// The layout of an editor (view_mode false) or of a viewer.
NoteLayout note_layout(bool view_mode);

// Every formatting tool's rectangle (headings, frames), for checks of the
// layout as a whole.
std::vector<TwipRect> tool_rects(const NoteLayout& layout);

} // namespace mosswick::notes
