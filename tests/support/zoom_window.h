#pragma once

// The page view's zoom window as a test reaches it: its controls, found by
// the names the window gives them.

#include "support/named_controls.h"

#include "pageview/frm_zoom.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

// A zoom window's controls.
struct ZoomControls : NamedControls<mosswick::frmZoom> {
    using NamedControls::NamedControls;

    QLabel* pic_zoom = one<QLabel>("pic_zoom");               // a picture file's drawing
    QLabel* pic_zoom_image = one<QLabel>("pic_zoom_image");   // a stored or handed-in picture's drawing
    QPushButton* bof = one<QPushButton>("bof");               // the smallest zoom
    QSlider* Slider1 = one<QSlider>("Slider1");               // the zoom in per cent
    QPushButton* eof = one<QPushButton>("eof");               // the largest zoom
    QLabel* Label1 = one<QLabel>("Label1");                   // hidden: the picture file's path
    QLabel* Label2 = one<QLabel>("Label2");                   // hidden: the quality code
};

// The zoom window opened last, as long as it is open; null when none is.
// Zoom windows are windows of their own: the newest window shown is it.
inline mosswick::frmZoom* last_zoom()
{
    const QWindowList shown = QGuiApplication::topLevelWindows();
    for (auto w = shown.crbegin(); w != shown.crend(); ++w)
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* zoom = qobject_cast<mosswick::frmZoom*>(widget);
                zoom && zoom->windowHandle() == *w && zoom->isVisible())
                return zoom;
    return nullptr;
}

// A zoom window of its own on a request, in a work area of 1280 x 800
// pixels, shown and waited for until its decode has ended.
inline std::unique_ptr<mosswick::frmZoom> open_zoom(const mosswick::ZoomRequest& request)
{
    auto z = std::make_unique<mosswick::frmZoom>(request, QRect(0, 0, 1280, 800));
    z->setAttribute(Qt::WA_DeleteOnClose, false);
    QSignalSpy loaded(z.get(), &mosswick::frmZoom::picture_loaded);
    z->show();
    EXPECT_TRUE(loaded.wait(10000));
    return z;
}

} // namespace testsupport

// Short for tests: ctl(*zoom).Slider1.
inline const testsupport::ZoomControls& ctl(mosswick::frmZoom& zoom)
{
    return testsupport::found_controls<testsupport::ZoomControls>(zoom);
}
