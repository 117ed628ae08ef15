#pragma once

#include <QDialog>

class QLabel;

namespace mosswick {

struct Edition;
namespace ui {
class LabelButton;
}

// The about box: title, version, the technologies used and a small picture
// of the program itself. The full edition's box holds a screenshot of the
// main window, taken when it opens; an edition with an about picture file
// carries none: its small picture is that file, which its click shows whole.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const Edition& edition, QWidget* main_window, const QString& program_folder, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label8 = nullptr;

    // The full-size screenshot, taken of the main window when the box opens;
    // null where the box carries none.
    const QPixmap& screenshot() const { return m_screenshot; }
    // The picture file the small picture shows and its click opens; empty
    // where the box holds its screenshot.
    const QString& picture_file() const { return m_picture_file; }

signals:
    void screenshot_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void set_link_underline(bool on);
    void show_small_picture(const QImage& picture, qreal device_pixel_ratio);
    QPixmap m_screenshot;
    QString m_picture_file;
};

} // namespace mosswick
