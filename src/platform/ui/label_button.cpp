#include "platform/ui/label_button.h"

#include "platform/ui/vb.h"

#include <QMouseEvent>

namespace mosswick::ui {

LabelButton::LabelButton(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_pressed_color(bgr(0xC0C0C0))
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    m_rest = palette().color(QPalette::Window);
}

void LabelButton::set_colors(const QColor& rest, const QColor& pressed)
{
    m_rest = rest;
    m_pressed_color = pressed;
    apply(m_pressed);
}

void LabelButton::apply(bool pressed)
{
    m_pressed = pressed;
    QPalette p = palette();
    p.setColor(QPalette::Window, pressed ? m_pressed_color : m_rest);
    setPalette(p);
    setFrameShadow(pressed ? QFrame::Sunken : QFrame::Raised);
}

void LabelButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled())
        apply(true);
    QLabel::mousePressEvent(event);
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool was = m_pressed;
    apply(false);
    if (was && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void LabelButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled())
        emit double_clicked();
    QLabel::mouseDoubleClickEvent(event);
}

void LabelButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        apply(false);
    QLabel::changeEvent(event);
}

} // namespace mosswick::ui
