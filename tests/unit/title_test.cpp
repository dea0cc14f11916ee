// title_test.cpp: the title's menu cursor, its choice on the press of button 1, and what it draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/back_buffer.h"
#include "runtime/drawing.h"
#include "scenes/game_scene.h"
#include "scenes/run.h"
#include "scenes/scene_manager.h"
#include "scenes/title_scene.h"
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

// A run as at program start (the first input record bound, no direction held) on the title, drawing
// into the back buffer of SDL's dummy screen.
class TitleTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        init_input(run.input_states);
        install_title_scene(run);
        target.observer = record;
        target.observer_context = &seen;
        run.target = &target;
        input_of(run).dir_latch = 5;
        input_of(run).dir = 5;
    }

    static void record(void *context, const DrawCall &call)
    {
        static_cast<std::vector<Seen> *>(context)->push_back(
            {call.type, call.x, call.y, call.type == DRAW_TEXT ? call.text : "", call.sheet, call.frame});
    }

    // One tick as the main loop runs it, with the input record already set by the test.
    void tick(bool drawn = true)
    {
        scene_update(run);
        if (drawn)
            scene_draw(run);
        scene_transition(run);
    }

    // With button 1 held and its press as given: the title's choice with the cursor on "start", then
    // on "end".
    void expect_choices(uint8_t pressed, uint8_t on_start, uint8_t on_end)
    {
        input_of(run).held_1 = 1;
        input_of(run).pressed_1 = pressed;
        run.title_cursor = 0;
        EXPECT_EQ(title_transition(run), on_start) << "pressed " << int{pressed} << ", on start";
        run.title_cursor = 1;
        EXPECT_EQ(title_transition(run), on_end) << "pressed " << int{pressed} << ", on end";
    }

    ::Run run; // testing::Test has a member function Run()
    DrawTarget target = back_buffer_target();
    std::vector<Seen> seen;
};

TEST_F(TitleTest, CursorMovesOnlyStraightDownAndStraightUp)
{
    for (int dir = 0; dir <= 9; dir++) {
        for (uint8_t from : {0, 1}) {
            run.title_cursor = from;
            input_of(run).dir_latch = static_cast<uint16_t>(dir);
            title_update(run);
            uint8_t expected = dir == 2 ? 1 : dir == 8 ? 0 : from;
            EXPECT_EQ(run.title_cursor, expected) << "dir " << dir << " from " << int{from};
        }
    }
}

TEST_F(TitleTest, HoldingDownStaysOnEndWithoutWrapping)
{
    input_of(run).dir_latch = 2;
    for (int t = 0; t < 5; t++)
        tick();
    EXPECT_EQ(run.title_cursor, 1);
    EXPECT_EQ(run.quit_requested, 0);
    input_of(run).dir_latch = 8;
    tick();
    tick();
    EXPECT_EQ(run.title_cursor, 0);
}

TEST_F(TitleTest, DownAndButtonOneInTheSameTickEndTheProgram)
{
    input_of(run).dir_latch = 2;
    input_of(run).held_1 = 1;
    input_of(run).pressed_1 = 1;
    tick();
    EXPECT_EQ(run.title_cursor, 1);
    EXPECT_EQ(run.quit_requested, 1);
}

TEST_F(TitleTest, ButtonOneOnStartStartsARun) { expect_choices(1, TRANSITION_GAME, TRANSITION_QUIT); }

TEST_F(TitleTest, OnlyThePressEdgeChooses)
{
    expect_choices(0, TRANSITION_STAY, TRANSITION_STAY);
    input_of(run).held_1 = 0;
    input_of(run).held_2 = input_of(run).held_3 = input_of(run).pressed_2 = input_of(run).pressed_3 = 1;
    EXPECT_EQ(title_transition(run), TRANSITION_STAY) << "other buttons choose nothing";
}

TEST_F(TitleTest, ButtonThreeHeldAtTheStartMakesAHardRun)
{
    input_of(run).held_1 = input_of(run).pressed_1 = input_of(run).held_3 = 1;
    tick();
    EXPECT_EQ(run.current_scene.update, game_update);
    EXPECT_EQ(run.hard_mode, 1);

    run.current_scene = title_scene;
    input_of(run).held_3 = 0;
    tick();
    EXPECT_EQ(run.current_scene.update, game_update);
    EXPECT_EQ(run.hard_mode, 0);
}

TEST_F(TitleTest, DrawsTitleCreditMenuAndCursorInOrder)
{
    title_draw(run);
    const std::vector<Seen> expected = {
        text_at(220, 80, "vorpaline"), text_at(315, 90, "presented by krv 2004"),
        text_at(220, 390, "start"),    text_at(220, 420, "end"),
        sprite_at(210, 390, 0, 0),
    };
    EXPECT_EQ(seen, expected);
}

TEST_F(TitleTest, ButtonThreeHeldDrawsTheAlternateTitle)
{
    input_of(run).held_3 = 1;
    run.title_cursor = 1;
    title_draw(run);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], text_at(220, 80, "vorpline"));
    EXPECT_EQ(seen[4], sprite_at(210, 420, 0, 0));
}

TEST_F(TitleTest, CursorFrameStepsEveryEightDrawnFramesAcrossTheWrap)
{
    std::vector<int> frames;
    for (int n = 0; n < 40; n++) {
        seen.clear();
        title_draw(run);
        frames.push_back(seen.back().frame);
    }
    for (int n = 0; n < 40; n++)
        EXPECT_EQ(frames[n], (n / 8) % 4) << "drawn frame " << n;

    run.title_blink = 248;
    frames.clear();
    for (int n = 0; n < 16; n++) {
        seen.clear();
        title_draw(run);
        frames.push_back(seen.back().frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(run.title_blink, 8);
}

TEST_F(TitleTest, BlinkCountsDrawnFramesOnly)
{
    for (int t = 0; t < 10; t++)
        tick(false);
    EXPECT_EQ(run.title_blink, 0);
    for (int t = 0; t < 3; t++)
        tick(true);
    EXPECT_EQ(run.title_blink, 3);
}

} // namespace
