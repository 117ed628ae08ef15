#pragma once

#include "platform/picture/zoom_picture.h"

#include <QFutureWatcher>
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

    // A picture file, captioned by its path.
    static ZoomRequest file(const QString& path, int quality)
    {
        ZoomRequest r;
        r.caption_path = path;
        r.file_path = path;
        r.quality = quality;
        return r;
    }
};

// One picture in a window of its own, zoomed by a slider in per cent of its
// natural size. A click or Esc closes it. The picture is decoded on a worker
// thread when the window first shows and drawn when it arrives; the window
// keeps no more of it than its largest drawing needs (ZoomPicture), bounded
// by the free screen area in device pixels. Its controls are reached by
// their names.
class frmZoom : public QWidget {
    Q_OBJECT
public:
    // work_area: the screen's free area in pixels (empty: the primary screen's).
    explicit frmZoom(ZoomRequest request, QRect work_area = {}, QWidget* parent = nullptr);

    // What the window was opened with.
    const ZoomRequest& request() const { return m_request; }
    // The picture as last drawn: the display size in device pixels.
    QImage drawn() const;
    bool failed() const { return m_failed; }
    // True from the first show until the decoded picture arrives.
    bool loading() const { return m_loader != nullptr && !m_loaded; }
    // What the window keeps of its picture.
    const picture::ZoomPicture& kept_picture() const { return m_picture; }

signals:
    // The decode has ended: the picture is drawn, or its failure was shown.
    void picture_loaded();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    // The redraw at the slider's value (the slider's click).
    void Slider1_Click();
    void bof_Click();
    void eof_Click();

private:
    struct FreeArea {
        double width = 0;   // twips
        double height = 0;
    };
    void Form_KeyPress(int key_ascii);
    FreeArea free_area() const;
    bool picture_file_gone();
    void start_loading();
    void loading_finished();
    void fail(const QString& message);
    void place_controls(double slider_width, double slider_top, double right_panel_left);

    ZoomRequest m_request;
    QRect m_work_area;
    picture::ZoomPicture m_picture;
    QFutureWatcher<picture::ZoomPicture>* m_loader = nullptr;
    bool m_loaded = false;
    bool m_failed = false;
    // The slider's range in per cent, as the first drawing found it; later
    // drawings stay within it.
    double m_saved_min_zoom = 0;
    double m_saved_max_zoom = 0;
    bool m_first_draw = true;

    QLabel* pic_zoom = nullptr;         // a picture file's drawing
    QLabel* pic_zoom_image = nullptr;   // a stored or handed-in picture's drawing
    QPushButton* bof = nullptr;
    QSlider* Slider1 = nullptr;
    QPushButton* eof = nullptr;
    QLabel* Label28_1 = nullptr;
    QLabel* Label28_2 = nullptr;
    QLabel* Label1 = nullptr;   // hidden: the picture file's path
    QLabel* Label2 = nullptr;   // hidden: the quality code
};

} // namespace mosswick
