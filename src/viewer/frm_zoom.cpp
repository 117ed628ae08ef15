#include "viewer/frm_zoom.h"

#include "platform/picture/render.h"
#include "viewer/viewer_layout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QFileInfo>
#include <QPainter>

namespace mosswick::viewer {

frmZoom::frmZoom(const QString& path, const QRect& work_area, QWidget* parent)
    : QWidget(parent)
{
    // A hidden file counts as missing: the empty window.
    if (QFileInfo(path).fileName().startsWith(u'.')) {
        m_status = picture::PictureStatus::NotFound;
        set_up(work_area, design_window_size());
        return;
    }
    picture::RenderRequest request;
    request.source = picture::PictureSource::file(path);
    request.quality = picture::k_quality_hq_bicubic;
    // The window is laid out in logical pixels, the picture drawn in device pixels.
    request.device_pixel_ratio = devicePixelRatioF();
    const QSize area = work_area.size();
    request.target_for = [area](QSize natural) { return viewer_window_size(natural, area); };
    picture::RenderResult shown = picture::render_picture(request);
    m_status = shown.status;
    if (shown.ok() && !shown.image.isNull()) {
        m_picture = std::move(shown.image);
        set_up(work_area, shown.logical_size);
    } else {
        if (m_status == picture::PictureStatus::Ok)
            m_status = picture::PictureStatus::Undecodable;  // nothing could be drawn
        set_up(work_area, design_window_size());
    }
}

frmZoom::frmZoom(const QRect& work_area, QWidget* parent)
    : QWidget(parent)
{
    set_up(work_area, design_window_size());
}

void frmZoom::set_up(const QRect& work_area, QSize size)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowTitle(QString());
    setAutoFillBackground(true);
    setFixedSize(size);
    move(work_area.topLeft());
}

void frmZoom::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

void frmZoom::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

void frmZoom::keyPressEvent(QKeyEvent* event)
{
    // The viewer has no keys.
    event->accept();
}

} // namespace mosswick::viewer
