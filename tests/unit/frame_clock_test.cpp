// frame_clock_test.cpp: where each tick's slot ends, long runs past the 32-bit product, and the FPS figure.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "runtime/back_buffer.h"
#include "runtime/drawing.h"
#include "runtime/frame_clock.h"
#include "runtime/main_loop.h"
#include "runtime/settings.h"
#include "scenes/run.h"
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
    // Runs ticks [from, to) as the loop does: a drawn tick samples the figure, a late one is counted
    // as skipped. Returns the figure that each drawn tick saw (0 for skipped ticks).
    std::vector<uint32_t> run(uint32_t to, const std::vector<uint32_t> &late = {})
    {
        std::vector<uint32_t> seen;
        while (clock.ticks < to) {
            bool is_late = false;
            for (uint32_t t : late)
                is_late = is_late || t == clock.ticks;
            if (is_late)
                frame_skipped(clock);
            seen.push_back(is_late ? 0 : fps_sample(clock));
            frame_clock_advance(clock);
        }
        return seen;
    }

    FrameClock clock{};
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
    EXPECT_EQ(clock.sample_ticks, 121u);
    EXPECT_EQ(seen[121], 60u);
}

class FpsDrawTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        saved_show = show_fps;
        clock.ticks = 60;
        clock.skipped = 2;
        target.observer = record;
        target.observer_context = &texts;
    }
    void TearDown() override
    {
        show_fps = saved_show;
        SdlScreenTest::TearDown();
    }

    static void record(void *context, const DrawCall &call)
    {
        auto &texts = *static_cast<std::vector<std::string> *>(context);
        if (call.type == DRAW_TEXT && call.x == 0 && call.y == 0)
            texts.emplace_back(call.text);
        else
            texts.emplace_back("?");
    }

    FrameClock clock{};
    DrawTarget target = back_buffer_target();
    std::vector<std::string> texts;

  private:
    uint8_t saved_show = 0;
};

TEST_F(FpsDrawTest, DrawsTheFigureAtTheTopLeftWhenEnabled)
{
    show_fps = 1;
    fps_draw(target, clock);
    EXPECT_EQ(texts, std::vector<std::string>{"58"});
    EXPECT_EQ(pixel(0, 0), text_bg_colour);
    EXPECT_EQ(pixel(15, 7), text_bg_colour);
    EXPECT_EQ(pixel(16, 0), 0);
}

TEST_F(FpsDrawTest, DrawsAndSamplesNothingWhenDisabled)
{
    for (uint8_t setting : {0, 2}) {
        show_fps = setting;
        fps_draw(target, clock);
        EXPECT_TRUE(texts.empty()) << "show_fps " << int{setting};
        EXPECT_EQ(clock.sample_ticks, 0u);
        EXPECT_EQ(clock.skipped, 2u);
    }
}

// The pacing of a loop driven by a browser's animation frames: each frame runs the ticks whose slots
// have begun. Frames come at a display's rate with a jitter of their own (a fixed pseudo-random
// sequence); the ticks run the real title scene, none drawn.
class AnimationFramePacingTest : public testing::Test {
  protected:
    void SetUp() override { start_run(run, target, 0); }

    // Frames at 'hz' for 'seconds' from 'start' ms, each up to 'jitter' ms early or late. Returns how
    // many frames ran 0, 1, and 2 or more ticks.
    std::array<uint32_t, 3> run_frames(double hz, double seconds, double jitter, double start = 1000)
    {
        std::array<uint32_t, 3> frames{};
        uint32_t seed = 12345;
        for (double k = 0; k < seconds * hz; k++) {
            seed = seed * 1103515245u + 12345u;
            double offset = jitter * (static_cast<double>(seed >> 16) / 32768.0 - 1.0);
            now = start + k * 1000.0 / hz + offset;
            uint32_t ran = run_ticks_due(run, static_cast<uint32_t>(now), no_keys, late_driver);
            frames[ran < 2 ? ran : 2]++;
        }
        return frames;
    }

    static void no_keys(::Run &, KeySnapshot &keys) { keys = KeySnapshot{}; }

    ::Run run; // testing::Test has a member function Run()
    DrawTarget target = counting_target();
    double now = 0;
};

TEST_F(AnimationFramePacingTest, SixtyHertzFramesRunOneTickEachDespiteJitter)
{
    // Up to 3.5 ms early or late, so up to 7 ms off the phase of the first frame, where the slots were placed.
    std::array<uint32_t, 3> frames = run_frames(60, 600, 3.5);
    EXPECT_EQ(frames[0], 0u);
    EXPECT_EQ(frames[2], 0u);
    EXPECT_EQ(run.frame_clock.ticks, 36000u);
}

TEST_F(AnimationFramePacingTest, SixtyTicksPerSecondAtEveryDisplayRate)
{
    for (double hz : {30.0, 50.0, 59.94, 75.0, 120.0, 144.0, 165.0}) {
        start_run(run, target, 0);
        std::array<uint32_t, 3> frames = run_frames(hz, 100, 1.0, 5000);
        // The slots were placed at the first frame, 8 ms into the first slot.
        uint32_t expected = static_cast<uint32_t>((now - (5000 - 1.0 - 8)) * 60 / 1000);
        EXPECT_NEAR(run.frame_clock.ticks, expected, 2) << hz << " Hz";
        if (hz > 60) {
            EXPECT_EQ(frames[2], 0u) << hz << " Hz: no frame runs two ticks";
        }
    }
}

TEST_F(AnimationFramePacingTest, AfterAPauseAtMostOneSecondIsCaughtUp)
{
    run_frames(60, 1, 0);
    uint32_t before = run.frame_clock.ticks;
    // Half a second without frames: the 30 missed ticks run in the next frame, undrawn but not lost.
    EXPECT_EQ(run_ticks_due(run, static_cast<uint32_t>(now + 500), no_keys, late_driver), 30u);
    EXPECT_EQ(run.frame_clock.ticks, before + 30);
    // Ten minutes hidden: the game goes on where it stopped instead of racing through 36,000 ticks.
    EXPECT_EQ(run_ticks_due(run, static_cast<uint32_t>(now + 600500), no_keys, late_driver), 1u);
    EXPECT_EQ(run_frames(60, 10, 3, now + 600500 + 1000.0 / 60)[1], 600u);
}

} // namespace
