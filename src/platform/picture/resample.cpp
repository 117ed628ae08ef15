#include "platform/picture/resample.h"

#include "platform/picture/draw.h"
#include "platform/picture/picture.h"
#include "platform/picture/picture_io.h"

#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace mosswick::picture {

namespace detail {

namespace {

double triangle(double x)
{
    x = std::abs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

// Keys' cubic with a = -0.5 (Catmull-Rom): interpolating, sharp, no ringing
// worth the name.
double catmull_rom(double x)
{
    constexpr double a = -0.5;
    x = std::abs(x);
    if (x < 1.0)
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    if (x < 2.0)
        return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
    return 0.0;
}

// Per output sample: the first source index, how many follow and their
// normalised weights (taps floats per sample).
struct Contributions {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights;
    int taps = 0;
};

Contributions make_contributions(int in_len, int out_len, Filter filter)
{
    const bool cubic = filter == Filter::Bicubic || filter == Filter::AreaBicubic;
    const bool widen = filter == Filter::AreaBilinear || filter == Filter::AreaBicubic;
    const double support = cubic ? 2.0 : 1.0;
    const double scale = double(in_len) / double(out_len);
    const double fs = widen ? std::max(scale, 1.0) : 1.0;
    const double reach = support * fs;

    Contributions c;
    c.taps = int(std::ceil(reach)) * 2 + 1;
    c.first.resize(size_t(out_len));
    c.count.resize(size_t(out_len));
    c.weights.assign(size_t(out_len) * size_t(c.taps), 0.0f);
    std::vector<double> w(size_t(c.taps));

    for (int i = 0; i < out_len; ++i) {
        const double centre = (i + 0.5) * scale;
        int lo = std::max(0, int(std::floor(centre - reach + 0.5)));
        int hi = std::min(in_len, int(std::floor(centre + reach + 0.5)));
        hi = std::min(hi, lo + c.taps);
        double total = 0;
        for (int j = lo; j < hi; ++j) {
            const double x = (j + 0.5 - centre) / fs;
            const double v = cubic ? catmull_rom(x) : triangle(x);
            w[size_t(j - lo)] = v;
            total += v;
        }
        // Drop zero weights at both ends: an aligned sample then reads one
        // pixel instead of three.
        while (lo < hi && w[0] == 0.0) {
            std::rotate(w.begin(), w.begin() + 1, w.begin() + (hi - lo));
            ++lo;
        }
        while (hi > lo && w[size_t(hi - lo - 1)] == 0.0)
            --hi;
        if (hi <= lo || total == 0.0) {
            // Cannot happen with these kernels, but never divide by zero.
            lo = std::clamp(int(centre), 0, in_len - 1);
            hi = lo + 1;
            w[0] = 1.0;
            total = 1.0;
        }
        c.first[size_t(i)] = lo;
        c.count[size_t(i)] = hi - lo;
        float* dst = &c.weights[size_t(i) * size_t(c.taps)];
        for (int j = 0; j < hi - lo; ++j)
            dst[j] = float(w[size_t(j)] / total);
    }
    return c;
}

// Four channels as one vector (GCC and Clang vector extension): one SSE
// multiply-add per tap instead of four scalar ones.
typedef float Pixel4 __attribute__((vector_size(16)));

inline uchar to_byte(float v)
{
    if (v <= 0.0f)
        return 0;
    if (v >= 255.0f)
        return 255;
    return uchar(int(v + 0.5f));
}

// How many bands [0, n) is cut into for a job of `work` multiply-adds: about
// two million per thread make a thread worth starting.
int bands_for(int n, double work, int max_threads)
{
    const int want = 1 + int(work / 2.0e6);
    return std::clamp(std::min(want, max_threads), 1, std::max(1, n));
}

// Runs f(band, begin, end) for `bands` bands of [0, n). The calling thread
// works through the bands itself; idle threads of Qt's global pool join in
// only through tryStart, which never queues. The caller waits only for bands
// a helper has already taken, so a caller that is itself a pool thread (one
// of a page's decodes) cannot starve the pool: with no thread free it simply
// does every band alone. Everything f needs is allocated before, so no band
// can fail on memory.
template <class F>
void in_bands(int n, int bands, const F& f)
{
    const auto edge = [&](int t) { return int(qint64(n) * t / bands); };
    const auto run_band = [&](int t) { f(t, edge(t), edge(t + 1)); };
    // Shared with the helpers, which may start after the caller has
    // finished every band: they then take none and never touch run_band.
    struct Bands {
        const decltype(run_band)* run;
        int count;
        std::atomic<int> next{0};
        std::mutex mutex;
        std::condition_variable all_done;
        int done = 0;

        Bands(const decltype(run_band)* r, int c) : run(r), count(c) {}
        void work()
        {
            for (int t; (t = next.fetch_add(1)) < count;) {
                (*run)(t);
                const std::lock_guard lock(mutex);
                if (++done == count)
                    all_done.notify_all();
            }
        }
    };
    std::shared_ptr<Bands> shared;
    if (QThreadPool* pool = bands > 1 ? QThreadPool::globalInstance() : nullptr) {
        try {
            shared = std::make_shared<Bands>(&run_band, bands);
            for (int helper = 1; helper < bands; ++helper) {
                if (!pool->tryStart([shared] { shared->work(); }))
                    break;  // no thread free: the caller does the rest
            }
        } catch (const std::bad_alloc&) {
            // Whatever helpers started share the bands with the caller.
        }
    }
    if (!shared) {
        for (int t = 0; t < bands; ++t)
            run_band(t);
        return;
    }
    shared->work();
    std::unique_lock lock(shared->mutex);
    shared->all_done.wait(lock, [&] { return shared->done == shared->count; });
}

QImage resample_nearest(const QImage& src, QSize target, int max_threads)
{
    QImage out(target, src.format());
    if (out.isNull())
        return out;
    const int sw = src.width();
    const int sh = src.height();
    const int tw = target.width();
    const int th = target.height();
    std::vector<int> xs(static_cast<size_t>(tw));
    for (int x = 0; x < tw; ++x)
        xs[size_t(x)] = std::min(sw - 1, int((x + 0.5) * sw / tw));
    in_bands(th, bands_for(th, double(tw) * th, max_threads), [&](int, int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int sy = std::min(sh - 1, int((y + 0.5) * sh / th));
            const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
            auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < tw; ++x)
                d[x] = s[xs[size_t(x)]];
        }
    });
    return out;
}

QImage resample_separable(const QImage& src, QSize target, Filter filter, int max_threads)
{
    const int sw = src.width();
    const int sh = src.height();
    const int tw = target.width();
    const int th = target.height();
    const bool premultiplied = src.format() == QImage::Format_ARGB32_Premultiplied;

    const Contributions vert = make_contributions(sh, th, filter);
    // Only the source rows some output row reads go through the first pass.
    const int row_lo = vert.first.front();
    int row_hi = 0;
    for (int y = 0; y < th; ++y)
        row_hi = std::max(row_hi, vert.first[size_t(y)] + vert.count[size_t(y)]);

    // First pass: horizontal, into 8-bit rows tw wide. Skipped when the
    // width does not change (the kernels are then the identity).
    std::vector<const uchar*> rows(size_t(row_hi - row_lo));
    // Left uninitialised: every byte is written by the band that owns its
    // row, so the pages are first touched in parallel.
    std::unique_ptr<uchar[]> middle;
    if (tw == sw) {
        for (int y = row_lo; y < row_hi; ++y)
            rows[size_t(y - row_lo)] = src.constScanLine(y);
    } else {
        const Contributions horz = make_contributions(sw, tw, filter);
        const size_t stride = size_t(tw) * 4;
        middle = std::make_unique_for_overwrite<uchar[]>(stride * size_t(row_hi - row_lo));
        for (int y = row_lo; y < row_hi; ++y)
            rows[size_t(y - row_lo)] = middle.get() + stride * size_t(y - row_lo);
        const int n_rows = row_hi - row_lo;
        const int bands = bands_for(n_rows, double(n_rows) * tw * horz.taps, max_threads);
        // Each band widens its source row to floats once, so the inner loop
        // is one four-lane multiply-add per tap.
        std::vector<std::vector<Pixel4>> wide(static_cast<size_t>(bands),
                                              std::vector<Pixel4>(static_cast<size_t>(sw)));
        in_bands(n_rows, bands, [&](int band, int b, int e) {
            Pixel4* line = wide[size_t(band)].data();
            for (int r = b; r < e; ++r) {
                const uchar* s = src.constScanLine(row_lo + r);
                for (int x = 0; x < sw; ++x, s += 4)
                    line[x] = Pixel4{float(s[0]), float(s[1]), float(s[2]), float(s[3])};
                uchar* d = middle.get() + stride * size_t(r);
                for (int x = 0; x < tw; ++x) {
                    const float* w = &horz.weights[size_t(x) * size_t(horz.taps)];
                    const Pixel4* p = line + horz.first[size_t(x)];
                    const int n = horz.count[size_t(x)];
                    Pixel4 acc = {0, 0, 0, 0};
                    for (int k = 0; k < n; ++k)
                        acc += w[k] * p[k];
                    d[4 * x + 0] = to_byte(acc[0]);
                    d[4 * x + 1] = to_byte(acc[1]);
                    d[4 * x + 2] = to_byte(acc[2]);
                    d[4 * x + 3] = to_byte(acc[3]);
                }
            }
        });
    }

    // Second pass: vertical, accumulating whole rows so the inner loop runs
    // over contiguous bytes.
    QImage out(target, src.format());
    if (out.isNull())
        return out;
    const int bands = bands_for(th, double(th) * tw * vert.taps, max_threads);
    const size_t n_values = size_t(tw) * 4;
    std::vector<std::vector<float>> accumulators(static_cast<size_t>(bands), std::vector<float>(n_values));
    in_bands(th, bands, [&](int band, int b, int e) {
        std::vector<float>& acc = accumulators[size_t(band)];
        for (int y = b; y < e; ++y) {
            std::fill(acc.begin(), acc.end(), 0.0f);
            const float* w = &vert.weights[size_t(y) * size_t(vert.taps)];
            const int first = vert.first[size_t(y)] - row_lo;
            const int n = vert.count[size_t(y)];
            for (int k = 0; k < n; ++k) {
                const uchar* s = rows[size_t(first + k)];
                const float wk = w[k];
                float* a = acc.data();
                for (size_t i = 0; i < n_values; ++i)
                    a[i] += wk * s[i];
            }
            uchar* d = out.scanLine(y);
            for (size_t i = 0; i < n_values; ++i)
                d[i] = to_byte(acc[i]);
            // Byte 3 of each pixel is alpha in memory (0xAARRGGBB little-endian).
            if (premultiplied) {
                for (size_t i = 0; i < n_values; i += 4) {
                    const uchar alpha = d[i + 3];
                    d[i] = std::min(d[i], alpha);
                    d[i + 1] = std::min(d[i + 1], alpha);
                    d[i + 2] = std::min(d[i + 2], alpha);
                }
            } else {
                for (size_t i = 3; i < n_values; i += 4)
                    d[i] = 255;
            }
        }
    });
    return out;
}

} // namespace

QImage halve(const QImage& image, int max_threads)
{
    if (image.isNull())
        return {};
    const QImage src = normalized(image);
    const int sw = src.width();
    const int sh = src.height();
    const QSize size((sw + 1) / 2, (sh + 1) / 2);
    QImage out(size, src.format());
    if (out.isNull())
        return out;
    const int tw = size.width();
    in_bands(size.height(), bands_for(size.height(), double(tw) * size.height() * 4, max_threads),
             [&](int, int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            // An odd last row or column averages with itself.
            const uchar* r0 = src.constScanLine(2 * y);
            const uchar* r1 = src.constScanLine(std::min(2 * y + 1, sh - 1));
            uchar* d = out.scanLine(y);
            for (int x = 0; x < tw; ++x) {
                const int a = 8 * x;
                const int b = std::min(2 * x + 1, sw - 1) * 4;
                for (int c = 0; c < 4; ++c)
                    d[4 * x + c] = uchar((r0[a + c] + r0[b + c] + r1[a + c] + r1[b + c] + 2) / 4);
            }
        }
    });
    return out;
}

bool is_smooth(Filter filter)
{
    return filter == Filter::AreaBilinear || filter == Filter::AreaBicubic;
}

QImage reduced_for(const QImage& image, QSize target, int max_threads)
{
    QImage level = image;
    for (;;) {
        const QSize half((level.width() + 1) / 2, (level.height() + 1) / 2);
        if (half.width() < 2 * target.width() || half.height() < 2 * target.height()
            || half == level.size())
            return level;
        QImage next = halve(level, max_threads);
        if (next.isNull())
            return level;
        level = std::move(next);
    }
}

Filter filter_for_quality(int quality)
{
    switch (quality) {
    case k_quality_nearest: return Filter::Nearest;
    case k_quality_bicubic: return Filter::Bicubic;
    case k_quality_hq_bilinear: return Filter::AreaBilinear;
    case k_quality_hq_bicubic: return Filter::AreaBicubic;
    case k_quality_thumbnail: return Filter::AreaBilinear;
    default: return Filter::Bilinear;
    }
}

int hardware_threads()
{
    const unsigned n = std::thread::hardware_concurrency();
    return std::clamp(int(n), 1, 8);
}

QImage resample(const QImage& image, QSize target, Filter filter, int max_threads)
{
    if (image.isNull() || target.isEmpty() || exceeds_allocation_limit(target))
        return {};
    const QImage src = normalized(image);
    try {
        if (filter == Filter::Nearest)
            return resample_nearest(src, target, max_threads);
        return resample_separable(src, target, filter, max_threads);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace detail

int effective_quality(int quality)
{
    return quality >= k_quality_nearest && quality <= k_quality_thumbnail ? quality
                                                                          : k_quality_bilinear;
}

QImage draw_picture(const QImage& image, QSize target, int quality)
{
    return detail::resample(image, target, detail::filter_for_quality(effective_quality(quality)),
                            detail::hardware_threads());
}

QSize device_pixels(QSize logical, qreal device_pixel_ratio)
{
    const qreal r = device_pixel_ratio > 0 ? device_pixel_ratio : 1.0;
    // Clamped so an absurd ratio cannot overflow; such a size is refused later.
    const auto side = [r](int v) { return v > 0 ? int(std::clamp(std::round(v * r), 1.0, double(1 << 30))) : v; };
    return QSize(side(logical.width()), side(logical.height()));
}

} // namespace mosswick::picture
