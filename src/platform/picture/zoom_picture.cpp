#include "platform/picture/zoom_picture.h"

#include "platform/picture/picture_io.h"
#include "platform/picture/resample.h"

#include <algorithm>
#include <cmath>

namespace mosswick::picture {

ZoomPicture::ZoomPicture(const PictureSource& source)
{
    Picture p = load_picture(source);
    m_status = p.status;
    m_format = p.format;
    if (p.ok())
        m_levels.push_back(std::move(p.image));
}

ZoomPicture::ZoomPicture(const QImage& image)
{
    if (image.isNull())
        return;
    m_status = PictureStatus::Ok;
    m_levels.push_back(detail::normalized(image));
}

void ZoomPicture::set_largest_target(QSize largest)
{
    if (largest == m_largest)
        return;
    m_largest = largest;
    if (m_levels.size() > 1)
        m_levels.resize(1);
}

QSize ZoomPicture::next_level_size(size_t level) const
{
    const QSize s = m_levels[level].size();
    if (level == 0 && !m_largest.isEmpty()) {
        // The copy: twice the largest target, the picture's aspect kept.
        const double r = std::max(2.0 * m_largest.width() / s.width(),
                                  2.0 * m_largest.height() / s.height());
        if (r < 1.0)
            return QSize(int(std::ceil(s.width() * r)), int(std::ceil(s.height() * r)));
    }
    return QSize((s.width() + 1) / 2, (s.height() + 1) / 2);
}

const QImage& ZoomPicture::level_for(QSize target)
{
    if (m_largest.isEmpty())
        m_largest = target;
    size_t i = 0;
    for (;;) {
        const QSize next = next_level_size(i);
        if (next.width() < 2 * target.width() || next.height() < 2 * target.height()
            || next == m_levels[i].size())
            return m_levels[i];
        if (i + 1 == m_levels.size()) {
            const QSize half((m_levels[i].width() + 1) / 2, (m_levels[i].height() + 1) / 2);
            const int threads = detail::hardware_threads();
            QImage made = next == half
                              ? detail::halve(m_levels[i], threads)
                              : detail::resample(m_levels[i], next, detail::Filter::AreaBicubic, threads);
            if (made.isNull())
                return m_levels[i];  // short of memory: draw from what there is
            m_levels.push_back(std::move(made));
        }
        ++i;
    }
}

QImage ZoomPicture::draw(QSize target, int quality)
{
    if (!ok() || target.isEmpty())
        return {};
    const int q = effective_quality(quality);
    const detail::Filter filter = detail::filter_for_quality(q);
    const QImage& source = detail::is_smooth(filter) ? level_for(target) : m_levels.front();
    return detail::resample(source, target, filter, detail::hardware_threads());
}

} // namespace mosswick::picture
