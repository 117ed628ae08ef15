// Mouse and key events of the cells, the page box, the slider and the
// keypad's host, watched by the page view itself.
#include "pageview/page_view_part.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/key_rules.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>

namespace mosswick {

// Installed once every control is built: the page view's filter then sees
// the events before the controls' own (the page box's paste rule).
void PageView::watch_events(QTabWidget* keypad_host)
{
    m_keypad_host = keypad_host;
    if (m_keypad_host) {
        m_keypad_host->installEventFilter(this);
        m_keypad_host->tabBar()->installEventFilter(this);
    }
    Label3->installEventFilter(this);
    Slider1->installEventFilter(this);
    for (size_t i = 1; i <= 6; ++i) {
        im[i]->installEventFilter(this);
        Im2[i]->installEventFilter(this);
        lbl_note[i]->viewport()->installEventFilter(this);
        if (Text18[i])
            Text18[i]->viewport()->installEventFilter(this);
    }
}

bool PageView::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::KeyPress)
        return WindowPart::eventFilter(watched, event);
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
        if (m_keypad_host && (watched == m_keypad_host || watched == m_keypad_host->tabBar())) {
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
        else
            emit note_requested(note ? NoteRequest::NoteBox : NoteRequest::AddnoteBox, note_cell(int(i)));
        return false;
    }
    return false;
}

} // namespace mosswick
