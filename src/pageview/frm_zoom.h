#pragma once

#include "platform/picture/zoom_picture.h"

#include <QImage>
#include <QRect>
#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

namespace mosswick {

// Everything a zoom window needs, fixed when it is opened, so that any number
// of zoom windows show their own pictures side by side.
struct ZoomRequest {
    bool picture_in_db = false;   // true: show bytes or image, false: draw file_path
    QByteArray bytes;             // a picture stored in the catalogue
    QImage image;                 // a picture decoded elsewhere (the about box's screenshot)
    QString caption_path;         // the text the caption shows
    QString file_path;            // the picture file to draw
    int quality = 5;              // draw-quality code
};

// One picture in a window of its own, zoomed by a slider in per cent of its
// natural size. A click or Esc closes it.
class frmZoom : public QWidget {
    Q_OBJECT
public:
    // work_area: the screen's free area in pixels (empty: the primary screen's).
    explicit frmZoom(ZoomRequest request, QRect work_area = {}, QWidget* parent = nullptr);

    // The redraw at the slider's value (the slider's click).
    void Slider1_Click();
    void bof_Click();
    void eof_Click();
    void Form_KeyPress(int key_ascii);

    const ZoomRequest& request() const { return m_request; }
    // The picture as last drawn, at the display size.
    QImage drawn() const { return m_drawn; }
    bool failed() const { return m_failed; }

    double min_zoom = -100;
    double max_zoom = 100;
    double cur_zoom = 0;
    double display_width = 0;    // twips
    double display_height = 0;
    double saved_min_zoom = 0;
    double saved_max_zoom = 0;
    double saved_cur_zoom = 0;
    bool first_draw = true;

    QLabel* pic_zoom = nullptr;
    QLabel* pic_zoom_image = nullptr;
    QPushButton* bof = nullptr;
    QSlider* Slider1 = nullptr;
    QPushButton* eof = nullptr;
    QLabel* Label28_1 = nullptr;
    QLabel* Label28_2 = nullptr;
    QLabel* Label1 = nullptr;   // hidden: the picture file's path
    QLabel* Label2 = nullptr;   // hidden: the quality code

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool load_picture();
    void fail(const QString& message);
    void place_controls(double slider_width, double slider_top, double right_panel_left);

    ZoomRequest m_request;
    QRect m_work_area;
    picture::ZoomPicture m_picture;
    bool m_loaded = false;
    bool m_failed = false;
    QImage m_drawn;
};

} // namespace mosswick
