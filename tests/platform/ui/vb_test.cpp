#include "platform/ui/vb.h"

#include <gtest/gtest.h>

using namespace mosswick::ui;

TEST(Conversions, TwipsRoundHalfToEven)
{
    EXPECT_EQ(twips_to_px(4680), 312);
    EXPECT_EQ(twips_to_px(2715), 181);
    EXPECT_EQ(twips_to_px(22.5), 2);   // 1.5 -> 2
    EXPECT_EQ(twips_to_px(37.5), 2);   // 2.5 -> 2
    EXPECT_EQ(twips_to_px(52.5), 4);   // 3.5 -> 4
    EXPECT_EQ(round_half_even(-0.5), 0);
    EXPECT_EQ(round_half_even(-1.5), -2);
    EXPECT_DOUBLE_EQ(px_to_twips(312), 4680);
}

TEST(Conversions, BgrColoursReadBlueGreenRed)
{
    const QColor c = bgr(0xC0E0FF);
    EXPECT_EQ(c.red(), 0xFF);
    EXPECT_EQ(c.green(), 0xE0);
    EXPECT_EQ(c.blue(), 0xC0);
    EXPECT_EQ(to_bgr(c), 0xC0E0FFu);
    EXPECT_EQ(to_bgr(bgr(0xE0E0E0)), 0xE0E0E0u);
}

TEST(Conversions, ErrorMessageFormat)
{
    EXPECT_EQ(error_message(53, "File not found"), "Error 53 - File not found");
}

TEST(Conversions, TickCountIsMonotonic)
{
    const qint64 a = tick_count();
    const qint64 b = tick_count();
    EXPECT_LE(a, b);
}
