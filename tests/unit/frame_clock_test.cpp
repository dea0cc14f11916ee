// frame_clock_test.cpp: where each tick's slot ends, long runs past the 32-bit product, and the FPS figure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/drawing.h"
#include "runtime/frame_clock.h"
#include "runtime/settings.h"
#include "sdl_screen.h"

namespace {

TEST(SlotEnd, FirstSlotsEndAtTheSixtiethsOfASecond)
{
    const uint32_t expected[] = {16, 33, 50, 66, 83, 100};
    for (uint32_t n = 0; n < 6; n++)
        EXPECT_EQ(slot_end_offset(n), expected[n]) << "tick " << n;
    EXPECT_EQ(slot_end_offset(59), 1000u);
}

TEST(SlotEnd, SixtySlotsOfSixteenOrSeventeenMsFillEverySecond)
{
    uint32_t previous = 0;
    for (uint32_t n = 0; n < 6000; n++) {
        uint32_t end = slot_end_offset(n);
        ASSERT_TRUE(end - previous == 16 || end - previous == 17) << "tick " << n;
        previous = end;
        if (n % 60 == 59) {
            ASSERT_EQ(end, (n + 1) / 60 * 1000) << "tick " << n;
        }
    }
}

TEST(SlotEnd, KeepsCountingPastTheThirtyTwoBitProduct)
{
    // (n + 1) * 1000 no longer fits in 32 bits from tick 4294967 on (about 19.9 hours).
    EXPECT_EQ(slot_end_offset(4294966), 71582783u);
    EXPECT_EQ(slot_end_offset(4294967), 71582800u); // floor(4294968000 / 60)
    EXPECT_EQ(slot_end_offset(4294967 + 59), 71583783u);
    EXPECT_EQ(slot_end_offset(UINT32_MAX), 2863311530u); // floor(2^32 * 1000 / 60) mod 2^32
    // Across the wrap of the offset itself (near tick 257698037), slots are still 16 or 17 ms long
    // in the unsigned arithmetic that the slot end is compared with.
    for (uint32_t n = 257698000; n < 257698100; n++) {
        uint32_t length = slot_end_offset(n + 1) - slot_end_offset(n);
        ASSERT_TRUE(length == 16 || length == 17) << "tick " << n;
    }
}

class FpsTest : public testing::Test {
  protected:
    void SetUp() override
    {
        saved = frame_clock;
        frame_clock = FrameClock{};
    }
    void TearDown() override { frame_clock = saved; }

    // Runs ticks [from, to) as the loop does: a drawn tick samples the figure, a late one is counted
    // as skipped. Returns the figure that each drawn tick saw (0 for skipped ticks).
    static std::vector<uint32_t> run(uint32_t to, const std::vector<uint32_t> &late = {})
    {
        std::vector<uint32_t> seen;
        while (frame_clock.ticks < to) {
            bool is_late = false;
            for (uint32_t t : late)
                is_late = is_late || t == frame_clock.ticks;
            if (is_late)
                frame_skipped();
            seen.push_back(is_late ? 0 : fps_sample());
            frame_clock_advance();
        }
        return seen;
    }

  private:
    FrameClock saved{};
};

TEST_F(FpsTest, ReadsZeroUntilTheFirstWindowThenSixty)
{
    std::vector<uint32_t> seen = run(200);
    for (uint32_t t = 0; t < 60; t++)
        ASSERT_EQ(seen[t], 0u) << "tick " << t;
    for (uint32_t t = 60; t < 200; t++)
        ASSERT_EQ(seen[t], 60u) << "tick " << t;
}

TEST_F(FpsTest, SkippedTicksLowerTheFigureOfTheirWindowOnly)
{
    std::vector<uint32_t> seen = run(121, {10, 11, 12});
    EXPECT_EQ(seen[59], 0u);
    EXPECT_EQ(seen[60], 57u);
    EXPECT_EQ(seen[119], 57u);
    EXPECT_EQ(seen[120], 60u);
}

TEST_F(FpsTest, WindowStretchesWhenItsLastTickIsSkipped)
{
    // Ticks 59 and 60 are late, so the window closes at the drawn tick 61: 61 ticks, 59 of them drawn.
    std::vector<uint32_t> seen = run(122, {59, 60});
    EXPECT_EQ(seen[58], 0u);
    EXPECT_EQ(seen[61], 59u);
    EXPECT_EQ(frame_clock.sample_ticks, 121u);
    EXPECT_EQ(seen[121], 60u);
}

class FpsDrawTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        saved_clock = frame_clock;
        saved_show = show_fps;
        saved_observer = draw_observer;
        frame_clock = FrameClock{};
        frame_clock.ticks = 60;
        frame_clock.skipped = 2;
        texts.clear();
        draw_observer = record;
    }
    void TearDown() override
    {
        draw_observer = saved_observer;
        show_fps = saved_show;
        frame_clock = saved_clock;
        SdlScreenTest::TearDown();
    }

    static std::vector<std::string> texts;
    static void record(const DrawCall &call)
    {
        if (call.type == DRAW_TEXT && call.x == 0 && call.y == 0)
            texts.emplace_back(call.text);
        else
            texts.emplace_back("?");
    }

  private:
    FrameClock saved_clock{};
    uint8_t saved_show = 0;
    DrawObserver saved_observer = nullptr;
};

std::vector<std::string> FpsDrawTest::texts;

TEST_F(FpsDrawTest, DrawsTheFigureAtTheTopLeftWhenEnabled)
{
    show_fps = 1;
    fps_draw();
    EXPECT_EQ(texts, std::vector<std::string>{"58"});
    EXPECT_EQ(pixel(0, 0), text_bg_colour);
    EXPECT_EQ(pixel(15, 7), text_bg_colour);
    EXPECT_EQ(pixel(16, 0), 0);
}

TEST_F(FpsDrawTest, DrawsAndSamplesNothingWhenDisabled)
{
    for (uint8_t setting : {0, 2}) {
        show_fps = setting;
        fps_draw();
        EXPECT_TRUE(texts.empty()) << "show_fps " << int{setting};
        EXPECT_EQ(frame_clock.sample_ticks, 0u);
        EXPECT_EQ(frame_clock.skipped, 2u);
    }
}

} // namespace
