// scene_test.cpp: the scene manager's transition codes, the scene handlers it calls, and the hi score.
#include <gtest/gtest.h>

#include "runtime/drawing.h"
#include "scenes/game_scene.h"
#include "scenes/run.h"
#include "scenes/scene_manager.h"

namespace {

// A scene of the test's own that counts its calls and asks for 'code' at every transition.
struct FakeScene {
    static inline int inits, updates, draws, transitions;
    static inline uint8_t code;
    static int init(Run &) { return ++inits, 0; }
    static int update(Run &) { return ++updates, 0; }
    static int draw(Run &) { return ++draws, 0; }
    static uint8_t transition(Run &) { return ++transitions, code; }
    static constexpr Scene scene{init, update, draw, transition};
};

// A run as at program start (the first input record bound, the title installed), whose current scene
// is then the fake one.
class SceneManagerTest : public testing::Test {
  protected:
    void SetUp() override
    {
        init_input(run.input_states);
        install_title_scene(run);
        run.target = &target;
        FakeScene::inits = FakeScene::updates = FakeScene::draws = FakeScene::transitions = 0;
        FakeScene::code = 0;
        run.current_scene = FakeScene::scene;
    }

    bool is_current(const Scene &scene) const
    {
        return run.current_scene.init == scene.init && run.current_scene.update == scene.update &&
               run.current_scene.draw == scene.draw && run.current_scene.transition == scene.transition;
    }

    ::Run run; // testing::Test has a member function Run()
    DrawTarget target = counting_target();
};

TEST_F(SceneManagerTest, UpdateDrawAndTransitionCallTheCurrentHandlers)
{
    scene_update(run);
    scene_update(run);
    scene_draw(run);
    scene_transition(run);
    EXPECT_EQ(FakeScene::updates, 2);
    EXPECT_EQ(FakeScene::draws, 1);
    EXPECT_EQ(FakeScene::transitions, 1);
    EXPECT_EQ(FakeScene::inits, 0);
}

TEST_F(SceneManagerTest, StayAndUnknownCodesChangeNothing)
{
    for (uint8_t code : {0, 3, 4, 127, 128, 254}) {
        FakeScene::code = code;
        scene_transition(run);
        EXPECT_TRUE(is_current(FakeScene::scene)) << "code " << int{code};
        EXPECT_EQ(run.quit_requested, 0) << "code " << int{code};
    }
    EXPECT_EQ(FakeScene::inits, 0);
    EXPECT_EQ(FakeScene::transitions, 6);
}

TEST_F(SceneManagerTest, QuitCodeSetsTheFlagAndKeepsTheScene)
{
    FakeScene::code = 255;
    scene_transition(run);
    EXPECT_EQ(run.quit_requested, 1);
    EXPECT_TRUE(is_current(FakeScene::scene));
}

TEST_F(SceneManagerTest, TitleCodeInstallsTheTitleAndRunsItsInit)
{
    run.title_cursor = 1;
    run.title_blink = 77;
    FakeScene::code = 1;
    scene_transition(run);
    EXPECT_TRUE(is_current(title_scene));
    EXPECT_EQ(run.title_cursor, 0);
    EXPECT_EQ(run.title_blink, 0);
    EXPECT_EQ(run.quit_requested, 0);
}

TEST_F(SceneManagerTest, TitleCodeWhileOnTheTitleRerunsTitleInit)
{
    run.current_scene = title_scene;
    run.current_scene.transition = FakeScene::transition;
    FakeScene::code = 1;
    run.title_cursor = 1;
    scene_transition(run);
    EXPECT_EQ(run.title_cursor, 0) << "the cursor goes back to \"start\"";
    EXPECT_TRUE(is_current(title_scene)) << "all four slots are replaced";
}

TEST_F(SceneManagerTest, GameCodeInstallsTheGameAndRunsItsInit)
{
    run.score = 500;
    run.game_phase = PHASE_OVER;
    run.hi_score = 321;
    FakeScene::code = 2;
    scene_transition(run);
    EXPECT_TRUE(is_current(game_scene));
    EXPECT_EQ(run.score, 0);
    EXPECT_EQ(run.game_phase, PHASE_COUNTDOWN);
    EXPECT_EQ(run.hi_score, 321) << "a new game keeps the hi score";
    EXPECT_EQ(FakeScene::inits, 0);
}

TEST_F(SceneManagerTest, InstallingTheTitleAtStartDoesNotRunItsInit)
{
    run.title_cursor = 1;
    run.title_blink = 9;
    install_title_scene(run);
    EXPECT_TRUE(is_current(title_scene));
    EXPECT_EQ(run.title_cursor, 1);
    EXPECT_EQ(run.title_blink, 9);
}

TEST_F(SceneManagerTest, HiScoreKeepsTheBestRunAndComparesUnsigned)
{
    run.score = 120;
    apply_hi_score_rule(run);
    EXPECT_EQ(run.hi_score, 120);
    run.score = 80; // a second, weaker run
    apply_hi_score_rule(run);
    EXPECT_EQ(run.hi_score, 120);
    run.score = 200;
    apply_hi_score_rule(run);
    EXPECT_EQ(run.hi_score, 200);
    run.score = 40000; // beyond the signed 16-bit range
    apply_hi_score_rule(run);
    EXPECT_EQ(run.hi_score, 40000);
    run.score = 65535;
    apply_hi_score_rule(run);
    run.score = static_cast<uint16_t>(run.score + 10); // the score wraps to 9
    apply_hi_score_rule(run);
    EXPECT_EQ(run.score, 9);
    EXPECT_EQ(run.hi_score, 65535);
}

TEST_F(SceneManagerTest, GameUpdateRaisesTheHiScoreWithinTheTick)
{
    run.hi_score = 120;
    game_init(run);
    run.score = 121;
    game_update(run);
    EXPECT_EQ(run.hi_score, 121);
    run.score = 100;
    game_update(run);
    EXPECT_EQ(run.hi_score, 121);
}

} // namespace
