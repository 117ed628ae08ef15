// Entry points of the note window and the save of an edited note.
#include "notes/note_actions.h"

#include "notes/frm_note.h"

#include "core/catalogue_logic.h"
#include "core/catalogue_session.h"
#include "core/status_line.h"
#include "notes/note_logic.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

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

NoteActions::NoteActions(CatalogueSession& session, const PageCells& page, QWidget* window)
    : QObject(window), m_session(session), m_page(page), m_window(window)
{
}

void NoteActions::set_message(const QString& text)
{
    m_session.status().set_message(text);
}

bool NoteActions::note_read_only() const
{
    return m_session.db_read_only() || (m_session.db_conn() && m_session.db_conn()->read_only());
}

void NoteActions::open_note(NoteRequest request, const NoteCell& cell)
{
    switch (request) {
    case NoteRequest::Edit: mnuEditNote(cell); break;
    case NoteRequest::Show: mnuShowNote(cell); break;
    case NoteRequest::NoteBox: lbl_Note_DblClick(cell); break;
    case NoteRequest::AddnoteBox: Text18_DblClick(cell); break;
    }
}

void NoteActions::mnuEditNote(const NoteCell& cell)
{
    if (!cell.filled()) {
        set_message(select_first());
        return;
    }
    if (note_read_only()) {
        set_message(read_only_message());
        return;
    }
    open_note_editor(cell, notes::note_caption(cell.picfile));
}

void NoteActions::mnuShowNote(const NoteCell& cell)
{
    if (!cell.filled()) {
        set_message(select_first());
        return;
    }
    open_note_viewer(cell);
}

void NoteActions::lbl_Note_DblClick(const NoteCell& cell)
{
    if (!cell.filled())
        return;
    if (note_read_only()) {
        open_note_viewer(cell);
        set_message(read_only_message());
        return;
    }
    open_note_editor(cell, QStringLiteral("Note"));
}

void NoteActions::Text18_DblClick(const NoteCell& cell)
{
    if (note_read_only()) {
        set_message(read_only_message());
        return;
    }
    lbl_Note_DblClick(cell);
}

void NoteActions::open_note_editor(const NoteCell& cell, const QString& caption)
{
    // One editor at a time; it is modal, so only code can ask for a second.
    if (m_editor) {
        m_editor->raise();
        m_editor->activateWindow();
        return;
    }
    frmNote* window = make_note_window(NoteMode::Edit, cell);
    if (!window)
        return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(caption);
    connect(window, &frmNote::saved, this, &NoteActions::note_saved);
    connect(window, &QDialog::finished, this, [this](int) { m_editor.clear(); });
    m_editor = window;
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

frmNote* NoteActions::make_note_window(NoteMode mode, const NoteCell& cell)
{
    NoteOpener opener;
    // An editor's save writes the row of the picture the cell showed when the
    // note was opened, and only that.
    if (mode == NoteMode::Edit)
        opener.commit = [this, cell](QWidget& w, const NoteCell& values) { return note_save(w, cell, values); };
    // Without the additional note (light edition) the note alone counts.
    const qsizetype longest = std::max(cell.note.size(), cell.addnote.size());
    if (longest <= notes::k_cell_note_limit)
        return new frmNote(mode, cell, m_window, note_profile(m_session.edition()), std::move(opener));

    // A long note takes seconds to read: busy meanwhile, and Esc stops it.
    ui::BusyLock lock(m_session.busy());
    const ui::StopOffer stop_offer(m_session.busy(), {.esc = true});
    set_message(QStringLiteral("Loading the note, press Esc to stop..."));
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);   // an old Esc does not stop this load
    ui::EventPump pump;
    pump.pump();
    opener.keep_loading = [&] {
        pump.maybe_pump();
        return !m_session.busy().stop_requested(ui::StopRequest::Esc);
    };
    std::unique_ptr<frmNote> window(new frmNote(mode, cell, m_window, note_profile(m_session.edition()), opener));
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

void NoteActions::open_note_viewer(const NoteCell& cell)
{
    frmNote* window = make_note_window(NoteMode::View, cell);
    if (!window)
        return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(notes::note_caption(cell.picfile));
    window->show();
}

bool NoteActions::note_save(QWidget& window, const NoteCell& opened, const NoteCell& values)
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
    const std::optional<qint64> numpic = parse_number(opened.numpic);
    if (!numpic || !m_page.shows_picture(opened.cell, opened.numpic, opened.picfile))
        return refuse(stale_message());
    store::Error error;
    const std::optional<store::Row> row = m_session.db_conn()->find_row(*numpic, error);
    if (error)
        return refuse(ui::error_message(error.code, error.text));
    if (!row || row->value(store::col_picfile).toString() != opened.picfile)
        return refuse(stale_message());

    const auto fields = notes::note_save_fields(values.note, values.reference, values.addnote,
                                                row->value(store::col_reference),
                                                // Only the fields the edition knows, whatever the file holds.
                                                std::min(m_session.db_conn()->column_count(), m_session.edition().columns()));
    if (const store::Error e = m_session.db_conn()->update_fields(*numpic, fields))
        return refuse(ui::error_message(e.code, e.text));
    return true;
}

} // namespace mosswick
