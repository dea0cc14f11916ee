// boss_projectiles_test.cpp: debris, boss shots and boss drops: their paths and speeds, what a
// player shot does to them, their images, and when they leave the playfield.
#include "game_fixture.h"

#include "actors/kinds.h"
#include "behaviours/behaviours.h"
#include "scenes/collisions.h"

namespace {

using ProjectileTest = GameTest;
using ProjectileDrawTest = DrawTest;

void shot_over(Run &run, const Actor &target)
{
    Actor &shot = run.player_shots[0];
    shot = Actor{};
    shot.x = static_cast<int16_t>(target.x + 1);
    shot.y = static_cast<int16_t>(target.y + 1);
    shot.w = 6, shot.h = 3, shot.hit_w = 6, shot.hit_h = 3;
    shot.active = 1;
}

TEST_F(ProjectileTest, ShotDownDebrisLeavesAnExplosionAndNoScore)
{
    const Actor &debris = after_updates(264, 0, KIND_DEBRIS, 4, 758);
    ASSERT_EQ(debris.x, 263);
    ASSERT_EQ(debris.y, 18);
    shot_over(run, debris);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[0].active, 0);
    EXPECT_EQ(run.score, 0);
    // The debris is gone; its explosion took the slot.
    EXPECT_EQ(run.actor_pool[0].kind, KIND_EXPLOSION);
    EXPECT_EQ(run.actor_pool[0].x, 268);
    EXPECT_EQ(run.actor_pool[0].y, 23);
    EXPECT_EQ(count_active(KIND_DEBRIS), 0);
}

TEST_F(ProjectileTest, DebrisDriftsAlongItsHeading)
{
    // 60 pixels along heading 758: about 3.7 to the left, 60 down.
    const Actor &normal = after_updates(264, 0, KIND_DEBRIS, 11, 758);
    EXPECT_EQ(normal.x, 260);
    EXPECT_EQ(normal.y, 60);
    // In a hard run, 140 pixels along heading 718: about 42 to the left, 133.5 down.
    start_game(true);
    const Actor &hard = after_updates(264, 0, KIND_DEBRIS, 11, 718);
    EXPECT_EQ(hard.x, 222);
    EXPECT_EQ(hard.y, 133);
}

TEST_F(ProjectileTest, BossShotSpeedByMode)
{
    // A shot heading straight down (aim 768 from above the ship, with the normal-run +32 undone).
    spawn(300, 60, KIND_BOSS);
    run.actor_pool[0].anim = 1;
    spawn_actor(run, 319, 100, KIND_BOSS_SHOT, 0);
    run.actor_pool[1].param = 768;
    boss_shot_update(run, 1);
    boss_shot_update(run, 1);
    EXPECT_EQ(run.actor_pool[1].x, 319);
    EXPECT_EQ(run.actor_pool[1].y, 110);
    start_game(true);
    spawn(300, 60, KIND_BOSS);
    run.actor_pool[0].anim = 2;
    spawn_actor(run, 319, 100, KIND_BOSS_SHOT, 0);
    ASSERT_EQ(run.actor_pool[1].param, 768);
    boss_shot_update(run, 1);
    boss_shot_update(run, 1);
    boss_shot_update(run, 1);
    EXPECT_EQ(run.actor_pool[1].y, 104);
}

TEST_F(ProjectileTest, BossDropLeavesThePlayfieldOnTime)
{
    for (int hard = 0; hard <= 1; hard++) {
        start_game(hard);
        spawn(277, 105, KIND_BOSS_DROP);
        int leaving_update = 0;
        for (int u = 1; u <= 60 && leaving_update == 0; u++) {
            update_actors(run);
            cull_actors(run);
            if (!run.actor_pool[0].active)
                leaving_update = u;
            else
                EXPECT_EQ(run.actor_pool[0].x, 277);
        }
        EXPECT_EQ(leaving_update, hard ? 13 : 38);
        EXPECT_EQ(run.actor_pool[0].y, hard ? 495 : 485);
    }
}

TEST_F(ProjectileTest, ShotsPassBossShotsAndDrops)
{
    spawn(300, 200, KIND_BOSS_DROP);
    shot_over(run, run.actor_pool[0]);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[0].active, 1);
    EXPECT_EQ(run.actor_pool[0].active, 1);
    clear_actor_pool(run);
    spawn(300, 60, KIND_BOSS);
    run.actor_pool[0].x = 0; // out of the shot's way
    spawn_actor(run, 300, 200, KIND_BOSS_SHOT, 0);
    shot_over(run, run.actor_pool[1]);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[0].active, 1);
    EXPECT_EQ(run.actor_pool[1].active, 1);
    run.actor_pool[1].on_event(run, 1, EVENT_SHOT_HIT);
    kind_row(KIND_BOSS_DROP)->event(run, 1, EVENT_SHOT_HIT);
    EXPECT_EQ(run.actor_pool[1].active, 1);
}

TEST_F(ProjectileDrawTest, HardThirdShotAlternatesFrames)
{
    start_game(true);
    ASSERT_EQ(spawn(308, -8, KIND_BOSS), 0);
    for (int k = 0; k < 49; k++)
        boss_update(run, 0);
    ASSERT_EQ(run.actor_pool[0].param, 1);
    std::vector<int> frames;
    for (int k = 0; k < 4; k++) {
        boss_update(run, 0);
        ASSERT_EQ(run.actor_pool[3].kind, KIND_BOSS_SHOT);
        recorded_draws().clear();
        boss_shot_draw(run, 3);
        std::vector<RecordedDraw> sprites = draws_of(DRAW_SPRITE);
        ASSERT_EQ(sprites.size(), 1u);
        frames.push_back(sprites[0].frame);
        free_all_but(0);
    }
    EXPECT_EQ(frames, (std::vector<int>{13, 14, 13, 14}));
}

} // namespace
