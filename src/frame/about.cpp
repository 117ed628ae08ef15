#include "catalogue/frm_about.h"
#include "frame/frm_browser.h"
#include "pageview/frm_zoom.h"
#include "pageview/page_view_part.h"

namespace mosswick {

void frmBrowser::mnuAbout_Click()
{
    // One box at a time; a second click shows the same one.
    if (!m_about) {
        auto* box = new frmAbout(m_session.edition(), this, m_session.program_folder(), this);
        connect(box, &frmAbout::screenshot_clicked, this, [this, box] {
            // Each click opens one more zoom window.
            ZoomRequest request;
            request.quality = 5;
            const QString path = box->picture_file();
            if (path.isEmpty()) {
                // The full-size screenshot.
                request.picture_in_db = true;
                request.image = box->screenshot().toImage();
                request.caption_path = QStringLiteral("The Screenshot.");
            } else {
                // A picture file of the program's folder, drawn like any
                // other; a missing file closes that zoom window only.
                request.file_path = path;
                request.caption_path = path;
            }
            m_page_view->open_zoom(request);
        });
        m_about = box;
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace mosswick
