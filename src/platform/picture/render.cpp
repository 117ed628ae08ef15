#include "platform/picture/render.h"

#include "platform/picture/decode_plan.h"
#include "platform/picture/picture_io.h"
#include "platform/picture/resample.h"

#include <QFuture>
#include <QSemaphore>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <new>

namespace mosswick::picture {

namespace {

// Decodes running side by side may hold at most this much memory (see
// plan_decode), so a page of huge pictures decodes a few at a time and stays
// within a few hundred MB. One picture above it still runs, alone.
constexpr qint64 k_decode_budget_mib = 192;

class DecodeBudget {
public:
    explicit DecodeBudget(qint64 bytes)
    {
        const qint64 mib = (bytes + (1 << 20) - 1) >> 20;
        m_units = int(std::clamp<qint64>(mib, 1, k_decode_budget_mib));
        semaphore().acquire(m_units);
    }
    ~DecodeBudget() { semaphore().release(m_units); }
    DecodeBudget(const DecodeBudget&) = delete;
    DecodeBudget& operator=(const DecodeBudget&) = delete;

private:
    static QSemaphore& semaphore()
    {
        static QSemaphore s{int(k_decode_budget_mib)};
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
    result.logical_size = request.target_for ? request.target_for(p.size) : request.target;
    const QSize target = device_pixels(result.logical_size, request.device_pixel_ratio);
    if (target.isEmpty()) {
        result.status = PictureStatus::Ok;
        return result;
    }
    if (exceeds_allocation_limit(target)) {
        result.status = PictureStatus::TooLarge;
        return result;
    }

    const int quality = effective_quality(request.quality);
    const detail::DecodePlan plan = detail::plan_decode(p, target, quality);
    const DecodeBudget budget(plan.bytes);
    QImage decoded = detail::decode(src, p, plan.scaled);
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
    else if (request.device_pixel_ratio > 0)
        result.image.setDevicePixelRatio(request.device_pixel_ratio);
    return result;
}

// render_one, with running out of memory reported as TooLarge.
RenderResult render_safely(const RenderRequest& request, int max_threads)
{
    try {
        return render_one(request, max_threads);
    } catch (const std::bad_alloc&) {
        RenderResult r;
        r.status = PictureStatus::TooLarge;
        return r;
    }
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
    return render_safely(request, detail::hardware_threads());
}

std::vector<QFuture<RenderResult>> start_rendering(std::vector<RenderRequest> requests)
{
    std::vector<QFuture<RenderResult>> running;
    if (requests.empty())
        return running;
    // The pictures already run side by side; each drawing gets a share of
    // the machine only when there are fewer pictures than threads.
    const int share = std::max(1, detail::hardware_threads() / int(requests.size()));
    running.reserve(requests.size());
    for (RenderRequest& request : requests) {
        running.push_back(QtConcurrent::run(&batch_pool(), [request = std::move(request), share] {
            return render_safely(request, share);
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
