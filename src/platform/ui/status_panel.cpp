#include "platform/ui/status_panel.h"

#include "platform/ui/message_fit.h"

#include <QResizeEvent>

namespace mosswick::ui {

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void StatusPanel::set_message(const QString& text, const QString& detail, const QStringList& paths)
{
    m_text = text;
    m_detail = detail;
    m_paths = paths;
    refit();
}

QSize StatusPanel::sizeHint() const
{
    return {minimumWidth(), QLabel::sizeHint().height()};
}

QSize StatusPanel::minimumSizeHint() const
{
    return {minimumWidth(), QLabel::minimumSizeHint().height()};
}

void StatusPanel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    refit();
}

void StatusPanel::refit()
{
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width() - 2 * margin() - 2;
    const QString shown = fit_message(m_text, std::max(room, 0),
                                      [&metrics](const QString& t) { return metrics.horizontalAdvance(t); }, m_paths);
    setText(shown);
    QString tip;
    if (shown != m_text)
        tip = m_text;
    if (!m_detail.isEmpty())
        tip = m_text + u'\n' + m_detail;
    setToolTip(tip);
}

} // namespace mosswick::ui
