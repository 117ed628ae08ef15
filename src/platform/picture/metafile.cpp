#include "platform/picture/metafile.h"

#include "platform/picture/emf_player.h"
#include "platform/picture/picture.h"

#include <QPainter>

namespace mosswick::picture {

using metafile::Bytes;

MetafileHeader read_metafile_header(QByteArrayView head, qint64 file_size, PictureFormat format)
{
    MetafileHeader out;
    const Bytes data(head);
    QSize size;
    if (format == PictureFormat::Emf) {
        const metafile::EmfHeader h = metafile::read_emf_header(data);
        if (!h.ok) {
            out.status = file_size < 88 ? PictureStatus::Truncated : PictureStatus::Undecodable;
            return out;
        }
        size = h.natural;
    } else if (format == PictureFormat::Wmf) {
        const metafile::WmfHeader h = metafile::read_wmf_header(data);
        if (!h.ok) {
            out.status = file_size < 40 ? PictureStatus::Truncated : PictureStatus::Undecodable;
            return out;
        }
        size = h.natural;
    } else {
        return out;
    }
    out.size = size;
    if (file_size > k_max_metafile_bytes || exceeds_allocation_limit(size) || size.width() > (1 << 20)
        || size.height() > (1 << 20))
        out.status = PictureStatus::TooLarge;
    else
        out.status = PictureStatus::Ok;
    return out;
}

bool metafile_looks_truncated(QByteArrayView head, qint64 file_size, PictureFormat format)
{
    const Bytes data(head);
    if (format == PictureFormat::Emf) {
        const metafile::EmfHeader h = metafile::read_emf_header(data);
        return h.ok ? h.bytes > file_size : file_size < 88;
    }
    if (format == PictureFormat::Wmf) {
        const metafile::WmfHeader h = metafile::read_wmf_header(data);
        return h.ok ? h.bytes > file_size : file_size < 40;
    }
    return false;
}

MetafilePlay play_metafile(QByteArrayView bytes, PictureFormat format, QPainter& painter, const QRectF& target)
{
    if (target.isEmpty() || bytes.size() > k_max_metafile_bytes)
        return {};
    init_picture_layer();   // the readers of embedded bitmaps take our allocation limit
    const Bytes data(bytes);
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    MetafilePlay result;
    try {
        if (format == PictureFormat::Emf)
            result = metafile::play_emf(data, painter, target);
        else if (format == PictureFormat::Wmf)
            result = metafile::play_wmf(data, painter, target);
    } catch (const std::bad_alloc&) {
        result.status = PictureStatus::TooLarge;
    }
    painter.restore();
    return result;
}

RenderedMetafile render_metafile(QByteArrayView data, PictureFormat format, QSize size)
{
    RenderedMetafile out;
    if (size.isEmpty() || exceeds_allocation_limit(size)) {
        out.play.status = PictureStatus::TooLarge;
        return out;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        out.play.status = PictureStatus::TooLarge;
        return out;
    }
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        out.play = play_metafile(data, format, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    if (out.play.ok())
        out.image = std::move(image);
    return out;
}

} // namespace mosswick::picture
