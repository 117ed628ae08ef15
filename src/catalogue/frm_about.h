#pragma once

#include <QDialog>

class QLabel;

namespace mosswick {

struct Edition;
namespace ui {
class LabelButton;
}

// The about box: title, version, the technologies used and a screenshot of
// the program itself.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const Edition& edition, QWidget* main_window, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label8 = nullptr;

    // The full-size screenshot, taken of the main window when the box opens.
    const QPixmap& screenshot() const { return m_screenshot; }

signals:
    void screenshot_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void set_link_underline(bool on);
    QPixmap m_screenshot;
};

} // namespace mosswick
