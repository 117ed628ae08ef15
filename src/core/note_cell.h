#pragma once

#include <QString>

#include <functional>

class QLineEdit;

namespace mosswick {

namespace richtext {
class RichTextBox;
}

namespace notes {
// Longest note a page cell shows whole, in characters. A longer one shows its
// beginning and k_note_continues; the note window loads it whole, under the
// busy lock, and Esc stops that.
inline constexpr qsizetype k_cell_note_limit = 1 << 20;
inline constexpr const char* k_note_continues = "(...) The rest of this note is in the note window.";
} // namespace notes

// The three controls of a page cell the note window copies from when it
// opens and back to on OK.
struct NoteCell {
    richtext::RichTextBox* note = nullptr;      // lbl_note(i)
    QLineEdit* reference = nullptr;             // Text34(i)
    richtext::RichTextBox* addnote = nullptr;   // Text18(i)
    // Asked now and then while a long note loads; false stops the load.
    std::function<bool()> keep_loading = {};
};

// Shows a stored note in a page cell's box: whole up to
// notes::k_cell_note_limit characters, else its beginning and a line saying
// the rest is in the note window. The box keeps the whole note for the note
// window and for saving.
void show_note_in_cell(richtext::RichTextBox& box, const QString& value);

} // namespace mosswick
