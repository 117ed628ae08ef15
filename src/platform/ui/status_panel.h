#pragma once

#include <QLabel>
#include <QStringList>

namespace mosswick::ui {

// A status-bar panel that never clips a message: a text too long for the
// panel is shortened by fit_message() (paths give way first, words are kept
// whole) and the whole text, with any detail, is the panel's tooltip. Its
// size does not follow its text, so the panels beside it keep their place.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    // Shows a message; detail (may be empty) is only in the tooltip. Paths
    // the message names, when given, are what gives way first (whole, blanks
    // and all) when it is too long.
    void set_message(const QString& text, const QString& detail = {}, const QStringList& paths = {});
    // The message as it was given, however it is shown.
    const QString& message() const { return m_text; }
    const QString& detail() const { return m_detail; }
    const QStringList& paths() const { return m_paths; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refit();

    QString m_text;
    QString m_detail;
    QStringList m_paths;
};

} // namespace mosswick::ui
