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

// A note window's controls; the window itself is window.
struct NoteControls : NamedControls<mosswick::frmNote> {
    using NamedControls::NamedControls;

    QTabWidget* SSTab1 = one<QTabWidget>("SSTab1");
    RichTextBox* lbl_note = one<RichTextBox>("lbl_note");
    RichTextBox* Text1 = one<RichTextBox>("Text1");
    QLineEdit* Text2 = one<QLineEdit>("Text2");
    QPushButton* Command1 = one<QPushButton>("Command1");   // OK
    QPushButton* Command2 = one<QPushButton>("Command2");   // Cancel
    QLabel* Label1 = one<QLabel>("Label1");
    QFrame* Frame1 = one<QFrame>("Frame1");
    std::array<QRadioButton*, 9> OptionBTN = all<QRadioButton, 9>("OptionBTN");
    std::array<LabelButton*, 3> note_size = all<LabelButton, 3>("note_size");
    std::array<QLabel*, 3> Label2 = all<QLabel, 3>("Label2");
    std::array<QLabel*, 8> lbl_note_size = all<QLabel, 8>("lbl_note_size");
    std::array<LabelButton*, 48> Label3 = all<LabelButton, 48>("Label3");
    std::array<QLabel*, 48> Label28 = all<QLabel, 48>("Label28");
    std::array<LabelButton*, 9> Label4 = all<LabelButton, 9>("Label4");
    std::array<QLabel*, 9> Label5 = all<QLabel, 9>("Label5");
    std::array<LabelButton*, 8> Label7 = all<LabelButton, 8>("Label7");
    std::array<QLabel*, 8> Label9 = all<QLabel, 8>("Label9");
    LabelButton* Label_more = one<LabelButton>("Label_more");
    LabelButton* Label_more2 = one<LabelButton>("Label_more2");
    std::array<LabelButton*, 4> Label8 = all<LabelButton, 4>("Label8");
    std::array<QLabel*, 4> Label10 = all<QLabel, 4>("Label10");
    std::array<LabelButton*, 3> Label15 = all<LabelButton, 3>("Label15");
    LabelButton* Label19 = one<LabelButton>("Label19");
    LabelButton* Label11 = one<LabelButton>("Label11");
    LabelButton* Label23 = one<LabelButton>("Label23");
    LabelButton* Label24 = one<LabelButton>("Label24");
    LabelButton* Label27 = one<LabelButton>("Label27");
    QLineEdit* Text_Find = one<QLineEdit>("Text_Find");
    std::array<QRadioButton*, 2> Option1 = all<QRadioButton, 2>("Option1");
    std::array<LabelButton*, 3> Label22 = all<LabelButton, 3>("Label22");
    std::array<QLabel*, 4> Label21 = all<QLabel, 4>("Label21");
    LabelButton* Label25 = one<LabelButton>("Label25");
    QLabel* Label26 = one<QLabel>("Label26");
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

// The three ways to leave a note window without its OK: Cancel, Esc and the
// close box.
inline const std::array<void (*)(const NoteControls&), 3> leave_without_ok = {
    [](const NoteControls& w) { w.Command2->click(); },
    [](const NoteControls& w) { QTest::keyClick(w.lbl_note, Qt::Key_Escape); },
    [](const NoteControls& w) { w.window->close(); },
};

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
