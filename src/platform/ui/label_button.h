#pragma once

#include <QColor>
#include <QLabel>

namespace mosswick::ui {

// A label used as a button: it shows a pressed look while the mouse button is
// down and emits clicked() on release over it. It never takes the focus.
class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(const QString& text = {}, QWidget* parent = nullptr);

    // Background at rest and while pressed (defaults: the palette's, &HC0C0C0).
    void set_colors(const QColor& rest, const QColor& pressed);
    bool is_pressed() const { return m_pressed; }

signals:
    void clicked();
    void double_clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void apply(bool pressed);

    QColor m_rest;
    QColor m_pressed_color;
    bool m_pressed = false;
};

} // namespace mosswick::ui
