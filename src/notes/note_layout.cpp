#include "notes/note_layout.h"

#include "notes/note_logic.h"

namespace mosswick::notes {

namespace {

constexpr int k_tools_left = 5700;   // the tool column starts past the viewer's edge
constexpr int k_heading_height = 240;
constexpr int k_tool_height = 375;
constexpr int k_swatch_pitch_x = 405;
constexpr int k_swatch_pitch_y = 315;

} // namespace

TwipRect inset(const TwipRect& r, int d)
{
    return {r.left + d, r.top + d, r.width - 2 * d, r.height - 2 * d};
}

NoteLayout note_layout(bool view_mode)
{
    NoteLayout l;
    l.tabs = {60, 60, 5445, 8640};
    l.find_caption = {60, 8790, 480, 300};
    l.find_from_start = {600, 8760, 2400, 330};
    l.find_from_last = {3060, 8760, 2400, 330};
    l.find_box = {60, 9330, 4965, 390};
    l.find_frames = {{{60, 9780, 1140, 330}, {1260, 9780, 1140, 330}, {2460, 9780, 780, 330}}};
    l.find_result = {3300, 9780, 1725, 330};
    l.print_frame = {5820, 9330, 495, 390};
    l.cancel = {10440, 10170, 375, 375};
    l.ok = {8610, 10170, 1455, 375};
    l.sizes_frame = {30, 10140, 4695, 465};
    l.hint = {30, 10260, 8400, 285};

    int x = k_tools_left;
    l.length_heading = {x, 60, 5100, k_heading_height};
    for (int k = 0; k < 3; ++k) {
        l.length_captions[size_t(k)] = {x + k * 1710, 330, 1650, k_heading_height};
        l.length_frames[size_t(k)] = {x + k * 1710, 600, 1650, 360};
    }
    l.colour_heading = {x, 1050, 3000, k_heading_height};
    for (int i = 0; i < k_palette_size; ++i) {
        const auto [column, row] = palette_cell(i);
        l.swatch_frames[size_t(i)] = {x + column * k_swatch_pitch_x, 1320 + row * k_swatch_pitch_y, k_swatch_pitch_x,
                                      k_swatch_pitch_y};
    }
    l.colour_more_frame = {9060, 1320, 960, k_tool_height};
    l.size_heading = {x, 3300, 3000, k_heading_height};
    for (int i = 0; i < k_size_count; ++i)
        l.size_frames[size_t(i)] = {x + i * 570, 3570, 555, 345};
    l.font_heading = {x, 4020, 3000, k_heading_height};
    for (int i = 0; i < k_font_count; ++i)
        l.font_frames[size_t(i)] = {x + (i / 4) * 2580, 4290 + (i % 4) * k_tool_height, 2520, k_tool_height};
    l.font_more_frame = {x, 5850, 960, k_tool_height};
    l.style_heading = {x, 6300, 3000, k_heading_height};
    for (int i = 0; i < 4; ++i)
        l.style_frames[size_t(i)] = {x + i * 1275, 6570, 1215, k_tool_height};
    l.align_heading = {x, 7020, 3000, k_heading_height};
    for (int i = 0; i < 3; ++i)
        l.align_frames[size_t(i)] = {x + i * 1275, 7290, 1215, k_tool_height};
    l.bullet_heading = {9525, 7020, 1320, k_heading_height};
    l.bullet_frame = {9525, 7290, 1215, k_tool_height};
    l.convert_heading = {x, 7740, 3000, k_heading_height};
    l.convert_frame = {x, 8010, 1650, k_tool_height};
    l.paste_text_frame = {7410, 8010, 1650, k_tool_height};
    l.paste_rtf_frame = {9120, 8010, 1650, k_tool_height};
    l.clear_frame = {x, 8460, 1650, k_tool_height};

    if (view_mode) {
        l.width = k_view_width;
        l.print_frame.left -= k_view_print_shift;
        l.cancel.left -= k_view_cancel_shift_x;
        l.cancel.top -= k_view_cancel_shift_y;
    }
    return l;
}

std::vector<TwipRect> tool_rects(const NoteLayout& l)
{
    std::vector<TwipRect> out{l.length_heading, l.colour_heading, l.colour_more_frame, l.size_heading,
                              l.font_heading,   l.font_more_frame, l.style_heading,   l.align_heading,
                              l.bullet_heading, l.bullet_frame,    l.convert_heading, l.convert_frame,
                              l.paste_text_frame, l.paste_rtf_frame, l.clear_frame};
    out.insert(out.end(), l.length_captions.begin(), l.length_captions.end());
    out.insert(out.end(), l.length_frames.begin(), l.length_frames.end());
    out.insert(out.end(), l.swatch_frames.begin(), l.swatch_frames.end());
    out.insert(out.end(), l.size_frames.begin(), l.size_frames.end());
    out.insert(out.end(), l.font_frames.begin(), l.font_frames.end());
    out.insert(out.end(), l.style_frames.begin(), l.style_frames.end());
    out.insert(out.end(), l.align_frames.begin(), l.align_frames.end());
    return out;
}

} // namespace mosswick::notes
