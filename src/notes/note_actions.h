#pragma once

#include "core/catalogue_session.h"
#include "core/note_cell.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace mosswick {

class frmNote;
enum class NoteMode;

// What the note actions need of the page's cells; the frame sets them to
// the page view's answers.
struct NoteCells {
    std::function<int()> selected;                   // the selected cell, or 0
    std::function<QString(int cell)> numpic;        // the cell's picture number as shown
    std::function<QString(int cell)> picfile;       // the cell's picture file as shown
    std::function<NoteCell(int cell)> boxes;        // the boxes a note window copies from and back to
};

// The note windows a cell opens: the editor (one at a time, modal, OK saves
// the note) and viewers. No controls of its own.
class NoteActions : public QObject {
    Q_OBJECT
public:
    // The note windows are centred on window.
    NoteActions(CatalogueSession& session, QWidget* window);

    // Opens the selected cell's note in the editor (modal); OK saves it.
    void mnuEditNote();
    // Opens the selected cell's note in a new viewer (works read-only too).
    void mnuShowNote();
    // Opens the editor for a cell; on a read-only catalogue a viewer instead.
    void lbl_Note_DblClick(int index);
    // The additional-note box's double-click: as lbl_Note_DblClick, but a
    // read-only catalogue only gets the message.
    void Text18_DblClick(int index);
    // A catalogue is about to be shown: no editor counts as open.
    void opening() { note_edit_mode = false; }

    NoteCells cells;
    int note_selected_cell = 0;      // the cell the last mnuEditNote / mnuShowNote found
    int note_cell_index = 0;         // the cell the last note action or keypad key named
    bool note_edit_mode = false;     // the editor is open
    QPointer<frmNote> note_editor;   // the one editor, while it is open

private:
    frmNote* open_note_editor(int cell, const QString& caption);
    frmNote* open_note_viewer(int cell);
    // The note window for a cell, its texts copied in; null when the user
    // stopped a long note's load with Esc.
    frmNote* make_note_window(NoteMode mode, int cell);
    bool note_save(frmNote& window, int cell, const QString& numpic_text, const QString& picfile);
    bool note_read_only() const;
    bool note_cell_filled(int cell) const;
    void set_message(const QString& text);

    CatalogueSession& m_session;
    QWidget* m_window;
};

} // namespace mosswick
