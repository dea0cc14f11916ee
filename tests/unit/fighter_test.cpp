// fighter_test.cpp: the fighter's straight path and its fans, its hits and scores, the aimed shot's
// speed, and the explosion's lifetime, frames and indifference to the playfield.
#include "game_fixture.h"

#include "behaviours/behaviours.h"

namespace {

using FighterTest = GameTest;
using FighterDrawTest = DrawTest;

// The aimed shots in the pool, in slot order.
std::vector<const Actor *> aimed_shots(const Run &run)
{
    std::vector<const Actor *> out;
    for (const Actor &a : run.actor_pool)
        if (a.active && a.kind == KIND_AIMED_SHOT)
            out.push_back(&a);
    return out;
}

TEST_F(FighterTest, WorkedExampleOfPathAndFan)
{
    ASSERT_EQ(spawn(210, -8, KIND_FIGHTER), 0);
    ASSERT_EQ(run.actor_pool[0].angle, 802);
    const int expected[5][2] = {{210, -8}, {210, -6}, {211, -4}, {211, -2}, {212, 0}};
    for (int k = 0; k < 5; k++) {
        if (k == 4) {
            EXPECT_TRUE(aimed_shots(run).empty());
        }
        fighter_update(run, 0);
        EXPECT_EQ(run.actor_pool[0].x, expected[k][0]) << "update " << k + 1;
        EXPECT_EQ(run.actor_pool[0].y, expected[k][1]) << "update " << k + 1;
    }
    std::vector<const Actor *> fan = aimed_shots(run);
    ASSERT_EQ(fan.size(), 3u);
    const int16_t headings[] = {836, 772, 804};
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(fan[k]->param, headings[k]) << "shot " << k;
        EXPECT_EQ(fan[k]->x, 212);
        EXPECT_EQ(fan[k]->y, 0);
    }
    EXPECT_EQ(run.actor_pool[0].param, 0);
    // A normal-run fighter fires only one fan.
    for (int k = 0; k < 30; k++)
        fighter_update(run, 0);
    EXPECT_EQ(aimed_shots(run).size(), 3u);
}

TEST_F(FighterTest, HardRunFiresTwoFansOfFive)
{
    start_game(true);
    spawn(210, -8, KIND_FIGHTER);
    for (int k = 0; k < 5; k++)
        fighter_update(run, 0);
    std::vector<const Actor *> fan = aimed_shots(run);
    ASSERT_EQ(fan.size(), 5u);
    const int16_t headings[] = {804 + 128, 804 - 128, 804 + 32, 804 - 32, 804};
    for (int k = 0; k < 5; k++)
        EXPECT_EQ(fan[k]->param, headings[k]) << "shot " << k;
    for (int k = 6; k <= 10; k++)
        fighter_update(run, 0);
    EXPECT_EQ(aimed_shots(run).size(), 5u);
    fighter_update(run, 0); // the 11th update, 20 pixels along its path
    fan = aimed_shots(run);
    ASSERT_EQ(fan.size(), 10u);
    EXPECT_EQ(run.actor_pool[0].step, 22);
    for (int k = 5; k < 10; k++) {
        EXPECT_EQ(fan[k]->x, run.actor_pool[0].x);
        EXPECT_EQ(fan[k]->y, run.actor_pool[0].y);
    }
    EXPECT_EQ(run.actor_pool[0].x, 214);
    EXPECT_EQ(run.actor_pool[0].y, 12);
    for (int k = 0; k < 30; k++)
        fighter_update(run, 0);
    EXPECT_EQ(aimed_shots(run).size(), 10u);
}

TEST_F(FighterTest, FighterLeavingEarlyNeverFires)
{
    // Heading straight up from the top edge: it is culled before its 5th update.
    spawn(300, -10, KIND_FIGHTER);
    run.actor_pool[0].angle = 256;
    for (int tick = 0; tick < 10; tick++)
        safe_tick();
    EXPECT_EQ(run.actor_pool[0].active, 0);
    EXPECT_TRUE(aimed_shots(run).empty());
}

TEST_F(FighterTest, NormalRunFighterDiesToOneHit)
{
    spawn(300, 100, KIND_FIGHTER);
    fighter_event(run, 0, EVENT_SHOT_HIT);
    EXPECT_EQ(run.score, 110);
    EXPECT_EQ(run.actor_pool[0].kind, KIND_EXPLOSION); // it took the fighter's own slot
    EXPECT_EQ(run.actor_pool[0].x, 303);
    EXPECT_EQ(run.actor_pool[0].y, 103);
}

TEST_F(FighterTest, HardRunFighterTakesTwoHits)
{
    start_game(true);
    spawn(300, 100, KIND_FIGHTER);
    fighter_event(run, 0, EVENT_SHOT_HIT);
    EXPECT_EQ(run.score, 10);
    EXPECT_EQ(run.actor_pool[0].active, 1);
    EXPECT_EQ(run.actor_pool[0].kind, KIND_FIGHTER);
    fighter_update(run, 0);
    fighter_event(run, 0, EVENT_SHOT_HIT);
    EXPECT_EQ(run.score, 120);
    EXPECT_EQ(run.actor_pool[0].kind, KIND_EXPLOSION);
    EXPECT_EQ(run.actor_pool[0].x, 303);
    EXPECT_EQ(run.actor_pool[0].y, 103);
}

TEST_F(FighterTest, ExplosionTakesTheLowestFreeSlot)
{
    // Slot 0 free, the fighter in slot 5 with slots 1 to 4 live: the explosion goes to slot 0.
    for (int i = 0; i < 5; i++)
        spawn_actor(run, -100, -100, KIND_EXPLOSION, 0);
    ASSERT_EQ(spawn(300, 100, KIND_FIGHTER), 5);
    run.actor_pool[0].active = 0;
    fighter_event(run, 5, EVENT_SHOT_HIT);
    EXPECT_EQ(run.actor_pool[5].active, 0);
    EXPECT_EQ(run.actor_pool[0].x, 303);
    // With every slot below live, it takes the fighter's own.
    run.actor_pool[0].active = 1;
    ASSERT_EQ(spawn(250, 50, KIND_FIGHTER), 5);
    fighter_event(run, 5, EVENT_SHOT_HIT);
    EXPECT_EQ(run.actor_pool[5].kind, KIND_EXPLOSION);
    EXPECT_EQ(run.actor_pool[5].x, 253);
    EXPECT_EQ(run.actor_pool[5].origin_x, 0);
}

TEST_F(FighterTest, FighterLeavesOnCodeZeroAndIgnoresOtherCodes)
{
    spawn(300, 100, KIND_FIGHTER);
    fighter_event(run, 0, 7);
    EXPECT_EQ(run.actor_pool[0].active, 1);
    EXPECT_EQ(run.score, 0);
    fighter_event(run, 0, EVENT_LEFT_PLAYFIELD);
    EXPECT_EQ(run.actor_pool[0].active, 0);
    EXPECT_EQ(count_active(KIND_EXPLOSION), 0);
}

TEST_F(FighterTest, FullPoolDuringAFan)
{
    spawn(300, 100, KIND_FIGHTER);
    run.actor_pool[0].step = 8;
    fill_pool();
    fighter_update(run, 0);
    EXPECT_EQ(run.actor_pool[0].step, 10);
    EXPECT_EQ(run.actor_pool[0].param, 0);
    EXPECT_TRUE(aimed_shots(run).empty());
}

TEST_F(FighterTest, AimedShotSpeed)
{
    spawn(300, 100, KIND_FIGHTER);
    run.actor_pool[0].param = 0;
    run.player_ship.x = 295; // centre x 303, straight below the shot's centre: heading 768
    spawn_actor(run, 300, 100, KIND_AIMED_SHOT, 0);
    ASSERT_EQ(run.actor_pool[1].param, 768);
    aimed_shot_update(run, 1);
    EXPECT_EQ(run.actor_pool[1].y, 100);
    aimed_shot_update(run, 1);
    EXPECT_EQ(run.actor_pool[1].y, 104);
    EXPECT_EQ(run.actor_pool[1].x, 300);
    start_game(true);
    run.player_ship.x = 295;
    spawn(300, 100, KIND_FIGHTER);
    run.actor_pool[0].param = 0;
    EXPECT_EQ(after_updates(300, 100, KIND_AIMED_SHOT, 3).y, 116);
}

TEST_F(FighterTest, AimedShotCannotBeShotAndLeavesOnCodeZero)
{
    spawn(300, 100, KIND_AIMED_SHOT);
    expect_shots_pass_and_leaving_frees(0);
}

TEST_F(FighterTest, ExplosionLivesExactly31Updates)
{
    spawn(300, 100, KIND_EXPLOSION);
    for (int k = 1; k <= 30; k++) {
        explosion_update(run, 0);
        ASSERT_EQ(run.actor_pool[0].active, 1) << "update " << k;
    }
    explosion_update(run, 0);
    EXPECT_EQ(run.actor_pool[0].active, 0);
}

TEST_F(FighterTest, ExplosionOutsideThePlayfieldStillLivesItsTime)
{
    // A stale hit box from an earlier occupant, wholly above the playfield.
    spawn(205, -40, KIND_EXPLOSION);
    Actor &explosion = run.actor_pool[0];
    explosion.hit_x = 0, explosion.hit_y = 0, explosion.hit_w = 16, explosion.hit_h = 16;
    for (int k = 1; k <= 30; k++) {
        safe_tick();
        ASSERT_EQ(run.actor_pool[0].active, 1) << "tick " << k;
    }
    safe_tick();
    EXPECT_EQ(run.actor_pool[0].active, 0);
}

TEST_F(FighterDrawTest, ExplosionFramesByAge)
{
    spawn(300, 100, KIND_EXPLOSION);
    const int frames[31] = {18, 18, 18, 18, 18, 18, 18, 18, 19, 19, 19, 19, 19, 19, 19, 19,
                            20, 20, 20, 20, 20, 20, 20, 20, 21, 21, 21, 21, 21, 21, 21};
    for (int age = 0; age <= 30; age++) {
        recorded_draws().clear();
        draw_actors(run);
        std::vector<RecordedDraw> sprites = draws_of(DRAW_SPRITE);
        ASSERT_EQ(sprites.size(), 1u);
        EXPECT_EQ(sprites[0].frame, frames[age]) << "age " << age;
        EXPECT_EQ(sprites[0].sheet, 2);
        update_actors(run);
    }
    recorded_draws().clear();
    draw_actors(run);
    EXPECT_TRUE(recorded_draws().empty());
}

TEST_F(FighterDrawTest, ExplosionOfAKillIsFirstDrawnAtAgeZero)
{
    spawn(300, 200, KIND_FIGHTER);
    fire_shot(run, 300, 215);
    safe_tick();
    ASSERT_EQ(run.actor_pool[0].kind, KIND_EXPLOSION);
    draw_actors(run);
    expect_one_sprite(18, 303, 203);
}

} // namespace
