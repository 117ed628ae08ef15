// Rendering from a source straight to a target (one, or a page in parallel)
// and the zoom window's redrawable picture.

#include "handmade_pictures.h"
#include "platform/picture/decode_plan.h"
#include "platform/picture/picture_io.h"
#include "platform/picture/render.h"
#include "platform/picture/zoom_picture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>

using namespace mosswick::picture;
using testsupport::TempDir;

namespace {

bool reddish(QRgb c)
{
    return qRed(c) > 180 && qGreen(c) < 90;
}

// Mean absolute difference per channel of two images of the same size.
double mean_difference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                   + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

RenderRequest request(const PictureSource& source, QSize target, int quality)
{
    RenderRequest r;
    r.source = source;
    r.target = target;
    r.quality = quality;
    return r;
}

TEST(RenderPicture, EveryCodeGivesTheTargetSizeFromFilesAndBytes)
{
    TempDir dir;
    // Sizes that are not multiples of 8, so the jpg decoder's own reduction
    // does not land on the target by itself.
    const QString jpg = dir.file("odd.jpg");
    ASSERT_TRUE(testsupport::write_picture(jpg, 1001, 777, "jpg", Qt::red));
    const QByteArray png = testsupport::make_picture_bytes(500, 300, "png", Qt::red);
    for (int code = 0; code <= 7; ++code) {
        for (const PictureSource& s : {PictureSource::file(jpg), PictureSource::bytes(png)}) {
            for (const QSize t : {QSize(100, 77), QSize(271, 180), QSize(1200, 900)}) {
                const RenderResult r = render_picture(request(s, t, code));
                ASSERT_EQ(r.status, PictureStatus::Ok) << code;
                EXPECT_EQ(r.image.size(), t) << "code " << code;
                EXPECT_TRUE(reddish(r.image.pixel(2, 2))) << "code " << code;
            }
        }
    }
}

TEST(RenderPicture, ThumbnailAgreesWithAFullDecodeAndScale)
{
    // The scaled decode of code 6 must look like shrinking the full picture.
    const QImage img =
        handmade::painted(QSize(1600, 1200), [](int x, int y) { return qRgb(x * 255 / 1599, y * 255 / 1199, 100); });
    const QByteArray jpg = handmade::encode(img, "jpg");
    const RenderResult thumb = render_picture(request(PictureSource::bytes(jpg), QSize(160, 120), 6));
    ASSERT_TRUE(thumb.ok());
    const QImage reference = draw_picture(img, QSize(160, 120), k_quality_hq_bilinear);
    EXPECT_LT(mean_difference(thumb.image, reference), 3.0);
}

// Something like a photograph: smooth light, shapes with hard edges and a
// little grain.
QImage photo_like(int w, int h)
{
    quint32 state = 12345;
    return handmade::painted(QSize(w, h), [&](int x, int y) {
        state = state * 1664525u + 1013904223u;
        const int grain = int(state >> 28) - 8;
        const int dx = x - w / 3;
        const int dy = y - h / 2;
        const bool disc = dx * dx + dy * dy < (h / 4) * (h / 4);
        const bool stripe = (x / (w / 24)) % 2 == 0 && y > h * 2 / 3;
        const int r = std::clamp((disc ? 220 : x * 200 / w) + grain, 0, 255);
        const int g = std::clamp((stripe ? 40 : y * 180 / h) + grain, 0, 255);
        const int b = std::clamp(((disc || stripe) ? 60 : 150) + grain, 0, 255);
        return qRgb(r, g, b);
    });
}

TEST(RenderPicture, ReducedDecodesLookLikeTheFullSizePathAtEveryCode)
{
    // A big jpg is decoded at a reduced scale for a small target; each code's
    // own kernel then still reads at least two pixels per target pixel, so
    // the page looks as if drawn from the full picture.
    const QByteArray jpg = handmade::encode(photo_like(2400, 1600), "jpg");
    const Picture full = load_picture(PictureSource::bytes(jpg));
    ASSERT_TRUE(full.ok());
    for (const QSize t : {QSize(271, 181), QSize(150, 100)}) {
        for (int code = 1; code <= 6; ++code) {
            const RenderResult reduced = render_picture(request(PictureSource::bytes(jpg), t, code));
            ASSERT_TRUE(reduced.ok());
            const QImage reference = draw_picture(full.image, t, code);
            // The prefiltered codes agree to a fraction of a level. The
            // others sample single pixels, so the grain they pick differs,
            // by less than the grain itself (8 levels either way).
            const double tolerance = code >= k_quality_hq_bilinear ? 1.0 : 5.0;
            EXPECT_LT(mean_difference(reduced.image, reference), tolerance) << "code " << code << " at " << t.width();
        }
    }
}

TEST(RenderPicture, DrawsInDevicePixels)
{
    const QByteArray png = testsupport::make_picture_bytes(640, 480, "png", Qt::red);
    RenderRequest r = request(PictureSource::bytes(png), QSize(160, 120), 1);
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        r.device_pixel_ratio = ratio;
        const RenderResult result = render_picture(r);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.logical_size, QSize(160, 120));
        EXPECT_EQ(result.image.size(), QSize(qRound(160 * ratio), qRound(120 * ratio)));
        EXPECT_EQ(result.image.devicePixelRatio(), ratio);
        EXPECT_EQ(result.image.deviceIndependentSize(), QSizeF(160, 120));
    }
}

TEST(DevicePixels, RoundsEachSideAndKeepsAPixel)
{
    EXPECT_EQ(device_pixels(QSize(271, 181), 1.0), QSize(271, 181));
    EXPECT_EQ(device_pixels(QSize(271, 181), 2.0), QSize(542, 362));
    EXPECT_EQ(device_pixels(QSize(271, 181), 1.25), QSize(339, 226));
    EXPECT_EQ(device_pixels(QSize(1, 1), 0.5), QSize(1, 1));
    EXPECT_EQ(device_pixels(QSize(100, 50), 0.0), QSize(100, 50));
    EXPECT_EQ(device_pixels(QSize(100, 50), -2.0), QSize(100, 50));
    EXPECT_TRUE(device_pixels(QSize(0, 50), 2.0).isEmpty());
    EXPECT_TRUE(exceeds_allocation_limit(device_pixels(QSize(20000, 20000), 1e12)));
}

TEST(DecodePlan, AJpgIsReducedByItsDecoderAsFarAsEachCodeAllows)
{
    using mosswick::picture::detail::plan_decode;
    using mosswick::picture::detail::Probe;
    Probe jpg;
    jpg.status = PictureStatus::Ok;
    jpg.format = PictureFormat::Jpeg;
    jpg.size = QSize(6000, 4000);
    struct Case {
        QSize target;
        int quality;
        QSize scaled;  // invalid: full size
    };
    const Case cases[] = {
        {{271, 181}, 6, {750, 500}},     // code 6: the smallest eighth at or above the target
        {{271, 181}, 1, {750, 500}},     // 2x target still fits in 1/8
        {{542, 362}, 5, {1500, 1000}},   // a page at 2 device pixels per pixel
        {{542, 362}, 6, {750, 500}},
        {{1560, 1040}, 3, {3750, 2500}},
        {{1560, 1040}, 6, {2250, 1500}},
        {{3200, 2000}, 2, {}},           // twice the target exceeds 7/8: full size
        {{7000, 5000}, 6, {}},           // an enlargement
    };
    for (const Case& c : cases)
        EXPECT_EQ(plan_decode(jpg, c.target, c.quality).scaled, c.scaled)
            << c.target.width() << " code " << c.quality;

    // Other formats decode whole; the budget counts what the decode holds.
    Probe png = jpg;
    png.format = PictureFormat::Png;
    EXPECT_FALSE(plan_decode(png, QSize(271, 181), 1).scaled.isValid());
    EXPECT_GE(plan_decode(png, QSize(271, 181), 1).bytes, qint64(6000) * 4000 * 4);
    EXPECT_LT(plan_decode(jpg, QSize(271, 181), 1).bytes, qint64(4) << 20);
    // A progressive jpg holds its coefficients at full size, however small it is drawn.
    Probe progressive = jpg;
    progressive.progressive = true;
    EXPECT_GE(plan_decode(progressive, QSize(271, 181), 1).bytes, qint64(6000) * 4000 * 3);

    // The header tells the two kinds apart.
    const QImage img = photo_like(64, 48);
    for (const bool kind : {false, true}) {
        const mosswick::picture::detail::OpenedSource src(PictureSource::bytes(handmade::encode(img, "jpg", kind)));
        const Probe p = mosswick::picture::detail::probe(src);
        EXPECT_EQ(p.status, PictureStatus::Ok);
        EXPECT_EQ(p.progressive, kind);
    }
}

TEST(RenderPicture, TargetFromTheNaturalSize)
{
    RenderRequest r;
    r.source = PictureSource::bytes(testsupport::make_picture_bytes(640, 480, "png"));
    r.target_for = [](QSize natural) { return natural / 4; };
    const RenderResult result = render_picture(r);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.natural_size, QSize(640, 480));
    EXPECT_EQ(result.image.size(), QSize(160, 120));
    EXPECT_EQ(result.format, PictureFormat::Png);
}

TEST(RenderPicture, EmptyTargetsAndFailures)
{
    const QByteArray png = testsupport::make_picture_bytes(64, 48, "png");
    const RenderResult empty = render_picture(request(PictureSource::bytes(png), QSize(0, 10), 5));
    EXPECT_EQ(empty.status, PictureStatus::Ok);
    EXPECT_TRUE(empty.image.isNull());
    EXPECT_EQ(empty.natural_size, QSize(64, 48));

    const RenderResult huge = render_picture(request(PictureSource::bytes(png), QSize(40000, 40000), 2));
    EXPECT_EQ(huge.status, PictureStatus::TooLarge);
    EXPECT_TRUE(huge.image.isNull());

    TempDir dir;
    EXPECT_EQ(render_picture(request(PictureSource::file(dir.file("gone.png")), QSize(10, 10), 6)).status,
              PictureStatus::NotFound);
    const QByteArray jpg = testsupport::make_picture_bytes(300, 200, "jpg");
    const RenderResult cut = render_picture(request(PictureSource::bytes(jpg.left(jpg.size() / 2)),
                                                    QSize(30, 20), 6));
    EXPECT_EQ(cut.status, PictureStatus::Truncated);
    EXPECT_EQ(cut.natural_size, QSize(300, 200));
    EXPECT_EQ(render_picture(request(PictureSource::bytes(handmade::emf_header()), QSize(10, 10), 6)).status,
              PictureStatus::Undecodable);
}

TEST(RenderPictures, APageComesBackInRequestOrder)
{
    TempDir dir;
    const QColor markers[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta, Qt::white};
    std::vector<RenderRequest> page;
    for (int i = 0; i < 7; ++i) {
        // Pictures of decreasing size, so the big first ones finish last.
        const int w = 1400 - i * 180;
        const QString path = dir.file(QStringLiteral("p%1.jpg").arg(i));
        ASSERT_TRUE(testsupport::write_picture(path, w, w * 2 / 3, i % 2 ? "jpg" : "png", markers[i]));
        page.push_back(request(PictureSource::file(path), QSize(60 + i, 40), i % 2 ? 6 : 5));
    }
    page[3].source = PictureSource::file(dir.file("missing.jpg"));
    page[5].source = PictureSource::bytes(QByteArray("not a picture at all, just words"));

    const std::vector<RenderResult> results = render_pictures(page);
    ASSERT_EQ(results.size(), page.size());
    EXPECT_EQ(results[3].status, PictureStatus::NotFound);
    EXPECT_EQ(results[5].status, PictureStatus::Undecodable);
    for (const int i : {0, 1, 2, 4, 6}) {
        const RenderResult& r = results[size_t(i)];
        ASSERT_TRUE(r.ok()) << i;
        EXPECT_EQ(r.image.size(), QSize(60 + i, 40)) << i;
        const QColor got = QColor(r.image.pixel(3, 3));
        EXPECT_NEAR(got.red(), markers[i].red(), 40) << i;
        EXPECT_NEAR(got.green(), markers[i].green(), 40) << i;
        EXPECT_NEAR(got.blue(), markers[i].blue(), 40) << i;
    }
    EXPECT_TRUE(render_pictures({}).empty());
}

TEST(RenderPictures, TargetCallbacksRunForEachPicture)
{
    std::atomic<int> calls{0};
    std::vector<RenderRequest> page;
    for (int i = 0; i < 6; ++i) {
        RenderRequest r;
        r.source = PictureSource::bytes(testsupport::make_picture_bytes(100 + i, 50, "bmp"));
        r.target_for = [&calls](QSize natural) {
            ++calls;
            return QSize(natural.width() / 2, natural.height() / 2);
        };
        page.push_back(r);
    }
    const auto results = render_pictures(page);
    EXPECT_EQ(calls.load(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(results[size_t(i)].image.size(), QSize((100 + i) / 2, 25));
}

TEST(RenderPictures, StartedDecodesOwnTheirRequests)
{
    std::vector<QFuture<RenderResult>> running;
    {
        // The requests and the bytes they were made from are gone before
        // any decode is asked for its result.
        std::vector<RenderRequest> page;
        for (int i = 0; i < 6; ++i)
            page.push_back(request(PictureSource::bytes(testsupport::make_picture_bytes(300 + i, 200, "png")),
                                   QSize(30 + i, 20), 6));
        running = start_rendering(std::move(page));
    }
    ASSERT_EQ(running.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const RenderResult r = running[size_t(i)].result();
        ASSERT_TRUE(r.ok()) << i;
        EXPECT_EQ(r.image.size(), QSize(30 + i, 20)) << i;
        EXPECT_EQ(r.natural_size, QSize(300 + i, 200)) << i;
    }
}

TEST(ZoomPicture, RedrawsAtAnySizeWithEveryCode)
{
    TempDir dir;
    const QString path = dir.file("zoom.png");
    ASSERT_TRUE(testsupport::write_picture(path, 900, 600, "png", Qt::red));
    for (int code = 0; code <= 7; ++code) {
        const ZoomPicture zoom{PictureSource::file(path), QSize(300, 200), code};
        ASSERT_TRUE(zoom.ok());
        EXPECT_EQ(zoom.natural_size(), QSize(900, 600));
        EXPECT_EQ(zoom.format(), PictureFormat::Png);
        for (const QSize t : {QSize(300, 200), QSize(90, 60), QSize(31, 20), QSize(1800, 1200), QSize(300, 200)}) {
            const QImage out = zoom.draw(t, code);
            ASSERT_EQ(out.size(), t) << code;
            EXPECT_TRUE(reddish(out.pixel(1, 1))) << code;
        }
        EXPECT_TRUE(zoom.draw(QSize(0, 5), code).isNull());
    }
}

TEST(ZoomPicture, KeepsNoMoreThanTheBoundAndTheNaturalSize)
{
    TempDir dir;
    const QString path = dir.file("big.jpg");
    ASSERT_TRUE(testsupport::write_picture(path, 3000, 2000, "jpg", Qt::red));
    for (const int code : {1, 3, 5, 6}) {
        const ZoomPicture zoom{PictureSource::file(path), QSize(640, 480), code};
        ASSERT_TRUE(zoom.ok()) << code;
        EXPECT_EQ(zoom.natural_size(), QSize(3000, 2000));
        EXPECT_EQ(zoom.kept().size(), QSize(640, 427)) << code;
    }
    // A picture that fits is kept as it is; no bound keeps it whole.
    EXPECT_EQ(ZoomPicture(PictureSource::file(path), QSize(4000, 4000), 5).kept().size(), QSize(3000, 2000));
    EXPECT_EQ(ZoomPicture(PictureSource::file(path), QSize(), 5).kept().size(), QSize(3000, 2000));

    const ZoomPicture handed(handmade::filled(QSize(1000, 100), Qt::red), QSize(500, 500), 5);
    EXPECT_EQ(handed.natural_size(), QSize(1000, 100));
    EXPECT_EQ(handed.kept().size(), QSize(500, 50));
}

TEST(ZoomPicture, KeptSizeFitsTheBoundWithTheAspectKept)
{
    struct Case {
        QSize natural, bound, kept;
    };
    const Case cases[] = {
        {{6000, 4000}, {1920, 1040}, {1560, 1040}},
        {{4000, 6000}, {1920, 1040}, {694, 1040}},
        {{1000, 1000}, {300, 200}, {200, 200}},
        {{100, 50}, {300, 200}, {100, 50}},
        {{300, 200}, {300, 200}, {300, 200}},
        {{100000, 1}, {500, 500}, {500, 1}},
        {{640, 480}, {}, {640, 480}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kept_size(c.natural, c.bound), c.kept) << c.natural.width() << "x" << c.natural.height();
}

TEST(ZoomPicture, DrawingFromTheKeptCopyLooksLikeDrawingFromTheFullPicture)
{
    const QImage img = handmade::painted(QSize(2400, 1600), [](int x, int y) {
        return qRgb(x * 255 / 2399, y * 255 / 1599, ((x / 40 + y / 40) % 2) * 255);
    });
    for (const int code : {1, 2, 3, 4, 5, 6}) {
        const ZoomPicture zoom(img, QSize(600, 400), code);
        ASSERT_EQ(zoom.kept().size(), QSize(600, 400));
        for (const QSize t : {QSize(600, 400), QSize(450, 300), QSize(150, 100), QSize(37, 25)}) {
            const QImage direct = draw_picture(img, t, code);
            EXPECT_LT(mean_difference(zoom.draw(t, code), direct), 6.0) << t.width() << " code " << code;
        }
    }
}

TEST(ZoomPicture, FailuresDrawNothing)
{
    TempDir dir;
    const ZoomPicture missing{PictureSource::file(dir.file("none.jpg")), QSize(100, 100), 5};
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status(), PictureStatus::NotFound);
    EXPECT_TRUE(missing.natural_size().isEmpty());
    EXPECT_TRUE(missing.draw(QSize(100, 100), 5).isNull());

    const ZoomPicture nothing{QImage(), QSize(100, 100), 1};
    EXPECT_FALSE(nothing.ok());
    EXPECT_TRUE(nothing.draw(QSize(10, 10), 1).isNull());

    EXPECT_FALSE(ZoomPicture().ok());

    // Loaded on the zoom thread, the same failures come back.
    EXPECT_EQ(ZoomPicture::load_later(PictureSource::file(dir.file("none.jpg")), QSize(10, 10), 5).result().status(),
              PictureStatus::NotFound);
    EXPECT_EQ(ZoomPicture::load_later(PictureSource::bytes("not a picture"), QSize(10, 10), 5).result().status(),
              PictureStatus::Undecodable);
}

} // namespace
