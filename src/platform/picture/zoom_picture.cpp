#include "platform/picture/zoom_picture.h"

#include "platform/picture/metafile.h"
#include "platform/picture/picture_io.h"
#include "platform/picture/render.h"
#include "platform/picture/resample.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace mosswick::picture {

namespace {

QThreadPool& zoom_pool();

// At the program's end a load still running borrows threads of the global
// pool, which goes down before this one: the loads end first.
void end_zoom_loads()
{
    zoom_pool().clear();
    zoom_pool().waitForDone();
}

// One thread: loads queue up instead of decoding side by side.
QThreadPool& zoom_pool()
{
    struct Pool {
        Pool()
        {
            threads.setMaxThreadCount(1);
            qAddPostRoutine(end_zoom_loads);
        }
        QThreadPool threads;
    };
    static Pool pool;
    return pool.threads;
}

} // namespace

QSize kept_size(QSize natural, QSize bound)
{
    if (bound.isEmpty() || natural.isEmpty()
        || (natural.width() <= bound.width() && natural.height() <= bound.height()))
        return natural;
    const double r = std::min(double(bound.width()) / natural.width(), double(bound.height()) / natural.height());
    // Rounded up within the bound, so the largest drawing is never an
    // enlargement of a copy a pixel short.
    return QSize(std::clamp(int(std::ceil(natural.width() * r - 1e-6)), 1, bound.width()),
                 std::clamp(int(std::ceil(natural.height() * r - 1e-6)), 1, bound.height()));
}

ZoomPicture::ZoomPicture(const PictureSource& source, QSize bound, int quality)
{
    RenderRequest request;
    request.source = source;
    request.quality = quality;
    request.target_for = [bound](QSize natural) { return kept_size(natural, bound); };
    RenderResult r = render_picture(request);
    m_status = r.status;
    m_format = r.format;
    if (r.ok() && r.image.isNull())
        m_status = PictureStatus::Undecodable;  // nothing to draw from
    if (!ok())
        return;
    m_natural = r.natural_size;
    m_kept = std::move(r.image);
    if (is_metafile(m_format))
        m_metafile = detail::read_all(detail::OpenedSource(source), k_max_metafile_bytes);
}

ZoomPicture::ZoomPicture(const QImage& image, QSize bound, int quality)
{
    if (image.isNull())
        return;
    // A screenshot of a high-density screen has more pixels than its size.
    m_natural = image.deviceIndependentSize().toSize();
    const QSize keep = kept_size(image.size(), bound);
    m_kept = keep == image.size() ? detail::normalized(image) : draw_picture(image, keep, quality);
    m_kept.setDevicePixelRatio(1.0);
    m_status = m_kept.isNull() ? PictureStatus::TooLarge : PictureStatus::Ok;
    if (!ok())
        m_natural = QSize();
}

QFuture<ZoomPicture> ZoomPicture::load_later(const PictureSource& source, QSize bound, int quality)
{
    return QtConcurrent::run(&zoom_pool(), [source, bound, quality] { return ZoomPicture(source, bound, quality); });
}

QFuture<ZoomPicture> ZoomPicture::load_later(const QImage& image, QSize bound, int quality)
{
    return QtConcurrent::run(&zoom_pool(), [image, bound, quality] { return ZoomPicture(image, bound, quality); });
}

QImage ZoomPicture::draw(QSize target, int quality) const
{
    if (!ok() || target.isEmpty())
        return {};
    if (!m_metafile.isEmpty())
        return render_metafile(m_metafile, m_format, target).image;
    const int q = effective_quality(quality);
    const detail::Filter filter = detail::filter_for_quality(q);
    const int threads = detail::hardware_threads();
    if (!detail::is_smooth(filter))
        return detail::resample(m_kept, target, filter, threads);
    // Halvings made for this drawing only: the smooth kernels then read 2 to
    // 4 source pixels per target pixel, however small the drawing.
    return detail::resample(detail::reduced_for(m_kept, target, threads), target, filter, threads);
}

} // namespace mosswick::picture
