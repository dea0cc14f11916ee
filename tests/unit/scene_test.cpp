// scene_test.cpp: the scene manager's transition codes, the scene handlers it calls, and the hi score.
#include <gtest/gtest.h>

#include "scene_state_guard.h"

namespace {

// A scene of the test's own that counts its calls and asks for 'code' at every transition.
struct FakeScene {
    static inline int inits, updates, draws, transitions;
    static inline uint8_t code;
    static int init() { return ++inits, 0; }
    static int update() { return ++updates, 0; }
    static int draw() { return ++draws, 0; }
    static uint8_t transition() { return ++transitions, code; }
    static constexpr Scene scene{init, update, draw, transition};
};

class SceneManagerTest : public SceneStateTest {
  protected:
    void SetUp() override
    {
        FakeScene::inits = FakeScene::updates = FakeScene::draws = FakeScene::transitions = 0;
        FakeScene::code = 0;
        current_scene = FakeScene::scene;
    }

    static bool is_current(const Scene &scene)
    {
        return current_scene.init == scene.init && current_scene.update == scene.update &&
               current_scene.draw == scene.draw && current_scene.transition == scene.transition;
    }
};

TEST_F(SceneManagerTest, UpdateDrawAndTransitionCallTheCurrentHandlers)
{
    scene_update();
    scene_update();
    scene_draw();
    scene_transition();
    EXPECT_EQ(FakeScene::updates, 2);
    EXPECT_EQ(FakeScene::draws, 1);
    EXPECT_EQ(FakeScene::transitions, 1);
    EXPECT_EQ(FakeScene::inits, 0);
}

TEST_F(SceneManagerTest, StayAndUnknownCodesChangeNothing)
{
    for (uint8_t code : {0, 3, 4, 127, 128, 254}) {
        FakeScene::code = code;
        scene_transition();
        EXPECT_TRUE(is_current(FakeScene::scene)) << "code " << int{code};
        EXPECT_EQ(quit_requested, 0) << "code " << int{code};
    }
    EXPECT_EQ(FakeScene::inits, 0);
    EXPECT_EQ(FakeScene::transitions, 6);
}

TEST_F(SceneManagerTest, QuitCodeSetsTheFlagAndKeepsTheScene)
{
    FakeScene::code = 255;
    scene_transition();
    EXPECT_EQ(quit_requested, 1);
    EXPECT_TRUE(is_current(FakeScene::scene));
}

TEST_F(SceneManagerTest, TitleCodeInstallsTheTitleAndRunsItsInit)
{
    title_cursor = 1;
    title_blink = 77;
    FakeScene::code = 1;
    scene_transition();
    EXPECT_TRUE(is_current(title_scene));
    EXPECT_EQ(title_cursor, 0);
    EXPECT_EQ(title_blink, 0);
    EXPECT_EQ(quit_requested, 0);
}

TEST_F(SceneManagerTest, TitleCodeWhileOnTheTitleRerunsTitleInit)
{
    current_scene = title_scene;
    current_scene.transition = FakeScene::transition;
    FakeScene::code = 1;
    title_cursor = 1;
    scene_transition();
    EXPECT_EQ(title_cursor, 0) << "the cursor goes back to \"start\"";
    EXPECT_TRUE(is_current(title_scene)) << "all four slots are replaced";
}

TEST_F(SceneManagerTest, GameCodeInstallsTheGameAndRunsItsInit)
{
    score = 500;
    game_phase = PHASE_OVER;
    hi_score = 321;
    FakeScene::code = 2;
    scene_transition();
    EXPECT_TRUE(is_current(game_scene));
    EXPECT_EQ(score, 0);
    EXPECT_EQ(game_phase, PHASE_COUNTDOWN);
    EXPECT_EQ(hi_score, 321) << "a new game keeps the hi score";
    EXPECT_EQ(FakeScene::inits, 0);
}

TEST_F(SceneManagerTest, InstallingTheTitleAtStartDoesNotRunItsInit)
{
    title_cursor = 1;
    title_blink = 9;
    install_title_scene();
    EXPECT_TRUE(is_current(title_scene));
    EXPECT_EQ(title_cursor, 1);
    EXPECT_EQ(title_blink, 9);
}

TEST_F(SceneManagerTest, HiScoreKeepsTheBestRunAndComparesUnsigned)
{
    score = 120;
    apply_hi_score_rule();
    EXPECT_EQ(hi_score, 120);
    score = 80; // a second, weaker run
    apply_hi_score_rule();
    EXPECT_EQ(hi_score, 120);
    score = 200;
    apply_hi_score_rule();
    EXPECT_EQ(hi_score, 200);
    score = 40000; // beyond the signed 16-bit range
    apply_hi_score_rule();
    EXPECT_EQ(hi_score, 40000);
    score = 65535;
    apply_hi_score_rule();
    score = static_cast<uint16_t>(score + 10); // the score wraps to 9
    apply_hi_score_rule();
    EXPECT_EQ(score, 9);
    EXPECT_EQ(hi_score, 65535);
}

TEST_F(SceneManagerTest, GameUpdateRaisesTheHiScoreWithinTheTick)
{
    hi_score = 120;
    game_init();
    score = 121;
    game_update();
    EXPECT_EQ(hi_score, 121);
    score = 100;
    game_update();
    EXPECT_EQ(hi_score, 121);
}

} // namespace
