#include "platform/ui/vb.h"

#include "platform/ui/busy.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace mosswick::ui;

TEST(Conversions, TwipsRoundHalfToEven)
{
    // 22.5, 37.5 and 52.5 twips are 1.5, 2.5 and 3.5 pixels.
    for (const auto& [twips, px] : {std::pair{4680.0, 312}, {2715.0, 181}, {22.5, 2}, {37.5, 2}, {52.5, 4}})
        EXPECT_EQ(twips_to_px(twips), px) << twips;
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

namespace {

qint64 g_now = 0;
qint64 fixed_clock() { return g_now; }

// The fixed clock for one test; the real one comes back after it.
struct FixedClock : ::testing::Test {
    void SetUp() override
    {
        g_now = 1000;
        set_tick_source(&fixed_clock);
    }
    void TearDown() override { set_tick_source(nullptr); }
};

} // namespace

TEST_F(FixedClock, TickCountReadsTheClockBehindIt)
{
    EXPECT_EQ(tick_count(), 1000);
    g_now = 1234;
    EXPECT_EQ(tick_count(), 1234);
}

TEST_F(FixedClock, EventsArePumpedAtMostEveryThirtyMilliseconds)
{
    EventPump pump;
    int delivered = 0;
    auto post = [&] { QMetaObject::invokeMethod(qApp, [&] { ++delivered; }, Qt::QueuedConnection); };
    post();
    g_now += 29;
    pump.maybe_pump();
    EXPECT_EQ(delivered, 0);
    g_now += 1;
    pump.maybe_pump();
    EXPECT_EQ(delivered, 1);
    // Measured from the last pump, not from the pump's creation.
    post();
    g_now += 29;
    pump.maybe_pump();
    EXPECT_EQ(delivered, 1);
    pump.pump();
    EXPECT_EQ(delivered, 2);
}
