#pragma once

// The main window in a benchmark: waiting for the check behind the page.

#include "frame/frm_browser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace benchsupport {

// Lets the integrity check behind an opened catalogue end (writes wait for it).
inline bool wait_for_integrity_check(mosswick::frmBrowser& window, int timeout_ms = 30 * 60 * 1000)
{
    QElapsedTimer t;
    t.start();
    while (window.integrity_check_running()) {
        if (t.elapsed() > timeout_ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

} // namespace benchsupport
