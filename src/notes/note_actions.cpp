// Entry points of the note window and the save of an edited note.
#include "notes/note_actions.h"

#include "notes/frm_note.h"

#include "core/catalogue_logic.h"
#include "core/status_line.h"
#include "notes/note_logic.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>

namespace mosswick {

namespace {

QString select_first()
{
    return QStringLiteral("Please select a note first.");
}

QString read_only_message()
{
    return QStringLiteral("The database is Read-Only.");
}

// The note window as the edition has it.
NoteWindowProfile note_profile(const Edition& edition)
{
    NoteWindowProfile p;
    p.extra_fields = edition.features.extra_note_fields;
    p.clear_resets_all_styles = edition.features.note_clear_resets_all_styles;
    p.view_width = edition.layout.note_view_width;
    p.length_frame = edition.colours.note_length_frame;
    p.print_focus_message = edition.texts.note_print_focus;
    p.convert_tip = edition.texts.note_convert_tip;
    return p;
}

QString stale_message()
{
    return QStringLiteral("The note was not saved: the picture in this cell has changed in the catalogue. "
                          "Refresh the page and edit the note again.");
}

} // namespace

NoteActions::NoteActions(CatalogueSession& session, QWidget* window) : QObject(window), m_session(session), m_window(window) {}

void NoteActions::set_message(const QString& text)
{
    m_session.status().set_message(text);
}

bool NoteActions::note_read_only() const
{
    return m_session.db_read_only() || (m_session.db_conn() && m_session.db_conn()->read_only());
}

bool NoteActions::note_cell_filled(int cell) const
{
    return cell >= 1 && cell <= 6 && !cells.numpic(cell).isEmpty();
}

void NoteActions::mnuEditNote()
{
    const int cell = cells.selected();
    note_selected_cell = cell;
    if (!note_cell_filled(cell)) {
        set_message(select_first());
        return;
    }
    if (note_read_only()) {
        set_message(read_only_message());
        return;
    }
    // The cell shown is the cell saved, whatever a caller left in note_cell_index.
    note_cell_index = cell;
    open_note_editor(cell, notes::note_caption(cells.picfile(cell)));
}

void NoteActions::mnuShowNote()
{
    const int cell = cells.selected();
    note_selected_cell = cell;
    if (!note_cell_filled(cell)) {
        set_message(select_first());
        return;
    }
    note_edit_mode = false;
    note_cell_index = cell;
    open_note_viewer(cell);
}

void NoteActions::lbl_Note_DblClick(int index)
{
    if (!note_cell_filled(index))
        return;
    note_cell_index = index;
    if (note_read_only()) {
        note_edit_mode = false;
        open_note_viewer(index);
        set_message(read_only_message());
        return;
    }
    open_note_editor(index, QStringLiteral("Note"));
}

void NoteActions::Text18_DblClick(int index)
{
    if (note_read_only()) {
        set_message(read_only_message());
        return;
    }
    lbl_Note_DblClick(index);
}

frmNote* NoteActions::open_note_editor(int cell, const QString& caption)
{
    // One editor at a time; it is modal, so only code can ask for a second.
    if (note_editor) {
        note_editor->raise();
        note_editor->activateWindow();
        return note_editor;
    }
    note_edit_mode = true;
    frmNote* window = make_note_window(NoteMode::Edit, cell);
    if (!window) {
        note_edit_mode = false;
        return nullptr;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(caption);
    // What the cell showed when the note was opened: the save writes that row only.
    const QString numpic_text = cells.numpic(cell);
    const QString picfile = cells.picfile(cell);
    window->commit = [this, cell, numpic_text, picfile](frmNote& w) {
        return note_save(w, cell, numpic_text, picfile);
    };
    connect(window, &QDialog::finished, this, [this](int) {
        note_edit_mode = false;
        note_editor.clear();
    });
    note_editor = window;
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}

frmNote* NoteActions::make_note_window(NoteMode mode, int cell)
{
    NoteCell source = cells.boxes(cell);
    // Without the additional note (light edition) the note alone counts.
    const qsizetype longest = std::max(source.note->loaded_value().size(),
                                       source.addnote ? source.addnote->loaded_value().size() : 0);
    if (longest <= notes::k_cell_note_limit)
        return new frmNote(mode, source, m_window, note_profile(m_session.edition()));

    // A long note takes seconds to read: busy meanwhile, and Esc stops it.
    ui::BusyLock lock(m_session.busy());
    const ui::StopOffer stop_offer(m_session.busy(), {.esc = true});
    set_message(QStringLiteral("Loading the note, press Esc to stop..."));
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);   // an old Esc does not stop this load
    ui::EventPump pump;
    pump.pump();
    source.keep_loading = [&] {
        pump.maybe_pump();
        return !m_session.busy().stop_requested(ui::StopRequest::Esc);
    };
    std::unique_ptr<frmNote> window(new frmNote(mode, source, m_window, note_profile(m_session.edition())));
    const bool stopped = window->load_stopped();
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);
    if (stopped) {
        window.reset();
        set_message(QStringLiteral("Note loading stopped."));
        return nullptr;
    }
    set_message({});
    return window.release();
}

frmNote* NoteActions::open_note_viewer(int cell)
{
    frmNote* window = make_note_window(NoteMode::View, cell);
    if (!window)
        return nullptr;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(notes::note_caption(cells.picfile(cell)));
    window->show();
    return window;
}

bool NoteActions::note_save(frmNote& window, int cell, const QString& numpic_text, const QString& picfile)
{
    ui::BusyLock lock(m_session.busy());
    auto refuse = [&](const QString& text) {
        set_message(text);
        ui::dialogs().message(&window, text, QStringLiteral("Error"), ui::MessageIcon::None, ui::MessageButtons::Ok);
        return false;
    };
    if (!m_session.db_open() || !m_session.db_conn())
        return refuse(QStringLiteral("The note was not saved: no catalogue is open."));
    if (note_read_only())
        return refuse(read_only_message());

    // The page must still show the picture the note was opened for, and the
    // catalogue must still hold it under that number.
    const std::optional<qint64> numpic = parse_number(numpic_text);
    if (!numpic || cells.numpic(cell) != numpic_text || cells.picfile(cell) != picfile)
        return refuse(stale_message());
    store::Error error;
    const std::optional<store::Row> row = m_session.db_conn()->find_row(*numpic, error);
    if (error)
        return refuse(ui::error_message(error.code, error.text));
    if (!row || row->value(store::col_picfile).toString() != picfile)
        return refuse(stale_message());

    const auto fields = notes::note_save_fields(window.note_value(), window.Text2->text(),
                                                window.addnote_value(), row->value(store::col_reference),
                                                // Only the fields the edition knows, whatever the file holds.
                                                std::min(m_session.db_conn()->column_count(), m_session.edition().columns()));
    if (const store::Error e = m_session.db_conn()->update_fields(*numpic, fields))
        return refuse(ui::error_message(e.code, e.text));
    return true;
}

} // namespace mosswick
