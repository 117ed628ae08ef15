// The note window's find row and print label.
#include "notes/frm_note.h"

#include "notes/note_logic.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/label_button.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QTabWidget>

namespace mosswick {

richtext::RichTextBox* frmNote::find_target() const
{
    if (!m_profile.extra_fields)
        return lbl_note;
    return SSTab1->currentIndex() == 0 ? lbl_note : Text1;
}

void frmNote::Label22_Click(int index)
{
    const std::optional<int> options = notes::find_options_for(index);
    if (!options)
        return;
    if (Option1[0]->isChecked())
        m_start_pos = 0;
    Label21[3]->clear();
    const int found_pos = find_target()->Find(Text_Find->text(), m_start_pos, *options);
    Label21[3]->setText(notes::find_result_text(found_pos));
    m_start_pos = notes::next_start(found_pos, m_start_pos);
}

void frmNote::Label25_Click()
{
    const QWidget* focused = focusWidget();
    richtext::RichTextBox* box = nullptr;
    for (richtext::RichTextBox* b : boxes())
        if (focused && (focused == b || focused == b->viewport()))
            box = b;
    if (!box) {
        ui::dialogs().message(this, m_profile.print_focus_message, QStringLiteral("Print error"),
                              ui::MessageIcon::None, ui::MessageButtons::Ok);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    printer.setPrintRange(box->SelLength() > 0 ? QPrinter::Selection : QPrinter::AllPages);
    // Cancel prints nothing and says nothing.
    if (!ui::dialogs().print_setup(this, printer))
        return;
    box->print_selection_or_all(printer);
    if (printer.printerState() == QPrinter::Error)
        ui::dialogs().message(this, QStringLiteral("The note could not be printed."), QStringLiteral("Print error"),
                              ui::MessageIcon::None, ui::MessageButtons::Ok);
}

} // namespace mosswick
