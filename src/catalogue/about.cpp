#include "catalogue/frm_about.h"
#include "catalogue/frm_browser.h"
#include "pageview/frm_zoom.h"

namespace mosswick {

void frmBrowser::mnuAbout_Click()
{
    // One box at a time; a second click shows the same one.
    if (!m_about) {
        auto* box = new frmAbout(m_edition, this, this);
        connect(box, &frmAbout::screenshot_clicked, this, [this, box] {
            // Each click opens one more zoom window of the full screenshot.
            ZoomRequest request;
            request.picture_in_db = true;
            request.image = box->screenshot().toImage();
            request.caption_path = QStringLiteral("The Screenshot.");
            request.quality = 5;
            open_zoom(request);
        });
        m_about = box;
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace mosswick
