#pragma once

#include <QString>

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

// A page cell's note fields as the cell holds them: what a note window opens
// with, and what the cell shows once a note is saved. The note values are
// whole, however little of a long note the cell shows; a Null field is a
// null QString.
struct NoteCell {
    int cell = 0;        // 1 to 6; 0 when no cell is selected
    QString numpic;      // the picture number as the cell shows it
    QString picfile;     // the picture file as the cell shows it
    QString note;
    QString reference;   // empty without the reference (light edition)
    QString addnote;     // Null without the additional note (light edition)

    // The cell shows a picture whose note can be opened.
    bool filled() const { return cell >= 1 && cell <= 6 && !numpic.isEmpty(); }
};

// How the page asks for a note window: the keypad's "1" and "2" name the
// selected cell; a double-click on a note box or on an additional-note box
// names the cell clicked.
enum class NoteRequest { Edit, Show, NoteBox, AddnoteBox };

// The page's answer the note save needs: a note is written only while its
// cell still shows the picture it was opened for. The page view answers.
class PageCells {
public:
    virtual ~PageCells() = default;
    // True while cell shows the picture numbered numpic of file picfile.
    virtual bool shows_picture(int cell, const QString& numpic, const QString& picfile) const = 0;
};

// Shows a stored note in a page cell's box: whole up to
// notes::k_cell_note_limit characters, else its beginning and a line saying
// the rest is in the note window. The box keeps the whole note for the note
// window and for saving.
void show_note_in_cell(richtext::RichTextBox& box, const QString& value);

} // namespace mosswick
