#include "core/fit_to_box.h"

#include <gtest/gtest.h>

using mosswick::fit_to_box;
using mosswick::FitResult;

namespace {

struct Case {
    const char* name;
    bool no_minimum;
    double W, H, w, h;
    double dw, dh, cur, max, min;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

} // namespace

class FitToBox : public ::testing::TestWithParam<Case> {};

TEST_P(FitToBox, MatchesTheWorkedNumbers)
{
    const Case& c = GetParam();
    const FitResult r = fit_to_box(c.no_minimum, c.W, c.H, c.w, c.h);
    EXPECT_NEAR(r.display_width, c.dw, 1e-9) << c.name;
    EXPECT_NEAR(r.display_height, c.dh, 1e-9) << c.name;
    EXPECT_NEAR(r.cur_zoom, c.cur, 1e-9) << c.name;
    EXPECT_NEAR(r.max_zoom, c.max, 1e-9) << c.name;
    EXPECT_NEAR(r.min_zoom, c.min, 1e-9) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FitToBox,
    ::testing::Values(
        // Small picture: natural size; the width fills first, so max is zw = 368.
        Case{"small", true, 4680, 2715, 1000, 500, 1000, 500, 0, 368, -100},
        // Portrait picture in a narrow box: 1000 x 1250, cur -50.
        Case{"portrait_narrow_box", true, 1000, 3000, 2000, 2500, 1000, 1250, -50, -50, -100},
        // Landscape larger than the box, limited by the width.
        Case{"landscape_by_width", true, 4680, 2715, 9360, 2000, 4680, 1000, -50, -50, -100},
        // Landscape whose width-scaled height is still too tall: limited by the height.
        Case{"landscape_by_height", true, 4680, 2715, 6000, 5430, 3000, 2715, -50, -50, -100},
        // Exactly as wide as the box and less high: natural size, zoom 0, max 0.
        Case{"as_wide_as_the_box", true, 4680, 2715, 4680, 1000, 4680, 1000, 0, 0, -100},
        // Minimum box: 2000 x 1000 can shrink by 47.5 % before its height reaches 525.
        Case{"minimum_box", false, 4680, 2715, 2000, 1000, 2000, 1000, 0, 134, -47.5},
        // Minimum box: already narrower than 787.5 cannot be reduced.
        Case{"narrower_than_minimum", false, 4680, 2715, 700, 1000, 700, 1000, 0, 171.5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FitToBoxEdges, ZeroSizesGiveZerosInsteadOfDividingByZero)
{
    for (auto [W, H, w, h] : {std::array<double, 4>{4680, 2715, 0, 500}, {4680, 2715, 500, 0}, {0, 0, 500, 500}, {0, 2715, 0, 0}}) {
        const FitResult r = fit_to_box(false, W, H, w, h);
        EXPECT_EQ(r.display_width, 0);
        EXPECT_EQ(r.display_height, 0);
        EXPECT_EQ(r.min_zoom, 0);
        EXPECT_EQ(r.max_zoom, 0);
        EXPECT_EQ(r.cur_zoom, 0);
    }
}

TEST(FitToBoxEdges, MinimumNeverExceedsMaximum)
{
    // A shrunk picture that is also below the minimum box.
    const FitResult r = fit_to_box(false, 300, 200, 700, 600);
    EXPECT_LE(r.min_zoom, r.max_zoom);
    for (double w : {10.0, 500.0, 787.5, 2000.0, 50000.0})
        for (double h : {10.0, 525.0, 3000.0, 40000.0}) {
            const FitResult f = fit_to_box(false, 4680, 2715, w, h);
            EXPECT_LE(f.min_zoom, f.max_zoom) << w << "x" << h;
            EXPECT_LE(f.display_width, std::max(4680.0, w) + 1e-9);
            EXPECT_LE(f.display_height, 2715.0 + 1e-9);
        }
}

TEST(FitToBoxEdges, NeverEnlarges)
{
    const FitResult r = fit_to_box(true, 4680, 2715, 100, 80);
    EXPECT_EQ(r.display_width, 100);
    EXPECT_EQ(r.display_height, 80);
}
