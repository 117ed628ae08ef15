// Cell selection: the selected cell's note boxes are white, the others grey.
#include "pageview/page_view_part.h"

#include "core/status_line.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>

namespace mosswick {

namespace {
constexpr unsigned k_grey = 0xE0E0E0;
constexpr unsigned k_white = 0xFFFFFF;

bool is_grey(const richtext::RichTextBox* box)
{
    return ui::to_bgr(box->back_color()) == k_grey;
}

// Both note boxes of a cell (the additional note only where the edition has it).
void set_cell_back(richtext::RichTextBox* note, richtext::RichTextBox* addnote, unsigned color)
{
    note->set_back_color(ui::bgr(color));
    if (addnote)
        addnote->set_back_color(ui::bgr(color));
}
} // namespace

void PageView::im_Click(int index)
{
    if (index < 1 || index > 6)
        return;
    ui::BusyLock lock(m_session.busy());
    m_session.status().set_message(lbl_filePic[size_t(index)]->text());
    if (m_last_selected_cell >= 1 && m_last_selected_cell <= 6)
        set_cell_back(lbl_note[size_t(m_last_selected_cell)], Text18[size_t(m_last_selected_cell)], k_grey);
    set_cell_back(lbl_note[size_t(index)], Text18[size_t(index)], k_white);
    m_last_selected_cell = index;
    m_selected_cell = index;
}

int PageView::WhichSelected() const
{
    for (size_t i = 1; i <= 6; ++i)
        if (!is_grey(lbl_note[i]) || (Text18[i] && !is_grey(Text18[i])))
            return int(i);
    return 0;
}

void PageView::ClearBorder(int which_pic)
{
    const int cell = which_pic != 0 ? which_pic : WhichSelected();
    if (cell < 1 || cell > 6)
        return;
    set_cell_back(lbl_note[size_t(cell)], Text18[size_t(cell)], k_grey);
}

NoteCell PageView::note_cell(int cell) const
{
    NoteCell out;
    if (cell < 1 || cell > 6)
        return out;
    const auto i = size_t(cell);
    out.cell = cell;
    out.numpic = Label5[i]->text();
    out.picfile = lbl_filePic[i]->text();
    out.note = lbl_note[i]->value_for_storage();
    if (Text18[i]) {
        out.reference = Text34[i]->text();
        out.addnote = Text18[i]->value_for_storage();
    }
    return out;
}

bool PageView::shows_picture(int cell, const QString& numpic, const QString& picfile) const
{
    return cell >= 1 && cell <= 6 && Label5[size_t(cell)]->text() == numpic
           && lbl_filePic[size_t(cell)]->text() == picfile;
}

void PageView::show_saved_note(const NoteCell& saved)
{
    if (!shows_picture(saved.cell, saved.numpic, saved.picfile))
        return;
    const auto i = size_t(saved.cell);
    show_note_in_cell(*lbl_note[i], saved.note);
    if (!Text18[i])
        return;   // the note alone
    Text34[i]->setText(saved.reference);
    show_note_in_cell(*Text18[i], saved.addnote);
}

} // namespace mosswick
