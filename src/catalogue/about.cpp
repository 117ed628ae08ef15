#include "catalogue/frm_about.h"
#include "catalogue/frm_browser.h"

namespace mosswick {

void frmBrowser::mnuAbout_Click()
{
    // One box at a time; a second click shows the same one.
    if (!m_about) {
        auto* box = new frmAbout(m_edition, this, this);
        m_about = box;
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace mosswick
