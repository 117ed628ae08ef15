#pragma once

#include <QString>
#include <QVariant>

#include <array>
#include <optional>
#include <utility>
#include <vector>

// Rules of the note window that need no widgets: the palette, the size and
// font lists, the style, alignment and find codes, the length labels, the
// keys that close a window, and what a note save writes.
namespace mosswick::notes {

// ---- palette ----------------------------------------------------------------

inline constexpr int k_palette_columns = 8;
inline constexpr int k_palette_rows = 6;
inline constexpr int k_palette_size = k_palette_columns * k_palette_rows;
// The swatch highlighted when a window opens: black.
inline constexpr int k_default_colour_index = 5;

// The &HBBGGRR colour of swatch index (column x 6 + row); nullopt outside 0..47.
std::optional<unsigned> palette_colour(int index);

// The column and row a swatch index sits at.
std::pair<int, int> palette_cell(int index);

// ---- sizes and fonts ----------------------------------------------------

inline constexpr int k_size_count = 9;
inline constexpr int k_default_size_index = 0;
inline constexpr int k_font_count = 8;
inline constexpr int k_default_font_index = 0;

// The points of the size labels "8" ... "20", by index 0..8.
const std::array<int, k_size_count>& font_sizes();

// The size of label index; nullopt outside 0..8.
std::optional<int> font_size_for(int index);

// The caption of size label index ("8" ... "20"); empty outside 0..8.
QString font_size_caption(int index);

// The display size chosen with the viewer's size options: the option of the
// first set index among 0..7 gives its size, anything else (none set, or the
// last option) 20.
int display_size(int first_set_index);

struct FontLabel {
    const char* caption;   // what the label shows
    const char* applied;   // the label's own font, which the tool applies
};

// The font labels in their order.
const std::array<FontLabel, k_font_count>& font_labels();

// The font name label index applies; empty outside 0..7.
QString applied_font(int index);

// ---- styles, alignment, bullets -----------------------------------------

enum class Style { Bold, Italic, StrikeThru, Underline };

// The style of toggle label index 0..3; nullopt for any other index.
std::optional<Style> style_for(int index);

// The value a toggle sets: off when the selection has it fully set, on
// otherwise (a mixed selection counts as not set).
bool toggled(std::optional<bool> current);

// The box's alignment code for label index: 0 "Left" -> 0, 1 "Center" -> 2,
// 2 "Right" -> 1; nullopt for any other index.
std::optional<int> alignment_for(int index);

// ---- find ---------------------------------------------------------------------

// The find options of label index: 0 "WholeWord" -> 2, 1 "MatchCase" -> 4,
// 2 "Next" -> 0; nullopt for any other index.
std::optional<int> find_options_for(int index);

// The result label's text for a find result: "Not found" for -1, else "Found".
QString find_result_text(int found_pos);

// Where the next search starts after a find: one past a match, unchanged
// after a miss.
int next_start(int found_pos, int start_pos);

// ---- lengths, keys, captions ------------------------------------------------

// The length label's text: the number of characters of a displayed text
// (a character outside the basic plane counts one; "\r\n" counts two).
QString length_text(const QString& displayed_text);

// Whether a key closes the window as Cancel: Esc always, "2" in a viewer.
bool closes_window(int key_ascii, bool edit_mode);

// Whether the reference box refuses a typed key (the double quote).
bool reference_refuses(int key_ascii);

// The message shown for a refused reference key.
QString refused_key_message();

// The note window's caption for a picture file name: "Note for " + name.
QString note_caption(const QString& picfile);

// ---- saving -----------------------------------------------------------------

// The value a note field stores for a box's storage value: a null text
// (the field was Null and the box untouched) stays Null.
QVariant note_field_value(const QString& storage_value);

// The value the reference stores: an empty text leaves a Null reference Null.
QVariant reference_field_value(const QString& text, const QVariant& stored);

// The fields a note save writes (column, value), limited to the columns the
// catalogue has: note, then reference and additional note.
std::vector<std::pair<int, QVariant>> note_save_fields(const QString& note, const QString& reference,
                                                       const QString& addnote, const QVariant& stored_reference,
                                                       int column_count);

} // namespace mosswick::notes
