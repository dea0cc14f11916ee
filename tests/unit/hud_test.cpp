// hud_test.cpp: what draw_hud draws in each phase (seen through the draw observer): the countdown's
// panel ramp and digits, the warning, the score panel and spare ships, the ending's texts, curtains and
// fade, and the end of the run it triggers.
#include "game_fixture.h"

#include "scenes/hud.h"

namespace {

class HudTest : public DrawTest {
  protected:
    void draw_at(uint8_t phase, uint32_t t)
    {
        recorded_draws().clear();
        run.game_phase = phase;
        run.game_tick = t;
        draw_hud(run);
    }

    // The colour of the left side panel (the first fill at (0, 0) 200 wide), or -1.
    int panel_colour()
    {
        for (const RecordedDraw &d : draws_of(DRAW_FILL))
            if (d.x == 0 && d.y == 0 && d.w == 200 && d.h == 480)
                return d.colour;
        return -1;
    }

    // A text of the phase that is missing from the frame of tick 'first - 1' and is drawn at (x, y)
    // in the frame of tick 'first'.
    void expect_text_from(uint8_t phase, uint32_t first, const char *text, int x, int y)
    {
        draw_at(phase, first - 1);
        EXPECT_EQ(find_text(text), nullptr) << text << " at tick " << first - 1;
        draw_at(phase, first);
        const RecordedDraw *draw = find_text(text);
        ASSERT_NE(draw, nullptr) << text << " at tick " << first;
        EXPECT_EQ(draw->x, x) << text;
        EXPECT_EQ(draw->y, y) << text;
    }

    bool has_fill(int x, int y, int w, int h, int colour)
    {
        for (const RecordedDraw &d : draws_of(DRAW_FILL))
            if (d.x == x && d.y == y && d.w == w && d.h == h && d.colour == colour)
                return true;
        return false;
    }
};

TEST_F(HudTest, CountdownPanelsRiseThroughTheRamp)
{
    draw_at(PHASE_COUNTDOWN, 1);
    EXPECT_EQ(panel_colour(), 16);
    EXPECT_TRUE(has_fill(440, 0, 200, 480, 16));
    draw_at(PHASE_COUNTDOWN, 114);
    EXPECT_EQ(panel_colour(), 23);
    draw_at(PHASE_COUNTDOWN, 115);
    EXPECT_EQ(panel_colour(), 24);
    draw_at(PHASE_COUNTDOWN, 209);
    EXPECT_EQ(panel_colour(), 30);
    // Past the ramp the panels take the panel colour.
    draw_at(PHASE_COUNTDOWN, 230);
    EXPECT_EQ(panel_colour(), 255);
}

TEST_F(HudTest, CountdownDigitsAppearInTurn)
{
    draw_at(PHASE_COUNTDOWN, 0);
    ASSERT_NE(find_text("3"), nullptr);
    EXPECT_EQ(find_text("3")->x, 286);
    EXPECT_EQ(find_text("3")->y, 100);
    expect_text_from(PHASE_COUNTDOWN, 61, "2", 316, 100);
    EXPECT_NE(find_text("3"), nullptr);
    expect_text_from(PHASE_COUNTDOWN, 121, "1", 346, 100);
    expect_text_from(PHASE_COUNTDOWN, 181, "g o !", 302, 300);
    draw_at(PHASE_COUNTDOWN, 209);
    EXPECT_NE(find_text("g o !"), nullptr);
    EXPECT_NE(find_text("1"), nullptr);
}

TEST_F(HudTest, WarningSlidesDownBeforeTheBoss)
{
    draw_at(PHASE_STAGE, 900);
    EXPECT_EQ(find_text("w a r n i n g"), nullptr);
    EXPECT_EQ(panel_colour(), 255);
    draw_at(PHASE_STAGE, 901);
    ASSERT_NE(find_text("w a r n i n g"), nullptr);
    EXPECT_EQ(find_text("w a r n i n g")->x, 266);
    EXPECT_EQ(find_text("w a r n i n g")->y, 1);
    draw_at(PHASE_STAGE, 1099);
    ASSERT_NE(find_text("w a r n i n g"), nullptr);
    EXPECT_EQ(find_text("w a r n i n g")->y, 199);
    draw_at(PHASE_STAGE, 1100);
    EXPECT_EQ(find_text("w a r n i n g"), nullptr);
}

TEST_F(HudTest, ScorePanelShowsPlainNumbers)
{
    run.score = 12345;
    run.hi_score = 65535;
    draw_at(PHASE_STAGE, 5);
    ASSERT_NE(find_text("score:"), nullptr);
    EXPECT_EQ(find_text("score:")->x, 460);
    EXPECT_EQ(find_text("score:")->y, 30);
    ASSERT_NE(find_text("12345"), nullptr);
    EXPECT_EQ(find_text("12345")->y, 50);
    ASSERT_NE(find_text("hi score:"), nullptr);
    EXPECT_EQ(find_text("hi score:")->y, 80);
    ASSERT_NE(find_text("65535"), nullptr);
    EXPECT_EQ(find_text("65535")->x, 460);
    EXPECT_EQ(find_text("65535")->y, 100);
    run.score = 0;
    draw_at(PHASE_COUNTDOWN, 5);
    ASSERT_NE(find_text("0"), nullptr);
    EXPECT_EQ(find_text("0")->y, 50);
}

TEST_F(HudTest, SpareShipIcons)
{
    run.lives = 0;
    draw_at(PHASE_STAGE, 5);
    ASSERT_NE(find_text("left"), nullptr);
    EXPECT_EQ(find_text("left")->x, 460);
    EXPECT_EQ(find_text("left")->y, 400);
    EXPECT_TRUE(draws_of(DRAW_SPRITE).empty());
    run.lives = 3;
    draw_at(PHASE_COUNTDOWN, 5);
    std::vector<RecordedDraw> icons = draws_of(DRAW_SPRITE);
    ASSERT_EQ(icons.size(), 3u);
    const int xs[] = {500, 512, 524};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(icons[i].x, xs[i]);
        EXPECT_EQ(icons[i].y, 420);
        EXPECT_EQ(icons[i].sheet, 1);
        EXPECT_EQ(icons[i].frame, 2);
    }
}

TEST_F(HudTest, EndingTextsAndScorePanel)
{
    run.lives = 3;
    draw_at(PHASE_ENDING, 100);
    EXPECT_EQ(panel_colour(), 255);
    EXPECT_EQ(find_text("staff"), nullptr);
    EXPECT_NE(find_text("score:"), nullptr);
    EXPECT_EQ(find_text("left"), nullptr);
    EXPECT_TRUE(draws_of(DRAW_SPRITE).empty());
    expect_text_from(PHASE_ENDING, 101, "staff", 250, 80);
    expect_text_from(PHASE_ENDING, 221, "all", 300, 120);
    expect_text_from(PHASE_ENDING, 381, "krv", 400, 140);
    expect_text_from(PHASE_ENDING, 601, "game is over", 230, 250);
    draw_at(PHASE_ENDING, 699);
    EXPECT_NE(find_text("game is over"), nullptr);
    EXPECT_NE(find_text("hi score:"), nullptr);
    draw_at(PHASE_ENDING, 700);
    EXPECT_EQ(find_text("score:"), nullptr);
    EXPECT_EQ(find_text("hi score:"), nullptr);
    EXPECT_NE(find_text("staff"), nullptr);
}

TEST_F(HudTest, CurtainsCloseFromT701)
{
    draw_at(PHASE_ENDING, 700);
    EXPECT_EQ(draws_of(DRAW_FILL).size(), 2u); // the side panels only
    draw_at(PHASE_ENDING, 701);
    EXPECT_TRUE(has_fill(0, 0, 201, 480, 255));
    EXPECT_TRUE(has_fill(439, 0, 200, 480, 255));
    draw_at(PHASE_ENDING, 820);
    EXPECT_TRUE(has_fill(0, 0, 320, 480, 255));
    EXPECT_TRUE(has_fill(320, 0, 200, 480, 255));
}

TEST_F(HudTest, FadeStepsDownFrom31To16OverEverything)
{
    draw_at(PHASE_ENDING, 900);
    for (const RecordedDraw &d : draws_of(DRAW_FILL))
        EXPECT_NE(d.w, 640);
    draw_at(PHASE_ENDING, 901);
    ASSERT_FALSE(recorded_draws().empty());
    const RecordedDraw &last = recorded_draws().back();
    EXPECT_EQ(last.type, DRAW_FILL);
    EXPECT_EQ(last.w, 640);
    EXPECT_EQ(last.h, 480);
    EXPECT_EQ(last.colour, 31);
    draw_at(PHASE_ENDING, 1000);
    EXPECT_TRUE(has_fill(0, 0, 640, 480, 24));
    draw_at(PHASE_ENDING, 1099);
    EXPECT_TRUE(has_fill(0, 0, 640, 480, 16));
    EXPECT_EQ(run.game_phase, PHASE_ENDING);
}

TEST_F(HudTest, EndingEndsInTheDrawingStepAt1100)
{
    draw_at(PHASE_ENDING, 1099);
    EXPECT_EQ(run.game_phase, PHASE_ENDING);
    draw_at(PHASE_ENDING, 1100);
    EXPECT_TRUE(has_fill(0, 0, 640, 480, 16));
    EXPECT_EQ(run.game_phase, PHASE_OVER);
    EXPECT_EQ(game_transition(run), TRANSITION_TITLE);
    // A late frame past 1100 ends it too.
    draw_at(PHASE_ENDING, 1130);
    EXPECT_EQ(run.game_phase, PHASE_OVER);
}

TEST_F(HudTest, NothingIsDrawnWhenTheRunIsOver)
{
    run.lives = 2;
    draw_at(PHASE_OVER, 5);
    EXPECT_TRUE(recorded_draws().empty());
}

TEST_F(HudTest, FrameOfTheTickThatEndsTheRunHasNoPanels)
{
    run.game_phase = PHASE_STAGE;
    run.lives = 0;
    run.ship_state = 250;
    input_of(run).dir_latch = 5;
    game_update(run);
    ASSERT_EQ(run.game_phase, PHASE_OVER);
    recorded_draws().clear();
    draw_hud(run);
    EXPECT_TRUE(recorded_draws().empty());
}

TEST_F(HudTest, HiScoreOnScreenEqualsALeadingScore)
{
    run.hi_score = 100;
    run.score = 90;
    spawn(300, 200, KIND_FIGHTER);
    fire_shot(run, 300, 215);
    game_update(run);
    recorded_draws().clear();
    game_draw(run);
    std::vector<RecordedDraw> numbers;
    for (const RecordedDraw &d : draws_of(DRAW_TEXT))
        if (d.x == 460 && (d.y == 50 || d.y == 100))
            numbers.push_back(d);
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_EQ(numbers[0].text, "200");
    EXPECT_EQ(numbers[1].text, "200");
}

} // namespace
