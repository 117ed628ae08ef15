// The keypad: digit keys typed into the tab control or a thumbnail move
// between pages and act on the cells.
#include "pageview/page_view_part.h"

#include "core/catalogue_logic.h"
#include "pageview/page_logic.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace mosswick {

void PageView::SSTab_main_KeyPress(int& key_ascii)
{
    if (key_ascii <= 0 || key_ascii > 127)
        return;
    auto shows_picture = [this](int cell) {
        return cell >= 1 && cell <= 6 && (im[size_t(cell)]->isEnabled() || Im2[size_t(cell)]->isEnabled());
    };
    const KeypadResult r = keypad(char(key_ascii), go_left->isEnabled(), go_right->isEnabled(), m_selected_cell,
                                  m_cells_on_page, shows_picture);
    if (!r.consumed)
        return;
    const char key = char(key_ascii);
    key_ascii = 0;
    // "7" and "8" move the selection even onto a cell without a picture.
    if (key == '7' || key == '8')
        m_selected_cell = r.selected_cell;
    switch (r.action) {
    case KeypadAction::PreviousPage: go_left_Click(); break;
    case KeypadAction::NextPage: go_right_Click(); break;
    case KeypadAction::FirstPage:
        {
            const QSignalBlocker block(Slider1);
            Slider1->setValue(Slider1->minimum());
        }
        Label3->setText(QString::number(Slider1->value()));
        show_page_Click();
        break;
    case KeypadAction::LastPage:
        {
            const QSignalBlocker block(Slider1);
            Slider1->setValue(int(std::min<qint64>(parse_number(Label29->text()).value_or(1), Slider1->maximum())));
        }
        Label3->setText(QString::number(Slider1->value()));
        show_page_Click();
        break;
    case KeypadAction::Movie: lbl_fileName_Click(r.selected_cell); break;
    case KeypadAction::Zoom: im_DblClick(r.selected_cell); break;
    case KeypadAction::EditNote: emit note_requested(NoteRequest::Edit, note_cell(WhichSelected())); break;
    case KeypadAction::ShowNote: emit note_requested(NoteRequest::Show, note_cell(WhichSelected())); break;
    case KeypadAction::Select: im_Click(r.selected_cell); break;
    case KeypadAction::None:
        break;
    }
}

// A thumbnail hands a copy of its key to the keypad.
void PageView::im_KeyPress(int, int key_ascii)
{
    int copy = key_ascii;
    SSTab_main_KeyPress(copy);
}

} // namespace mosswick
