#pragma once

// The note window as a test drives it: its controls, found by the names the
// window gives them, and clicks as the mouse gives them.

#include "support/named_controls.h"

#include "notes/frm_note.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <vector>

namespace testsupport {

using mosswick::richtext::RichTextBox;
using mosswick::ui::LabelButton;

struct NoteControls {
    explicit NoteControls(mosswick::frmNote& w) : window(&w)
    {
        find(w, SSTab1, "SSTab1");
        find(w, lbl_note, "lbl_note");
        find(w, Text1, "Text1");
        find(w, Text2, "Text2");
        find(w, Command1, "Command1");
        find(w, Command2, "Command2");
        find(w, Label1, "Label1");
        find(w, Frame1, "Frame1");
        find_all(w, OptionBTN, "OptionBTN");
        find_all(w, note_size, "note_size");
        find_all(w, Label2, "Label2");
        find_all(w, lbl_note_size, "lbl_note_size");
        find_all(w, Label3, "Label3");
        find_all(w, Label28, "Label28");
        find_all(w, Label4, "Label4");
        find_all(w, Label5, "Label5");
        find_all(w, Label7, "Label7");
        find_all(w, Label9, "Label9");
        find(w, Label_more, "Label_more");
        find(w, Label_more2, "Label_more2");
        find_all(w, Label8, "Label8");
        find_all(w, Label10, "Label10");
        find_all(w, Label15, "Label15");
        find(w, Label19, "Label19");
        find(w, Label11, "Label11");
        find(w, Label23, "Label23");
        find(w, Label24, "Label24");
        find(w, Label27, "Label27");
        find(w, Text_Find, "Text_Find");
        find_all(w, Option1, "Option1");
        find_all(w, Label22, "Label22");
        find_all(w, Label21, "Label21");
        find(w, Label25, "Label25");
        find(w, Label26, "Label26");
    }

    mosswick::frmNote* window;
    QTabWidget* SSTab1 = nullptr;
    RichTextBox* lbl_note = nullptr;
    RichTextBox* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;   // OK
    QPushButton* Command2 = nullptr;   // Cancel
    QLabel* Label1 = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<QRadioButton*, 9> OptionBTN{};
    std::array<LabelButton*, 3> note_size{};
    std::array<QLabel*, 3> Label2{};
    std::array<QLabel*, 8> lbl_note_size{};
    std::array<LabelButton*, 48> Label3{};
    std::array<QLabel*, 48> Label28{};
    std::array<LabelButton*, 9> Label4{};
    std::array<QLabel*, 9> Label5{};
    std::array<LabelButton*, 8> Label7{};
    std::array<QLabel*, 8> Label9{};
    LabelButton* Label_more = nullptr;
    LabelButton* Label_more2 = nullptr;
    std::array<LabelButton*, 4> Label8{};
    std::array<QLabel*, 4> Label10{};
    std::array<LabelButton*, 3> Label15{};
    LabelButton* Label19 = nullptr;
    LabelButton* Label11 = nullptr;
    LabelButton* Label23 = nullptr;
    LabelButton* Label24 = nullptr;
    LabelButton* Label27 = nullptr;
    QLineEdit* Text_Find = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    std::array<LabelButton*, 3> Label22{};
    std::array<QLabel*, 4> Label21{};
    LabelButton* Label25 = nullptr;
    QLabel* Label26 = nullptr;
};

// The controls of a note window, found once and kept while it lives.
inline const NoteControls& note_controls(mosswick::frmNote& window)
{
    return found_controls<NoteControls>(window);
}

// A click of the left button on a control, as the mouse gives it.
inline void click(QWidget* control)
{
    QTest::mouseClick(control, Qt::LeftButton);
}

// The note windows of a mode the window opened that are open.
inline std::vector<const NoteControls*> note_windows(QWidget& window, mosswick::NoteMode mode)
{
    std::vector<const NoteControls*> out;
    for (mosswick::frmNote* w : window.findChildren<mosswick::frmNote*>())
        if (w->mode() == mode && w->isVisible())
            out.push_back(&note_controls(*w));
    return out;
}

// The note editor while it is open (there is one at most), else null.
inline const NoteControls* note_editor(QWidget& window)
{
    const auto editors = note_windows(window, mosswick::NoteMode::Edit);
    return editors.empty() ? nullptr : editors.front();
}

} // namespace testsupport
