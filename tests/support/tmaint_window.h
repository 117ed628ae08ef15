#pragma once

// The main window with a catalogue open, as the maintenance and loader
// tests drive it.

#include "support/tmaint_rows.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProgressBar>

class CatalogueWindowTest : public WindowTest {
protected:
    // Gives a control the keyboard focus the way a click would.
    void focus(QWidget* w)
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        w->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }

    // A click on the progress bar as the window receives it.
    void click_progress_bar()
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(ctl(*window).ProgressBar1, &press);
    }

    // The open catalogue's rows as "numpic/numpage/picfile/movfile" ("-" for Null).
    QStringList rows() const { return testsupport::row_texts(*window->session().db_conn()); }
};
