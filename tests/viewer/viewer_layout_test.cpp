// The viewer's fit of a picture into the work area.

#include "viewer/viewer_layout.h"

#include <gtest/gtest.h>

using namespace mosswick::viewer;

namespace {

struct FitCase {
    QSize natural;
    QSize work_area;
    QSize expected;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.natural.width() << "x" << c.natural.height() << " in " << c.work_area.width() << "x"
        << c.work_area.height();
}

class ViewerFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(ViewerFit, WindowSize)
{
    const FitCase c = GetParam();
    EXPECT_EQ(viewer_window_size(c.natural, c.work_area), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewerFit,
    ::testing::Values(
        FitCase{{640, 480}, {1920, 1040}, {640, 480}},     // small: natural size
        FitCase{{1, 1}, {1920, 1040}, {1, 1}},
        FitCase{{1920, 1040}, {1920, 1040}, {1920, 1040}}, // exactly the work area
        FitCase{{3840, 2080}, {1920, 1040}, {1920, 1040}}, // twice: halved
        FitCase{{6000, 4000}, {1920, 1040}, {1560, 1040}}, // height decides
        FitCase{{4000, 1000}, {1920, 1040}, {1920, 480}},  // width decides
        FitCase{{1000, 3000}, {1920, 1040}, {347, 1040}},  // portrait: 346.67 rounds up
        FitCase{{1920, 500}, {1920, 1040}, {1920, 500}},   // as wide, less high: unchanged
        FitCase{{2000, 500}, {1920, 1040}, {1920, 480}},   // wider only
        FitCase{{100, 100000}, {1920, 1040}, {1, 1040}},   // a sliver keeps one pixel
        FitCase{{0, 480}, {1920, 1040}, {}},
        FitCase{{640, 480}, {0, 0}, {}}));

TEST(ViewerFit, DesignSizeAndTexts)
{
    EXPECT_EQ(design_window_size(), QSize(311, 187));
    EXPECT_EQ(k_open_title, QStringLiteral("Select the graphic file to open"));
    EXPECT_TRUE(k_open_filter.startsWith(
        QStringLiteral("Graphic file (jpg, gif, bmp, png, emf, rle, tif, ico, wmf) (")));
    for (const char* ext : {"jpg", "gif", "bmp", "png", "emf", "rle", "tif", "ico", "wmf"})
        EXPECT_TRUE(k_open_filter.contains(QStringLiteral("*.") + ext)) << ext;
}

} // namespace
