#pragma once

#include "core/note_cell.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace mosswick {

class CatalogueSession;
class frmNote;
enum class NoteMode;

// The note windows a page cell opens: the editor (one at a time, modal, OK
// saves the note) and viewers. A part without controls of its own, so no
// widget: the page asks for a window with the cell's note fields, and hears
// of a saved note through note_saved.
class NoteActions : public QObject {
    Q_OBJECT
public:
    // The note windows are centred on window; page answers whether a cell
    // still shows the picture a note was opened for.
    NoteActions(CatalogueSession& session, const PageCells& page, QWidget* window);

public slots:
    // Opens the window a request asks for with the cell's note fields.
    void open_note(mosswick::NoteRequest request, const mosswick::NoteCell& cell);

signals:
    // A note was saved: its cell shows these fields now.
    void note_saved(const mosswick::NoteCell& saved);

private:
    // The keypad's "1": the selected cell's note in the editor (modal); OK saves it.
    void mnuEditNote(const NoteCell& cell);
    // The keypad's "2": the selected cell's note in a new viewer (read-only too).
    void mnuShowNote(const NoteCell& cell);
    // A note box's double-click: the editor; on a read-only catalogue a viewer.
    void lbl_Note_DblClick(const NoteCell& cell);
    // The additional-note box's double-click: as lbl_Note_DblClick, but a
    // read-only catalogue only gets the message.
    void Text18_DblClick(const NoteCell& cell);

    void open_note_editor(const NoteCell& cell, const QString& caption);
    void open_note_viewer(const NoteCell& cell);
    // The note window for a cell, its texts loaded; null when the user
    // stopped a long note's load with Esc.
    frmNote* make_note_window(NoteMode mode, const NoteCell& cell);
    // Writes values, the editor's texts, to the row of the picture the note was opened for.
    bool note_save(QWidget& window, const NoteCell& opened, const NoteCell& values);
    bool note_read_only() const;
    void set_message(const QString& text);

    CatalogueSession& m_session;
    const PageCells& m_page;
    QWidget* m_window;   // the note windows' parent
    QPointer<frmNote> m_editor;   // the one editor, while it is open
};

} // namespace mosswick
