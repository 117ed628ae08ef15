#pragma once

// A picture kept for repeated drawing at changing sizes (the zoom window's
// slider). It keeps no more than its largest drawing needs: a copy no larger
// than a bound (the free screen area in device pixels), made once with the
// window's own quality code from a decode of at least twice that size (see
// render_picture), so every later drawing from it keeps the code's look. A
// picture that fits the bound is kept as decoded. The natural size stays the
// picture's own, for zoom percentages and captions. Loading can run on a
// worker thread (load_later); drawing is for one owner thread. An EMF or
// WMF keeps its bytes instead and is drawn afresh at each target.

#include "platform/picture/draw.h"
#include "platform/picture/picture.h"

#include <QFuture>
#include <QImage>
#include <QSize>

namespace mosswick::picture {

class ZoomPicture {
public:
    // Nothing loaded: status Undecodable, draws nothing.
    ZoomPicture() = default;
    // Loads and decodes the picture (ico: its largest image) and keeps a copy
    // that fits in bound (device pixels; empty: no bound), drawn with quality.
    ZoomPicture(const PictureSource& source, QSize bound, int quality);
    // Takes a picture decoded elsewhere (a screenshot) and keeps a copy that
    // fits in bound, drawn with quality; a null image gives Undecodable. Its
    // natural size is its size in logical pixels (deviceIndependentSize).
    ZoomPicture(const QImage& image, QSize bound, int quality);

    // Either constructor run on the layer's zoom thread, one load at a time,
    // so several windows opened at once never hold several decodes at once.
    static QFuture<ZoomPicture> load_later(const PictureSource& source, QSize bound, int quality);
    static QFuture<ZoomPicture> load_later(const QImage& image, QSize bound, int quality);

    PictureStatus status() const { return m_status; }
    PictureFormat format() const { return m_format; }
    bool ok() const { return m_status == PictureStatus::Ok; }
    // The picture's own size in pixels; empty unless ok().
    QSize natural_size() const { return m_natural; }
    // What is kept for drawing; null unless ok().
    const QImage& kept() const { return m_kept; }

    // Draws the whole picture into exactly target pixels with the quality
    // code (other codes as 2). Null when not ok(), the target is empty or
    // memory runs out.
    QImage draw(QSize target, int quality) const;

private:
    PictureStatus m_status = PictureStatus::Undecodable;
    PictureFormat m_format = PictureFormat::Unknown;
    QSize m_natural;
    QImage m_kept;
    QByteArray m_metafile;  // an EMF or WMF, drawn at each target
};

// The largest size of natural's aspect that fits in bound, never larger than
// natural itself; natural when bound is empty.
QSize kept_size(QSize natural, QSize bound);

} // namespace mosswick::picture
