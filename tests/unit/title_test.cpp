// title_test.cpp: the title's menu cursor, its choice on the press of button 1, and what it draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/drawing.h"
#include "scene_state_guard.h"
#include "sdl_screen.h"

namespace {

// One drawing call as seen by the observer, with its text copied.
struct Seen {
    DrawCallType type;
    int x, y;
    std::string text;
    int sheet, frame;
    bool operator==(const Seen &) const = default;
};

Seen text_at(int x, int y, const std::string &text) { return {DRAW_TEXT, x, y, text, 0, 0}; }
Seen sprite_at(int x, int y, int sheet, int frame) { return {DRAW_SPRITE, x, y, "", sheet, frame}; }

std::ostream &operator<<(std::ostream &os, const Seen &s)
{
    return os << (s.type == DRAW_TEXT     ? "text "
                  : s.type == DRAW_SPRITE ? "sprite "
                                          : "fill ")
              << s.x << "," << s.y << " \"" << s.text << "\" " << s.sheet << "/" << s.frame;
}

class TitleTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        saved_observer = draw_observer;
        seen.clear();
        draw_observer = record;
        current_scene = title_scene;
        input->dir_latch = 5;
        input->dir = 5;
    }
    void TearDown() override
    {
        draw_observer = saved_observer;
        SdlScreenTest::TearDown();
    }

    static void record(const DrawCall &call)
    {
        seen.push_back({call.type, call.x, call.y, call.type == DRAW_TEXT ? call.text : "", call.sheet, call.frame});
    }

    // One tick as the main loop runs it, with the input record already set by the test.
    static void tick(bool drawn = true)
    {
        scene_update();
        if (drawn)
            scene_draw();
        scene_transition();
    }

    static inline std::vector<Seen> seen;

  private:
    SceneStateGuard guard;
    DrawObserver saved_observer = nullptr;
};

TEST_F(TitleTest, CursorMovesOnlyStraightDownAndStraightUp)
{
    for (int dir = 0; dir <= 9; dir++) {
        for (uint8_t from : {0, 1}) {
            title_cursor = from;
            input->dir_latch = static_cast<uint16_t>(dir);
            title_update();
            uint8_t expected = dir == 2 ? 1 : dir == 8 ? 0 : from;
            EXPECT_EQ(title_cursor, expected) << "dir " << dir << " from " << int{from};
        }
    }
}

TEST_F(TitleTest, HoldingDownStaysOnEndWithoutWrapping)
{
    input->dir_latch = 2;
    for (int t = 0; t < 5; t++)
        tick();
    EXPECT_EQ(title_cursor, 1);
    EXPECT_EQ(quit_requested, 0);
    input->dir_latch = 8;
    tick();
    tick();
    EXPECT_EQ(title_cursor, 0);
}

TEST_F(TitleTest, DownAndButtonOneInTheSameTickEndTheProgram)
{
    input->dir_latch = 2;
    input->held_1 = 1;
    input->pressed_1 = 1;
    tick();
    EXPECT_EQ(title_cursor, 1);
    EXPECT_EQ(quit_requested, 1);
}

TEST_F(TitleTest, ButtonOneOnStartStartsARun)
{
    input->held_1 = 1;
    input->pressed_1 = 1;
    EXPECT_EQ(title_transition(), TRANSITION_GAME);
    title_cursor = 1;
    EXPECT_EQ(title_transition(), TRANSITION_QUIT);
}

TEST_F(TitleTest, OnlyThePressEdgeChooses)
{
    input->held_1 = 1;
    input->pressed_1 = 0;
    EXPECT_EQ(title_transition(), TRANSITION_STAY);
    title_cursor = 1;
    EXPECT_EQ(title_transition(), TRANSITION_STAY);
    input->held_1 = 0;
    input->held_2 = input->held_3 = input->pressed_2 = input->pressed_3 = 1;
    EXPECT_EQ(title_transition(), TRANSITION_STAY) << "other buttons choose nothing";
}

TEST_F(TitleTest, ButtonThreeHeldAtTheStartMakesAHardRun)
{
    input->held_1 = input->pressed_1 = input->held_3 = 1;
    tick();
    EXPECT_EQ(current_scene.update, game_update);
    EXPECT_EQ(hard_mode, 1);

    current_scene = title_scene;
    input->held_3 = 0;
    tick();
    EXPECT_EQ(current_scene.update, game_update);
    EXPECT_EQ(hard_mode, 0);
}

TEST_F(TitleTest, DrawsTitleCreditMenuAndCursorInOrder)
{
    title_draw();
    const std::vector<Seen> expected = {
        text_at(220, 80, "vorpaline"), text_at(315, 90, "presented by krv 2004"),
        text_at(220, 390, "start"),    text_at(220, 420, "end"),
        sprite_at(210, 390, 0, 0),
    };
    EXPECT_EQ(seen, expected);
}

TEST_F(TitleTest, ButtonThreeHeldDrawsTheAlternateTitle)
{
    input->held_3 = 1;
    title_cursor = 1;
    title_draw();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], text_at(220, 80, "vorpline"));
    EXPECT_EQ(seen[4], sprite_at(210, 420, 0, 0));
}

TEST_F(TitleTest, CursorFrameStepsEveryEightDrawnFramesAcrossTheWrap)
{
    std::vector<int> frames;
    for (int n = 0; n < 40; n++) {
        seen.clear();
        title_draw();
        frames.push_back(seen.back().frame);
    }
    for (int n = 0; n < 40; n++)
        EXPECT_EQ(frames[n], (n / 8) % 4) << "drawn frame " << n;

    title_blink = 248;
    frames.clear();
    for (int n = 0; n < 16; n++) {
        seen.clear();
        title_draw();
        frames.push_back(seen.back().frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(title_blink, 8);
}

TEST_F(TitleTest, BlinkCountsDrawnFramesOnly)
{
    for (int t = 0; t < 10; t++)
        tick(false);
    EXPECT_EQ(title_blink, 0);
    for (int t = 0; t < 3; t++)
        tick(true);
    EXPECT_EQ(title_blink, 3);
}

} // namespace
