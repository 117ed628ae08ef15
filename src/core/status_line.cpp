#include "core/status_line.h"

#include "platform/ui/status_panel.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace mosswick {

StatusLine::StatusLine(QStatusBar* bar) : QObject(bar)
{
    m_message = new ui::StatusPanel(bar);
    m_ready = new QLabel(bar);
    m_tab = new QLabel(bar);
    m_timing = new QLabel(bar);
    m_message->setObjectName(QStringLiteral("message_panel"));
    m_ready->setObjectName(QStringLiteral("ready_panel"));
    m_tab->setObjectName(QStringLiteral("tab_panel"));
    m_timing->setObjectName(QStringLiteral("timing_panel"));
    m_message->setMinimumWidth(420);
    m_ready->setMinimumWidth(60);
    m_tab->setMinimumWidth(130);
    m_timing->setMinimumWidth(90);
    for (QLabel* l : {static_cast<QLabel*>(m_message), m_ready, m_tab, m_timing})
        l->setFrameShape(QFrame::StyledPanel);
    bar->addWidget(m_message, 4);
    bar->addWidget(m_ready, 1);
    bar->addWidget(m_tab, 1);
    bar->addWidget(m_timing, 1);
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setToolTip(QStringLiteral("Click to stop."));
    m_progress->setMaximumWidth(220);
    m_progress->hide();
    bar->addPermanentWidget(m_progress);
}

void StatusLine::set_message(const QString& given, const QString& detail, const QStringList& paths)
{
    // Every part refuses a write in these words: the catalogue is only
    // read-only until its check has passed.
    const QString& text = m_writes_waiting && given == QLatin1String("The database is Read-Only.")
                              ? k_checking_please_wait
                              : given;
    if (m_noticing) {
        m_held_text = text;
        m_held_detail = detail;
        m_held_paths = paths;
        return;
    }
    m_message->set_message(text, detail, paths);
}

void StatusLine::hold_notice(const QString& text)
{
    if (!m_noticing) {
        m_held_text = m_message->message();
        m_held_detail = m_message->detail();
        m_held_paths = m_message->paths();
        m_noticing = true;
    }
    m_message->set_message(text);
}

void StatusLine::end_notice()
{
    if (!m_noticing)
        return;
    m_noticing = false;
    m_message->set_message(m_held_text, m_held_detail, m_held_paths);
}

void StatusLine::set_writes_waiting(bool waiting)
{
    m_writes_waiting = waiting;
    if (!waiting && message_text() == k_checking_please_wait)
        set_message({});
}

void StatusLine::set_ready(const QString& text)
{
    m_ready->setText(text);
}

void StatusLine::set_tab(const QString& text)
{
    m_tab->setText(text);
}

void StatusLine::set_timing(const QString& text)
{
    m_timing->setText(text);
}

QString StatusLine::message_text() const
{
    return m_message->message();
}

QString StatusLine::message_tip() const
{
    return m_message->toolTip();
}

QString StatusLine::ready_text() const
{
    return m_ready->text();
}

QString StatusLine::tab_text() const
{
    return m_tab->text();
}

QString StatusLine::timing_text() const
{
    return m_timing->text();
}

} // namespace mosswick
