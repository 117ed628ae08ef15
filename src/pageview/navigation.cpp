// Page navigation: the five buttons, the page box, the slider and the
// hand-over from the search tab.
#include "pageview/page_view_part.h"

#include "core/catalogue_logic.h"
#include "core/status_line.h"
#include "pageview/page_logic.h"

#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

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
void PageView::move_page(NewPage&& new_page)
{
    ui::BusyLock lock(m_session.busy());
    for (QPushButton* b : {go_left, go_right, bof, eof, show_page})
        b->setEnabled(false);
    if (m_session.db_open()) {
        m_session.move_to_page(new_page());
        LoadAllPictures(m_session.current_page());
    }
    lock.release();
    emit focus_home_requested();
}

// Moves the slider and the page box to a page without a scroll event.
void PageView::show_in_slider(qint64 page)
{
    {
        const QSignalBlocker block(Slider1);
        Slider1->setValue(slider_value(page));
    }
    Label3->setText(QString::number(Slider1->value()));
}

void PageView::bof_Click()
{
    move_page([this] {
        show_in_slider(Slider1->minimum());
        return qint64(Slider1->minimum());
    });
}

void PageView::eof_Click()
{
    move_page([this] {
        const qint64 last = parse_number(Label29->text()).value_or(1);
        show_in_slider(last);
        return last;
    });
}

void PageView::go_left_Click()
{
    move_page([this] { return m_session.current_page() > 1 ? m_session.current_page() - 1 : m_session.current_page(); });
}

void PageView::go_right_Click()
{
    move_page([this] {
        return m_session.current_page() < parse_number(Label29->text()).value_or(0) ? m_session.current_page() + 1
                                                                                   : m_session.current_page();
    });
}

void PageView::show_page_Click()
{
    ui::BusyLock lock(m_session.busy());
    Label3->setReadOnly(true);
    const qint64 last = parse_number(Label29->text()).value_or(0);
    const qint64 p = parse_number(Label3->text()).value_or(0);
    if (p < 1 || p > last) {
        m_session.status().set_message(QStringLiteral("Error on page panel, page value error."));
    } else {
        {
            const QSignalBlocker block(Slider1);
            Slider1->setValue(slider_value(p));
        }
        ui::EventPump().pump();
        for (QPushButton* b : {go_left, go_right, bof, eof, show_page})
            b->setEnabled(false);
        if (m_session.db_open()) {
            Slider1->setEnabled(false);
            m_session.move_to_page(p);
            LoadAllPictures(m_session.current_page());
        }
    }
    Label3->setReadOnly(false);
    lock.release();
    emit focus_home_requested();
}

void PageView::Label3_KeyPress(int& key_ascii)
{
    if (key_ascii == 13) {
        if (!Label3->text().isEmpty())
            show_page_Click();
        return;
    }
    if (key_ascii == 8 || (key_ascii >= '0' && key_ascii <= '9'))
        return;
    key_ascii = 0;
    m_session.status().set_message(QStringLiteral("Characters supported 0 1 2 3 4 5 6 7 8 9"));
}

WindowPart::PasteRule PageView::paste_rule(const QWidget* box) const
{
    if (box && box == Label3)
        return {ui::KeyFilter::Digits, QStringLiteral("Characters supported 0 1 2 3 4 5 6 7 8 9")};
    return {};
}

void PageView::Slider1_KeyPress(int& key_ascii)
{
    Slider1->setEnabled(false);
    if (key_ascii == 13)
        show_page_Click();
    Slider1->setEnabled(true);
    Slider1->setFocus();
}

void PageView::Slider1_Scroll()
{
    show_page->setEnabled(Slider1->value() != m_session.current_page());
    Label3->setText(QString::number(Slider1->value()));
    ui::EventPump().pump();
}

bool PageView::show_page_of_picture(qint64 page, qint64 numpic)
{
    Label3->setText(QString::number(page));
    {
        const QSignalBlocker block(Slider1);
        Slider1->setValue(slider_value(page));
    }
    if (page == m_session.current_page()) {
        show_page->setEnabled(false);
        forget_reselect();
        for (int i = 1; i <= 6; ++i)
            if (Label5[size_t(i)]->text() == QString::number(numpic)) {
                im_Click(i);
                break;
            }
        return false;
    }
    show_page->setEnabled(true);
    m_reselect_numpic = numpic;
    show_page_Click();
    return true;
}

void PageView::forget_reselect()
{
    m_reselect_numpic.reset();
}

} // namespace mosswick
