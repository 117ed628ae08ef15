// The search grid's jump to a page, which only the light window uses.
#include "catalogue/frm_browser.h"
#include "light/compaction.h"
#include "pageview/page_view_part.h"
#include "pageview/page_logic.h"
#include "search/messages.h"
#include "search/search_grid.h"
#include "viewer/preview.h"

#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

namespace mosswick {

void frmBrowser::show_page_of_grid_row(int row)
{
    const search::GridModel* model = search::search_grid(MSFlexGrid1)->rows();
    if (row < 0 || row >= model->rowCount())
        return;
    const QString numpic_text = model->text(row, 0);
    const QString numpage_text = model->text(row, 1);
    set_message(search::movie_message(model->text(row, 3), !model->text(row, 2).isEmpty()));
    const std::optional<qint64> numpic = parse_number(numpic_text);
    const std::optional<qint64> page = parse_number(numpage_text);
    if (!numpic || !page)
        return;   // a row without numbers names no page

    // A page shown already: only the picture's cell is selected, where the
    // search tab stays in front.
    if (!m_page_view->show_page_of_picture(*page, numpic_text))
        return;
    // A page that could not be shown must not select a cell on a later one.
    m_page_view->forget_reselect();
    SSTab_main->setCurrentIndex(0);
}

} // namespace mosswick
