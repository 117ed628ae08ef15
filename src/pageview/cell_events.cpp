// Mouse and key events of the cells, the page box, the slider and the
// keypad's host, as the frame's application-wide filter hands them on.
#include "pageview/page_view_part.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/key_rules.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace mosswick {

bool PageView::page_view_event(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::KeyPress)
        return false;
    if (type == QEvent::KeyPress) {
        const std::optional<int> typed = ui::typed_code(*static_cast<QKeyEvent*>(event));
        if (!typed)
            return false;
        int code = *typed;
        if (watched == Label3) {
            Label3_KeyPress(code);
            return code == 0 || code == 13;
        }
        if (watched == Slider1) {
            if (code == 13) {
                Slider1_KeyPress(code);
                return true;
            }
            return false;
        }
        // The keypad works only where the key was typed into the tab control
        // or a thumbnail; a key that another control ignores and hands up to
        // its parents is an ordinary character.
        if (watched != QApplication::focusWidget())
            return false;
        if (is_keypad_host && is_keypad_host(watched)) {
            SSTab_main_KeyPress(code);
            return code == 0;
        }
        for (size_t i = 1; i <= 6; ++i)
            if (watched == im[i] || watched == Im2[i]) {
                // The thumbnail hands a copy on; the key itself goes on too.
                im_KeyPress(int(i), code);
                return false;
            }
        return false;
    }
    for (size_t i = 1; i <= 6; ++i) {
        const bool picture = watched == im[i] || watched == Im2[i];
        const bool note = watched == lbl_note[i]->viewport();
        const bool addnote = Text18[i] && watched == Text18[i]->viewport();
        if (!picture && !note && !addnote)
            continue;
        if (type == QEvent::MouseButtonPress)
            im_Click(int(i));
        else if (picture)
            im_DblClick(int(i));
        else if (note)
            emit note_double_clicked(int(i));
        else
            emit addnote_double_clicked(int(i));
        return false;
    }
    return false;
}

} // namespace mosswick
