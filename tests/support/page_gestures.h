#pragma once

// The page view's gestures as the user makes them on the main window of
// either edition: clicks on a cell, keys typed where the keypad listens, a
// page typed into the page box; and what the user reads back: the white
// note box, the cells a page fills (the note windows open: note_window.h).

#include "support/grid_clicks.h"
#include "support/note_window.h"
#include "support/window_controls.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/vb.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace testsupport {

// The thumbnail cell i shows: the stored picture's when it shows one.
inline QLabel* cell_picture(QWidget& window, int i)
{
    const auto& c = ctl(window);
    return c.Im2[size_t(i)]->isHidden() ? c.im[size_t(i)] : c.Im2[size_t(i)];
}

// A click on cell i's picture, which selects the cell.
inline void click_cell(QWidget& window, int i)
{
    QTest::mouseClick(cell_picture(window, i), Qt::LeftButton);
}

// A double-click on a cell's box; like the user's, it starts with a click.
inline void double_click(QWidget* box)
{
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::mouseDClick(box, Qt::LeftButton);
}

// A double-click on cell i's picture: its zoom.
inline void double_click_cell(QWidget& window, int i)
{
    double_click(cell_picture(window, i));
}

// A double-click on cell i's note box, or on its additional-note box.
inline void double_click_note(QWidget& window, int i)
{
    double_click(ctl(window).lbl_note[size_t(i)]->viewport());
}
inline void double_click_addnote(QWidget& window, int i)
{
    double_click(ctl(window).Text18[size_t(i)]->viewport());
}

// Types one key into the tab control of the shown, active window, where the
// keypad listens. True when the keypad took the key (the tab control never
// saw it).
inline bool type_keypad(QWidget& window, char key)
{
    window.show();
    QApplication::setActiveWindow(&window);
    ctl(window).SSTab_main->setFocus();
    QWidget* focused = QApplication::focusWidget();
    if (focused != ctl(window).SSTab_main && focused != ctl(window).SSTab_main->tabBar()) {
        ADD_FAILURE() << "the tab control did not take the focus";
        return false;
    }
    QKeyEvent press(QEvent::KeyPress, int(key), Qt::NoModifier, QString(QChar::fromLatin1(key)));
    QApplication::sendEvent(focused, &press);
    QKeyEvent release(QEvent::KeyRelease, int(key), Qt::NoModifier, QString(QChar::fromLatin1(key)));
    QApplication::sendEvent(focused, &release);
    return press.isAccepted();
}

// Types a page number into the page box and Enter: that page is shown
// (the page shown, loaded again).
inline void type_page(QWidget& window, qint64 page)
{
    ctl(window).Label3->setText(QString::number(page));
    QTest::keyClick(ctl(window).Label3, Qt::Key_Return);
}

// The first cell whose note box is not grey, as the selection marks it; 0
// when none is marked.
inline int white_cell(QWidget& window)
{
    constexpr unsigned grey = 0xE0E0E0;
    const auto& c = ctl(window);
    for (size_t i = 1; i <= 6; ++i)
        if (mosswick::ui::to_bgr(c.lbl_note[i]->back_color()) != grey
            || (c.Text18[i] && mosswick::ui::to_bgr(c.Text18[i]->back_color()) != grey))
            return int(i);
    return 0;
}

// The cells the page shown fills: those that show a picture number.
inline int cells_shown(QWidget& window)
{
    int n = 0;
    for (size_t i = 1; i <= 6; ++i)
        n += !ctl(window).Label5[i]->text().isEmpty();
    return n;
}

// The full edition's "Display Page" for a picture picked on the search tab.
inline void display_picture(QWidget& window, int numpic)
{
    ctl(window).refresh_grid->click();
    click_grid_row(ctl(window).MSFlexGrid1, numpic - 1);
    ctl(window).display_page->click();
}

// Selects cell i and asks for its note editor with the keypad's "1": the
// editor opened, else null.
inline const NoteControls* open_note_editor(QWidget& window, int i)
{
    click_cell(window, i);
    type_keypad(window, '1');
    return note_editor(window);
}

} // namespace testsupport
