#pragma once

// The page view's zoom window as a test reaches it: its controls, found by
// the names the window gives them.

#include "support/named_controls.h"

#include "pageview/frm_zoom.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace testsupport {

struct ZoomControls {
    explicit ZoomControls(mosswick::frmZoom& w)
    {
        find(w, pic_zoom, "pic_zoom");
        find(w, pic_zoom_image, "pic_zoom_image");
        find(w, bof, "bof");
        find(w, Slider1, "Slider1");
        find(w, eof, "eof");
        find(w, Label1, "Label1");
        find(w, Label2, "Label2");
    }

    QLabel* pic_zoom = nullptr;         // a picture file's drawing
    QLabel* pic_zoom_image = nullptr;   // a stored or handed-in picture's drawing
    QPushButton* bof = nullptr;         // the smallest zoom
    QSlider* Slider1 = nullptr;         // the zoom in per cent
    QPushButton* eof = nullptr;         // the largest zoom
    QLabel* Label1 = nullptr;           // hidden: the picture file's path
    QLabel* Label2 = nullptr;           // hidden: the quality code
};

} // namespace testsupport

// Short for tests: ctl(*zoom).Slider1.
inline const testsupport::ZoomControls& ctl(mosswick::frmZoom& zoom)
{
    return testsupport::found_controls<testsupport::ZoomControls>(zoom);
}
