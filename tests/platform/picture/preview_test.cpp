// The sampled preview shrink.

#include "handmade_pictures.h"
#include "platform/picture/preview.h"

#include <gtest/gtest.h>

#include <set>

using namespace mosswick::picture;

namespace {

QImage distinct_pixels(int w, int h)
{
    return handmade::painted(QSize(w, h), [](int x, int y) { return qRgb(x * 10, y * 10, 77); });
}

TEST(ViewImage, SameSizeTakesOneSamplePerPixel)
{
    const QImage src = distinct_pixels(8, 6);
    const ViewImageResult r = ViewImage(src, 8 * 15, 6 * 15, 8 * 15, 6 * 15);
    ASSERT_TRUE(r.drawn);
    EXPECT_EQ(r.width, 8);
    EXPECT_EQ(r.height, 6);
    ASSERT_EQ(r.target.size(), QSize(8, 6));
    std::set<QRgb> source_colours;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            source_colours.insert(src.pixel(x, y));
    // Columns and rows 1 to size - 1 are drawn at pixels 0 to size - 2, each
    // a copy of one source pixel (no averaging); the last ones stay empty.
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const QRgb p = r.target.pixel(x, y);
            if (x == 7 || y == 5) {
                EXPECT_EQ(qAlpha(p), 0) << x << "," << y;
            } else {
                EXPECT_EQ(qAlpha(p), 255) << x << "," << y;
                EXPECT_TRUE(source_colours.count(p)) << x << "," << y;
            }
        }
    }
}

TEST(ViewImage, FourTimesLargerSamplesSevenOfTwentyFivePositions)
{
    // Box 10 x 8 pixels, source 40 x 32: step 4, window -2..2 in both
    // directions, every fourth of the 25 positions read. Target pixel (1, 1)
    // (column and row 2) centres at source (6, 6); its window positions run
    // with x outer, y inner. The seven read positions are red, the others
    // green: the average must be pure red.
    QImage src = handmade::filled(QSize(40, 32), Qt::black);
    for (int i = -2; i <= 2; ++i) {
        for (int j = -2; j <= 2; ++j) {
            const int position = (i + 2) * 5 + (j + 2);
            src.setPixel(6 + i, 6 + j, position % 4 == 0 ? qRgb(210, 0, 0) : qRgb(0, 200, 0));
        }
    }
    const ViewImageResult r = ViewImage(src, 40 * 15, 32 * 15, 10 * 15, 8 * 15);
    ASSERT_TRUE(r.drawn);
    EXPECT_EQ(r.width, 10);
    EXPECT_EQ(r.height, 8);
    EXPECT_EQ(r.target.pixel(1, 1), qRgb(210, 0, 0));
}

TEST(ViewImage, SmallerPictureIsEnlargedAndCentred)
{
    // 4 x 2 pixels into a 20 x 20 box: the width ratio (5) is the smaller,
    // so 20 x 10 drawn, centred vertically (5 empty rows above). Sample
    // centres near the right and bottom edges fall outside the source and
    // are skipped, so the last two columns and rows stay empty.
    const ViewImageResult r =
        ViewImage(handmade::filled(QSize(4, 2), qRgb(10, 20, 30)), 4 * 15, 2 * 15, 20 * 15, 20 * 15);
    ASSERT_TRUE(r.drawn);
    EXPECT_EQ(r.width, 20);
    EXPECT_EQ(r.height, 10);
    EXPECT_EQ(qAlpha(r.target.pixel(10, 4)), 0);
    EXPECT_EQ(r.target.pixel(0, 5), qRgb(10, 20, 30));
    EXPECT_EQ(r.target.pixel(16, 11), qRgb(10, 20, 30));
    EXPECT_EQ(qAlpha(r.target.pixel(17, 11)), 0);
    EXPECT_EQ(qAlpha(r.target.pixel(16, 12)), 0);
}

TEST(ViewImage, ZeroOrNegativeSizesShowNoPreview)
{
    const QImage src = distinct_pixels(8, 8);
    const struct {
        qint32 x1, y1, x, y;
    } cases[] = {{0, 120, 1500, 900}, {120, 0, 1500, 900}, {120, 120, 0, 900}, {-15, 120, 1500, 900}};
    for (const auto& c : cases) {
        const ViewImageResult r = ViewImage(src, c.x1, c.y1, c.x, c.y);
        EXPECT_FALSE(r.drawn);
        EXPECT_EQ(r.width, 0);
        EXPECT_EQ(r.height, 0);
    }
    // With a box to print in, the message lands around its centre.
    const ViewImageResult r = ViewImage(src, 0, 120, 3000, 900);
    ASSERT_EQ(r.target.size(), QSize(200, 60));
    QRect ink;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (qAlpha(r.target.pixel(x, y)) > 0)
                ink |= QRect(x, y, 1, 1);
    if (!ink.isEmpty()) {  // no font on the machine: nothing to measure
        EXPECT_NEAR(ink.center().x(), 100, 12);
        EXPECT_NEAR(ink.center().y(), 30, 12);
    }
    EXPECT_EQ(k_no_preview_text, QStringLiteral("No Preview Available"));
}

} // namespace
