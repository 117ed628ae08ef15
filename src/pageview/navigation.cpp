// Page navigation: the five buttons, the page box, the slider and the
// hand-over from the search tab.
#include "catalogue/frm_browser.h"
#include "pageview/page_logic.h"

#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include <limits>

namespace mosswick {

namespace {

// Slider values are ints; page numbers beyond are clamped, never wrapped.
int slider_value(qint64 page)
{
    return int(std::clamp<qint64>(page, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

// The frame the four moving buttons share: the window is locked, the buttons
// are disabled, the page is computed and loaded (which enables what fits).
template <class NewPage>
static void move_page(frmBrowser& w, ui::BusyState& busy, NewPage&& new_page)
{
    ui::BusyLock lock(busy);
    for (QPushButton* b : {w.go_left, w.go_right, w.bof, w.eof, w.show_page})
        b->setEnabled(false);
    if (w.session().db_open) {
        w.session().current_page = new_page();
        w.LoadAllPictures(w.session().current_page);
    }
    lock.release();
    w.SSTab_main->setFocus();
}

// Moves the slider and the page box to a page without a scroll event.
static void show_in_slider(frmBrowser& w, qint64 page)
{
    {
        const QSignalBlocker block(w.Slider1);
        w.Slider1->setValue(slider_value(page));
    }
    w.Label3->setText(QString::number(w.Slider1->value()));
}

void frmBrowser::bof_Click()
{
    move_page(*this, m_session.busy(), [this] {
        show_in_slider(*this, Slider1->minimum());
        return qint64(Slider1->minimum());
    });
}

void frmBrowser::eof_Click()
{
    move_page(*this, m_session.busy(), [this] {
        const qint64 last = parse_number(Label29->text()).value_or(1);
        show_in_slider(*this, last);
        return last;
    });
}

void frmBrowser::go_left_Click()
{
    move_page(*this, m_session.busy(), [this] { return m_session.current_page > 1 ? m_session.current_page - 1 : m_session.current_page; });
}

void frmBrowser::go_right_Click()
{
    move_page(*this, m_session.busy(), [this] {
        return m_session.current_page < parse_number(Label29->text()).value_or(0) ? m_session.current_page + 1 : m_session.current_page;
    });
}

void frmBrowser::show_page_Click()
{
    ui::BusyLock lock(m_session.busy());
    Label3->setReadOnly(true);
    const qint64 last = parse_number(Label29->text()).value_or(0);
    const qint64 p = parse_number(Label3->text()).value_or(0);
    if (p < 1 || p > last) {
        set_message(QStringLiteral("Error on page panel, page value error."));
    } else {
        {
            const QSignalBlocker block(Slider1);
            Slider1->setValue(slider_value(p));
        }
        ui::EventPump().pump();
        for (QPushButton* b : {go_left, go_right, bof, eof, show_page})
            b->setEnabled(false);
        if (m_session.db_open) {
            Slider1->setEnabled(false);
            m_session.current_page = p;
            LoadAllPictures(m_session.current_page);
        }
    }
    Label3->setReadOnly(false);
    lock.release();
    SSTab_main->setFocus();
}

void frmBrowser::Label3_KeyPress(int& key_ascii)
{
    if (key_ascii == 13) {
        if (!Label3->text().isEmpty())
            show_page_Click();
        return;
    }
    if (key_ascii == 8 || (key_ascii >= '0' && key_ascii <= '9'))
        return;
    key_ascii = 0;
    set_message(QStringLiteral("Characters supported 0 1 2 3 4 5 6 7 8 9"));
}

void frmBrowser::Slider1_KeyPress(int& key_ascii)
{
    Slider1->setEnabled(false);
    if (key_ascii == 13)
        show_page_Click();
    Slider1->setEnabled(true);
    Slider1->setFocus();
}

void frmBrowser::Slider1_Scroll()
{
    show_page->setEnabled(Slider1->value() != m_session.current_page);
    Label3->setText(QString::number(Slider1->value()));
    ui::EventPump().pump();
}

void frmBrowser::show_page_of_picture(qint64 page, qint64 numpic)
{
    Label3->setText(QString::number(page));
    {
        const QSignalBlocker block(Slider1);
        Slider1->setValue(slider_value(page));
    }
    if (page != m_session.current_page) {
        show_page->setEnabled(true);
        reselect_pending = true;
        reselect_numpic = numpic;
        show_page_Click();
    } else {
        show_page->setEnabled(false);
        reselect_pending = false;
        reselect_numpic = 0;
        for (int i = 1; i <= 6; ++i)
            if (Label5[size_t(i)]->text() == QString::number(numpic)) {
                im_Click(i);
                break;
            }
    }
    SSTab_main->setCurrentIndex(0);
}

} // namespace mosswick
