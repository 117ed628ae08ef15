// The draw-quality codes: exact target sizes and the pixels each filter
// should give.

#include "handmade_pictures.h"
#include "platform/picture/draw.h"

#include <gtest/gtest.h>

#include <QThreadPool>

#include <algorithm>
#include <latch>
#include <set>
#include <vector>

using namespace mosswick::picture;

namespace {

using handmade::painted;

// One-pixel black and white checkerboard.
QImage checker(int w, int h)
{
    return painted(QSize(w, h), [](int x, int y) { return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); });
}

std::set<int> greens(const QImage& img)
{
    std::set<int> values;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            values.insert(qGreen(img.pixel(x, y)));
    return values;
}

const int k_all_codes[] = {1, 2, 3, 4, 5, 6, 0, 7, -1};

TEST(DrawQuality, EveryCodeGivesExactlyTheTargetSize)
{
    const QImage src = checker(200, 100);
    const QSize targets[] = {{37, 19}, {200, 100}, {417, 231}, {1, 1}, {3, 200}};
    for (const int code : k_all_codes) {
        for (const QSize& t : targets)
            EXPECT_EQ(draw_picture(src, t, code).size(), t) << "code " << code;
    }
}

TEST(DrawQuality, NothingToDrawGivesNullImages)
{
    EXPECT_TRUE(draw_picture(QImage(), QSize(10, 10), 5).isNull());
    EXPECT_TRUE(draw_picture(checker(4, 4), QSize(0, 10), 5).isNull());
    EXPECT_TRUE(draw_picture(checker(4, 4), QSize(10, -1), 1).isNull());
    // Above the allocation limit: refused, not attempted.
    EXPECT_TRUE(draw_picture(checker(4, 4), QSize(40000, 40000), 2).isNull());
}

TEST(DrawQuality, UnknownCodesDrawAsBilinear)
{
    for (const int unknown : {0, 7, -3})
        EXPECT_EQ(effective_quality(unknown), k_quality_bilinear) << unknown;
    for (int q = 1; q <= 6; ++q)
        EXPECT_EQ(effective_quality(q), q);
    const QImage src = checker(9, 7);
    EXPECT_EQ(draw_picture(src, QSize(20, 13), 99), draw_picture(src, QSize(20, 13), 2));
}

TEST(DrawQuality, UniformColourStaysExactlyThatColour)
{
    const QColor colour(37, 140, 213);
    const QImage src = handmade::filled(QSize(123, 77), colour);
    for (const int code : k_all_codes) {
        for (const QSize t : {QSize(17, 9), QSize(300, 211)}) {
            const QImage out = draw_picture(src, t, code);
            ASSERT_EQ(out.size(), t);
            EXPECT_EQ(greens(out), std::set<int>{140}) << "code " << code;
            EXPECT_EQ(out.pixel(0, 0), colour.rgb()) << "code " << code;
            EXPECT_EQ(out.pixel(t.width() - 1, t.height() - 1), colour.rgb()) << "code " << code;
        }
    }
}

TEST(DrawQuality, TransparencyIsKept)
{
    const QImage src = handmade::filled(QSize(50, 40), QColor(255, 0, 0, 128), QImage::Format_ARGB32);
    for (const int code : {1, 2, 3, 4, 5, 6}) {
        const QImage out = draw_picture(src, QSize(13, 29), code);
        EXPECT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
        const QRgb p = qUnpremultiply(out.pixel(6, 14));  // the raw pixel is premultiplied
        EXPECT_NEAR(qAlpha(p), 128, 1) << code;
        EXPECT_NEAR(qRed(p), 255, 2) << code;
        EXPECT_EQ(qGreen(p), 0) << code;
    }
}

TEST(DrawQuality, NearestUpscaleStaysCrisp)
{
    const QImage src = checker(2, 2);
    const QImage out = draw_picture(src, QSize(4, 4), k_quality_nearest);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out.pixel(x, y), src.pixel(x / 2, y / 2)) << x << "," << y;
    // At an uneven ratio there are still only the two colours.
    EXPECT_EQ(greens(draw_picture(src, QSize(7, 5), k_quality_nearest)), (std::set<int>{0, 255}));
}

TEST(DrawQuality, BilinearBlendsWhereNearestDoesNot)
{
    const QImage src = painted(QSize(2, 1), [](int x, int) { return x ? qRgb(200, 200, 200) : qRgb(0, 0, 0); });
    const QImage out = draw_picture(src, QSize(8, 1), k_quality_bilinear);
    for (int x = 1; x < 8; ++x)
        EXPECT_GE(qGreen(out.pixel(x, 0)), qGreen(out.pixel(x - 1, 0)));
    EXPECT_EQ(qGreen(out.pixel(0, 0)), 0);    // edges hold their own colour
    EXPECT_EQ(qGreen(out.pixel(7, 0)), 200);
    EXPECT_GT(greens(out).size(), 4u);       // a ramp, not two blocks
}

TEST(DrawQuality, BicubicOvershootsAStepWhereBilinearCannot)
{
    // A step from 50 to 200: a cubic kernel with negative lobes undershoots
    // before it and overshoots after it; the triangle kernel stays within.
    const QImage src = painted(QSize(6, 1), [](int x, int) { return x < 3 ? qRgb(50, 50, 50) : qRgb(200, 200, 200); });
    for (const int code : {k_quality_bicubic, k_quality_hq_bicubic}) {
        const std::set<int> cubic = greens(draw_picture(src, QSize(24, 1), code));
        EXPECT_LT(*cubic.begin(), 50) << code;
        EXPECT_GT(*cubic.rbegin(), 200) << code;
    }
    for (const int code : {k_quality_bilinear, k_quality_hq_bilinear}) {
        const std::set<int> linear = greens(draw_picture(src, QSize(24, 1), code));
        EXPECT_EQ(*linear.begin(), 50) << code;
        EXPECT_EQ(*linear.rbegin(), 200) << code;
    }
}

TEST(DrawQuality, PrefilteredCodesAverageFineDetailAway)
{
    // Shrinking a one-pixel checkerboard by 8: the prefiltered codes see the
    // average grey, nearest neighbour sees only black or white.
    const QImage src = checker(64, 64);
    for (const int code : {k_quality_hq_bilinear, k_quality_hq_bicubic, k_quality_thumbnail}) {
        const std::set<int> g = greens(draw_picture(src, QSize(8, 8), code));
        EXPECT_GE(*g.begin(), 120) << code;
        EXPECT_LE(*g.rbegin(), 135) << code;
    }
    const std::set<int> nearest = greens(draw_picture(src, QSize(8, 8), k_quality_nearest));
    EXPECT_TRUE(nearest.size() <= 2 && (nearest.count(0) || nearest.count(255)));
    for (const int v : nearest)
        EXPECT_TRUE(v == 0 || v == 255);
}

TEST(DrawQuality, SameSizeIsTheIdentity)
{
    const QImage src = painted(QSize(31, 17), [](int x, int y) { return qRgb(x * 8, y * 15, (x * y) % 256); });
    for (const int code : {1, 2, 3, 4, 5, 6})
        EXPECT_EQ(draw_picture(src, src.size(), code), src) << code;
}

TEST(DrawQuality, LargePicturesDrawTheSameOnManyThreads)
{
    // Large enough to be split into bands: the result must not depend on it,
    // so compare a band-split shrink with shrinking one strip at a time.
    const QImage src =
        painted(QSize(1600, 1200), [](int x, int y) { return qRgb((x * 7) % 256, (y * 3) % 256, (x ^ y) % 256); });
    const QImage whole = draw_picture(src, QSize(400, 300), k_quality_hq_bicubic);
    // Rows of the result depend only on rows of the source near them: a strip
    // of the source's middle, drawn to the matching strip, must agree away
    // from the strip's edges.
    const QImage strip = draw_picture(src.copy(0, 400, 1600, 400), QSize(400, 100), k_quality_hq_bicubic);
    for (int y = 10; y < 90; ++y)
        for (int x = 0; x < 400; x += 7)
            EXPECT_EQ(whole.pixel(x, 100 + y), strip.pixel(x, y)) << x << "," << y;
}

TEST(DrawQuality, DrawingFromEveryThreadOfABusyPoolFinishesWithTheSamePixels)
{
    // Each of the global pool's threads draws at once (as a page's decodes
    // do), so no thread is free to help: each must finish alone, with the
    // pixels of a drawing that had the pool to itself.
    const QImage src =
        painted(QSize(1600, 1200), [](int x, int y) { return qRgb((x * 5) % 256, (y * 11) % 256, (x + y) % 256); });
    struct Job {
        QSize target;
        int code;
    };
    // Each large enough to be split into bands.
    const Job jobs[] = {{{2400, 1800}, k_quality_nearest}, {{800, 600}, k_quality_bicubic},
                        {{400, 300}, k_quality_hq_bicubic}};
    std::vector<QImage> alone;
    for (const Job& j : jobs)
        alone.push_back(draw_picture(src, j.target, j.code));

    QThreadPool* pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    std::latch all_busy(threads);
    std::vector<QImage> drawn(static_cast<size_t>(threads));
    for (int i = 0; i < threads; ++i) {
        pool->start([&, i] {
            all_busy.arrive_and_wait();
            const Job& j = jobs[i % 3];
            drawn[size_t(i)] = draw_picture(src, j.target, j.code);
        });
    }
    ASSERT_TRUE(pool->waitForDone(120'000)) << "drawings on a busy pool never finished";
    for (int i = 0; i < threads; ++i)
        EXPECT_EQ(drawn[size_t(i)], alone[size_t(i % 3)]) << "thread " << i;
}

} // namespace
