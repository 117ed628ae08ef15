#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLabel;
class QProgressBar;
class QStatusBar;

namespace mosswick {

// What a write refused while the catalogue's check runs says.
inline const QString k_checking_please_wait = QStringLiteral("Checking the catalogue, please wait...");

namespace ui {
class StatusPanel;
}

// The window's status bar: the message, ready, tab and timing panels and the
// progress bar that long actions share.
class StatusLine : public QObject {
    Q_OBJECT
public:
    explicit StatusLine(QStatusBar* bar);

    // A message too long for its panel gives up its paths first and keeps
    // its words whole; the whole text, with detail when given, is in the
    // tooltip. The paths it names, when given, are taken whole.
    void set_message(const QString& text, const QString& detail = {}, const QStringList& paths = {});
    // Shows a notice that messages set meanwhile do not replace; when it
    // ends the panel shows the last of them (or what it showed before).
    void hold_notice(const QString& text);
    void end_notice();
    // While writes wait for the catalogue's check, a write refused with
    // "The database is Read-Only." says "Checking the catalogue, please
    // wait..." instead; once they no longer wait, that word goes.
    void set_writes_waiting(bool waiting);
    void set_ready(const QString& text);
    void set_tab(const QString& text);
    void set_timing(const QString& text);
    QString message_text() const;
    QString message_tip() const;
    QString ready_text() const;
    QString tab_text() const;
    QString timing_text() const;

    // The long actions' progress bar; a click on it asks them to stop.
    QProgressBar* progress() const { return m_progress; }

private:
    ui::StatusPanel* m_message = nullptr;
    QLabel* m_ready = nullptr;
    QLabel* m_tab = nullptr;
    QLabel* m_timing = nullptr;
    QProgressBar* m_progress = nullptr;
    bool m_noticing = false;
    bool m_writes_waiting = false;
    QString m_held_text;
    QString m_held_detail;
    QStringList m_held_paths;
};

} // namespace mosswick
