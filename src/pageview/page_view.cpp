// Page view: filling the six cells of a page.
#include "catalogue/frm_browser.h"

#include <QLabel>

namespace mosswick {

void frmBrowser::LoadAllPictures(qint64 cur_numpage)
{
    // Filled in by the page view; until then the page label shows where we are.
    lbl_page->setText(QStringLiteral("%1 / %2").arg(cur_numpage).arg((picture_count + 5) / 6));
    cells_on_page = 0;
    selected_cell = 0;
}

void frmBrowser::SSTab_main_KeyPress(int&)
{
}

} // namespace mosswick
