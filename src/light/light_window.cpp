// The search grid's jump to a page, which only the light window uses.
#include "catalogue/frm_browser.h"
#include "light/compaction.h"
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
    Label3->setText(QString::number(page));
    {
        const QSignalBlocker block(Slider1);
        Slider1->setValue(int(std::clamp<qint64>(page, Slider1->minimum(), Slider1->maximum())));
    }
    if (page == m_session.current_page) {
        // The page is shown already: select the picture's cell where the
        // search tab stays in front.
        show_page->setEnabled(false);
        reselect_pending = false;
        reselect_numpic = 0;
        for (int i = 1; i <= 6; ++i)
            if (Label5[size_t(i)]->text() == QString::number(numpic)) {
                im_Click(i);
                break;
            }
        return;
    }
    show_page->setEnabled(true);
    reselect_pending = true;
    reselect_numpic = numpic;
    show_page_Click();
    // A page that could not be shown must not select a cell on a later one.
    reselect_pending = false;
    reselect_numpic = 0;
    SSTab_main->setCurrentIndex(0);
}

} // namespace mosswick
