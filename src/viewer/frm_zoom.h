#pragma once

// The viewer's only window: the picture without border or title bar, at its
// natural size or shrunk to the work area; a click anywhere closes it.

#include "platform/picture/picture.h"

#include <QImage>
#include <QRect>
#include <QWidget>

namespace mosswick::viewer {

class frmZoom : public QWidget {
public:
    // The window for the picture file at path, fitted into work_area (screen
    // pixels) and drawn with high-quality bicubic; a picture that cannot be
    // shown gives the empty window of the design size. Placed at the work
    // area's top-left corner.
    frmZoom(const QString& path, const QRect& work_area, QWidget* parent = nullptr);
    // The empty window of the design size.
    explicit frmZoom(const QRect& work_area, QWidget* parent = nullptr);

    // Ok when a picture is shown; otherwise why not.
    picture::PictureStatus status() const { return m_status; }
    // The drawn picture: the window's size in device pixels; null for the
    // empty window.
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void set_up(const QRect& work_area, QSize size);

    picture::PictureStatus m_status = picture::PictureStatus::NotFound;
    QImage m_picture;
};

} // namespace mosswick::viewer
