// The search grid's jump to a page, which only the light window uses.
#include "catalogue/frm_browser.h"
#include "light/compaction.h"
#include "pageview/page_view_part.h"
#include "pageview/page_logic.h"
#include "viewer/preview.h"

#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

namespace mosswick {

void frmBrowser::show_page_of_found_picture(qint64 page, qint64 numpic)
{
    // A page shown already: only the picture's cell is selected, where the
    // search tab stays in front.
    if (!m_page_view->show_page_of_picture(page, numpic))
        return;
    // A page that could not be shown must not select a cell on a later one.
    m_page_view->forget_reselect();
    SSTab_main->setCurrentIndex(0);
}

} // namespace mosswick
