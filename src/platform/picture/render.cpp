#include "platform/picture/render.h"

#include "platform/picture/picture_io.h"
#include "platform/picture/resample.h"

#include <QFuture>
#include <QSemaphore>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace mosswick::picture {

namespace {

// The size a jpg decoder delivers when asked to reduce by m/8: the smallest
// such size still at or above the target. Invalid when only a full decode
// reaches the target. Rounding down makes Qt pick exactly m/8 (it takes the
// ceiling of 8 / factor), so at most a one-pixel correction follows.
QSize jpeg_decode_size(QSize natural, QSize target)
{
    if (natural.width() <= 8 || natural.height() <= 8)
        return {};
    for (int m = 1; m < 8; ++m) {
        const QSize s(int(qint64(natural.width()) * m / 8), int(qint64(natural.height()) * m / 8));
        if (s.width() >= target.width() && s.height() >= target.height())
            return s;
    }
    return {};
}

// Decodes running side by side may hold at most this much picture memory
// (decoded size plus its halvings), so a page of huge pictures decodes one
// after another instead of all at once. One picture at the allocation limit
// always fits.
constexpr int k_decode_budget_mib = k_allocation_limit_mib;

class DecodeBudget {
public:
    explicit DecodeBudget(QSize decoded)
    {
        const double mib = double(decoded.width()) * decoded.height() * 4 * 1.4 / (1024.0 * 1024.0);
        m_units = std::clamp(int(std::ceil(mib)), 1, k_decode_budget_mib);
        semaphore().acquire(m_units);
    }
    ~DecodeBudget() { semaphore().release(m_units); }
    DecodeBudget(const DecodeBudget&) = delete;
    DecodeBudget& operator=(const DecodeBudget&) = delete;

private:
    static QSemaphore& semaphore()
    {
        static QSemaphore s(k_decode_budget_mib);
        return s;
    }
    int m_units = 0;
};

RenderResult render_one(const RenderRequest& request, int max_threads)
{
    RenderResult result;
    const detail::OpenedSource src(request.source);
    if (src.status() != PictureStatus::Ok) {
        result.status = src.status();
        return result;
    }
    const detail::Probe p = detail::probe(src);
    result.format = p.format;
    result.natural_size = p.size;
    if (p.status != PictureStatus::Ok) {
        result.status = p.status;
        return result;
    }
    const QSize target = request.target_for ? request.target_for(p.size) : request.target;
    if (target.isEmpty()) {
        result.status = PictureStatus::Ok;
        return result;
    }
    if (exceeds_allocation_limit(target)) {
        result.status = PictureStatus::TooLarge;
        return result;
    }

    const int quality = effective_quality(request.quality);
    QSize scaled;
    if (quality == k_quality_thumbnail && p.format == PictureFormat::Jpeg)
        scaled = jpeg_decode_size(p.size, target);
    const DecodeBudget budget(scaled.isValid() ? scaled : p.size);
    QImage decoded = detail::decode(src, p, scaled);
    result.status = detail::classify_decoded(src, p.format, decoded);
    if (!result.ok())
        return result;
    const detail::Filter filter = detail::filter_for_quality(quality);
    if (decoded.size() == target) {
        result.image = detail::normalized(std::move(decoded));
    } else {
        if (detail::is_smooth(filter))
            decoded = detail::reduced_for(decoded, target, max_threads);
        result.image = detail::resample(decoded, target, filter, max_threads);
    }
    if (result.image.isNull())
        result.status = PictureStatus::TooLarge;  // out of memory while drawing
    return result;
}

// The layer's own pool, so page decodes never wait behind other work queued
// on Qt's global pool.
QThreadPool& batch_pool()
{
    struct Pool {
        Pool() { threads.setMaxThreadCount(detail::hardware_threads()); }
        QThreadPool threads;
    };
    static Pool pool;
    return pool.threads;
}

} // namespace

RenderResult render_picture(const RenderRequest& request)
{
    return render_one(request, detail::hardware_threads());
}

std::vector<QFuture<RenderResult>> start_rendering(const std::vector<RenderRequest>& requests)
{
    std::vector<QFuture<RenderResult>> running;
    if (requests.empty())
        return running;
    // The pictures already run side by side; each drawing gets a share of
    // the machine only when there are fewer pictures than threads.
    const int share = std::max(1, detail::hardware_threads() / int(requests.size()));
    running.reserve(requests.size());
    for (size_t i = 0; i < requests.size(); ++i) {
        running.push_back(QtConcurrent::run(&batch_pool(), [&requests, i, share] {
            try {
                return render_one(requests[i], share);
            } catch (const std::bad_alloc&) {
                RenderResult r;
                r.status = PictureStatus::TooLarge;
                return r;
            }
        }));
    }
    return running;
}

std::vector<RenderResult> render_pictures(const std::vector<RenderRequest>& requests)
{
    std::vector<QFuture<RenderResult>> running = start_rendering(requests);
    std::vector<RenderResult> results;
    results.reserve(running.size());
    for (QFuture<RenderResult>& f : running)
        results.push_back(f.result());
    return results;
}

} // namespace mosswick::picture
