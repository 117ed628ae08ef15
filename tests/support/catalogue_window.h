#pragma once

// The main window with a catalogue open, as the maintenance and loader
// tests drive it.

#include "support/window_steps.h"

#include <QApplication>

class CatalogueWindowTest : public WindowSteps {
protected:
    // Gives a control the keyboard focus the way a click would.
    void focus(QWidget* w)
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        w->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
};
