// Rendering from a source straight to a target (one, or a page in parallel)
// and the zoom window's redrawable picture.

#include "handmade_pictures.h"
#include "platform/picture/render.h"
#include "platform/picture/zoom_picture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

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
    QImage img(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1600; ++x)
            img.setPixel(x, y, qRgb(x * 255 / 1599, y * 255 / 1199, 100));
    const QByteArray jpg = handmade::encode(img, "jpg");
    const RenderResult thumb = render_picture(request(PictureSource::bytes(jpg), QSize(160, 120), 6));
    ASSERT_TRUE(thumb.ok());
    const QImage reference = draw_picture(img, QSize(160, 120), k_quality_hq_bilinear);
    EXPECT_LT(mean_difference(thumb.image, reference), 3.0);
}

TEST(RenderPicture, TargetFromTheNaturalSize)
{
    const QByteArray png = testsupport::make_picture_bytes(640, 480, "png");
    RenderRequest r;
    r.source = PictureSource::bytes(png);
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
    for (int i = 0; i < 7; ++i) {
        if (i == 3) {
            EXPECT_EQ(results[3].status, PictureStatus::NotFound);
            continue;
        }
        if (i == 5) {
            EXPECT_EQ(results[5].status, PictureStatus::Undecodable);
            continue;
        }
        ASSERT_TRUE(results[size_t(i)].ok()) << i;
        EXPECT_EQ(results[size_t(i)].image.size(), QSize(60 + i, 40)) << i;
        const QColor got = QColor(results[size_t(i)].image.pixel(3, 3));
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

TEST(ZoomPicture, RedrawsAtAnySizeWithEveryCode)
{
    TempDir dir;
    const QString path = dir.file("zoom.png");
    ASSERT_TRUE(testsupport::write_picture(path, 900, 600, "png", Qt::red));
    ZoomPicture zoom{PictureSource::file(path)};
    ASSERT_TRUE(zoom.ok());
    EXPECT_EQ(zoom.natural_size(), QSize(900, 600));
    EXPECT_EQ(zoom.format(), PictureFormat::Png);
    zoom.set_largest_target(QSize(300, 200));
    for (const QSize t : {QSize(300, 200), QSize(90, 60), QSize(31, 20), QSize(1800, 1200), QSize(300, 200)}) {
        for (int code = 0; code <= 7; ++code) {
            const QImage out = zoom.draw(t, code);
            ASSERT_EQ(out.size(), t) << code;
            EXPECT_TRUE(reddish(out.pixel(1, 1))) << code;
        }
    }
    EXPECT_TRUE(zoom.draw(QSize(0, 5), 5).isNull());
}

TEST(ZoomPicture, ReducedCopiesLookLikeDrawingFromTheFullPicture)
{
    QImage img(2400, 1600, QImage::Format_RGB32);
    for (int y = 0; y < 1600; ++y)
        for (int x = 0; x < 2400; ++x)
            img.setPixel(x, y, qRgb(x * 255 / 2399, y * 255 / 1599, ((x / 40 + y / 40) % 2) * 255));
    ZoomPicture zoom(img);
    zoom.set_largest_target(QSize(600, 400));
    for (const QSize t : {QSize(600, 400), QSize(450, 300), QSize(150, 100), QSize(37, 25)}) {
        for (const int code : {4, 5, 6}) {
            const QImage direct = draw_picture(img, t, code);
            EXPECT_LT(mean_difference(zoom.draw(t, code), direct), 4.0) << t.width() << " code " << code;
        }
    }
    // Codes without prefiltering draw from the full picture: identical.
    for (const int code : {1, 2, 3})
        EXPECT_EQ(zoom.draw(QSize(150, 100), code), draw_picture(img, QSize(150, 100), code)) << code;
}

TEST(ZoomPicture, FailuresDrawNothing)
{
    TempDir dir;
    ZoomPicture missing{PictureSource::file(dir.file("none.jpg"))};
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status(), PictureStatus::NotFound);
    EXPECT_TRUE(missing.natural_size().isEmpty());
    EXPECT_TRUE(missing.draw(QSize(100, 100), 5).isNull());

    ZoomPicture nothing{QImage()};
    EXPECT_FALSE(nothing.ok());
    EXPECT_TRUE(nothing.draw(QSize(10, 10), 1).isNull());

    ZoomPicture unset;
    EXPECT_FALSE(unset.ok());
}

} // namespace
