#include "platform/picture/picture.h"

#include "platform/picture/picture_io.h"

#include <QImageReader>

#include <algorithm>
#include <mutex>

namespace mosswick::picture {

void init_picture_layer()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(k_allocation_limit_mib); });
}

PictureSource PictureSource::file(const QString& path)
{
    PictureSource s;
    s.m_is_file = true;
    s.m_path = path;
    return s;
}

PictureSource PictureSource::bytes(const QByteArray& data)
{
    PictureSource s;
    s.m_is_file = false;
    s.m_data = data;
    return s;
}

PictureInfo measure_picture(const PictureSource& source)
{
    PictureInfo info;
    const detail::OpenedSource src(source);
    if (src.status() != PictureStatus::Ok) {
        info.status = src.status();
        return info;
    }
    const detail::Probe p = detail::probe(src);
    info.status = p.status;
    info.format = p.format;
    info.size = p.size;
    return info;
}

Picture load_picture(const PictureSource& source)
{
    Picture out;
    const detail::OpenedSource src(source);
    if (src.status() != PictureStatus::Ok) {
        out.status = src.status();
        return out;
    }
    const detail::Probe p = detail::probe(src);
    out.format = p.format;
    if (p.status != PictureStatus::Ok) {
        out.status = p.status;
        return out;
    }
    QImage image = detail::decode(src, p);
    out.status = detail::classify_decoded(src, p.format, image);
    if (out.ok())
        out.image = detail::normalized(std::move(image));
    return out;
}

QString status_text(PictureStatus status)
{
    switch (status) {
    case PictureStatus::Ok: return {};
    case PictureStatus::NotFound: return QStringLiteral("Picture file not found.");
    case PictureStatus::Unreadable: return QStringLiteral("Picture file cannot be read.");
    case PictureStatus::Empty: return QStringLiteral("Picture file is empty.");
    case PictureStatus::Truncated: return QStringLiteral("Picture file is incomplete.");
    case PictureStatus::Undecodable:
        return QStringLiteral("Picture format not supported, or picture damaged.");
    case PictureStatus::TooLarge: return QStringLiteral("Picture too large to show.");
    }
    return {};
}

QString format_name(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp: return QStringLiteral("bmp");
    case PictureFormat::Gif: return QStringLiteral("gif");
    case PictureFormat::Jpeg: return QStringLiteral("jpg");
    case PictureFormat::Png: return QStringLiteral("png");
    case PictureFormat::Tiff: return QStringLiteral("tif");
    case PictureFormat::Ico: return QStringLiteral("ico");
    case PictureFormat::Emf: return QStringLiteral("emf");
    case PictureFormat::Wmf: return QStringLiteral("wmf");
    case PictureFormat::Unknown: break;
    }
    return {};
}

bool exceeds_allocation_limit(QSize size)
{
    // Headers may claim up to 2^31 - 1 a side: the pixel count still fits
    // in 64 bits, the four bytes a pixel would not, so they go on the limit.
    const qint64 pixels = qint64(std::max(size.width(), 0)) * qint64(std::max(size.height(), 0));
    return pixels > qint64(k_allocation_limit_mib) * 1024 * 1024 / 4;
}

} // namespace mosswick::picture
