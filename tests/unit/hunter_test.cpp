// hunter_test.cpp: the hunter's slide toward the ship, its dive and beam cooldown, its recoil and
// three-hit score, and the beam's position, speed and image.
#include "game_fixture.h"

#include "behaviours/behaviours.h"

namespace {

using HunterTest = GameTest;

TEST_F(HunterTest, SlidesTowardTheShipUntilLinedUp)
{
    ASSERT_EQ(spawn(215, 8, KIND_HUNTER), 0);
    Actor &h = run.actor_pool[0];
    for (int k = 1; k <= 81; k++) {
        hunter_update(run, 0);
        ASSERT_EQ(h.x, 215 + k);
        ASSERT_EQ(h.origin_x, 0) << "update " << k;
    }
    EXPECT_EQ(h.x, 296);
    hunter_update(run, 0);
    EXPECT_EQ(h.x, 297);
    EXPECT_EQ(h.origin_x, 1);
    EXPECT_EQ(h.y, 8);
    // It does not fire in the update in which it starts diving.
    EXPECT_EQ(count_active(KIND_BEAM_SHOT), 0);
}

TEST_F(HunterTest, SlidesLeftWhenLevelWithTheShip)
{
    spawn(312, 8, KIND_HUNTER);
    run.player_ship.x = 200;
    hunter_update(run, 0);
    EXPECT_EQ(run.actor_pool[0].x, 311);
    run.player_ship.x = 311;
    hunter_update(run, 0);
    EXPECT_EQ(run.actor_pool[0].x, 310);
}

TEST_F(HunterTest, DivesAndFiresEvery16Updates)
{
    spawn(215, 8, KIND_HUNTER);
    for (int k = 0; k < 82; k++)
        hunter_update(run, 0);
    std::vector<int> firing_updates;
    for (int k = 83; k <= 120; k++) {
        int before = count_active(KIND_BEAM_SHOT);
        hunter_update(run, 0);
        if (count_active(KIND_BEAM_SHOT) > before)
            firing_updates.push_back(k);
    }
    EXPECT_EQ(firing_updates, (std::vector<int>{83, 99, 115}));
    // 38 diving updates of 5 pixels, no sideways move.
    EXPECT_EQ(run.actor_pool[0].y, 8 + 38 * 5);
    EXPECT_EQ(run.actor_pool[0].x, 297);
    // The first beam left from the middle of the hunter, at its height after the first dive step.
    EXPECT_EQ(run.actor_pool[1].kind, KIND_BEAM_SHOT);
    EXPECT_EQ(run.actor_pool[1].x, 305);
    EXPECT_EQ(run.actor_pool[1].y, 13);
    EXPECT_EQ(run.actor_pool[1].hit_w, 2);
    EXPECT_EQ(run.actor_pool[1].hit_h, 16);
}

TEST_F(HunterTest, SpentCooldownWaitsForTheShip)
{
    spawn(300, 470, KIND_HUNTER); // already below the ship
    Actor &h = run.actor_pool[0];
    h.origin_x = 1;
    run.player_ship.x = 200;
    for (int k = 0; k < 5; k++)
        hunter_update(run, 0);
    EXPECT_EQ(h.origin_y, 0);
    EXPECT_EQ(count_active(KIND_BEAM_SHOT), 0);
    EXPECT_EQ(h.x, 300);
    // The ship's x within 15 pixels of the hunter's on either side lines them up.
    run.player_ship.x = 316;
    hunter_update(run, 0);
    EXPECT_EQ(count_active(KIND_BEAM_SHOT), 0);
    run.player_ship.x = 315;
    hunter_update(run, 0);
    EXPECT_EQ(count_active(KIND_BEAM_SHOT), 1);
    EXPECT_EQ(h.origin_y, 15);
    EXPECT_EQ(run.actor_pool[1].x, 308);
    h.origin_y = 0;
    run.player_ship.x = 285;
    hunter_update(run, 0);
    EXPECT_EQ(count_active(KIND_BEAM_SHOT), 2);
    h.origin_y = 0;
    run.player_ship.x = 284;
    hunter_update(run, 0);
    EXPECT_EQ(count_active(KIND_BEAM_SHOT), 2);
}

TEST_F(HunterTest, FullPoolStillSetsTheCooldown)
{
    spawn(300, 100, KIND_HUNTER);
    run.actor_pool[0].origin_x = 1;
    run.player_ship.x = 300;
    fill_pool();
    hunter_update(run, 0);
    EXPECT_EQ(run.actor_pool[0].origin_y, 15);
}

TEST_F(HunterTest, HitWhileDivingClimbs)
{
    spawn(300, 100, KIND_HUNTER);
    Actor &h = run.actor_pool[0];
    h.origin_x = 1;
    hunter_update(run, 0);
    ASSERT_EQ(h.y, 105);
    hunter_event(run, 0, EVENT_SHOT_HIT);
    EXPECT_EQ(h.anim, -3);
    EXPECT_EQ(h.step, 2);
    EXPECT_EQ(run.score, 10);
    hunter_update(run, 0);
    EXPECT_EQ(h.y, 102);
    hunter_update(run, 0);
    EXPECT_EQ(h.y, 99);
}

TEST_F(HunterTest, ThreeHitsScore150AndLeaveAnExplosion)
{
    spawn(300, 100, KIND_HUNTER);
    hunter_event(run, 0, EVENT_SHOT_HIT);
    EXPECT_EQ(run.score, 10);
    hunter_event(run, 0, EVENT_SHOT_HIT);
    EXPECT_EQ(run.score, 20);
    EXPECT_EQ(run.actor_pool[0].kind, KIND_HUNTER);
    hunter_event(run, 0, EVENT_SHOT_HIT);
    EXPECT_EQ(run.score, 150);
    EXPECT_EQ(run.actor_pool[0].active, 1);
    EXPECT_EQ(run.actor_pool[0].kind, KIND_EXPLOSION);
    EXPECT_EQ(run.actor_pool[0].x, 303);
    EXPECT_EQ(run.actor_pool[0].y, 103);
}

TEST_F(HunterTest, HitWhileSlidingClimbsAwayOnceLinedUp)
{
    spawn(215, 8, KIND_HUNTER);
    hunter_event(run, 0, EVENT_SHOT_HIT);
    for (int tick = 1; tick <= 82; tick++)
        safe_tick();
    ASSERT_EQ(run.actor_pool[0].kind, KIND_HUNTER);
    EXPECT_EQ(run.actor_pool[0].y, 8);
    EXPECT_EQ(run.actor_pool[0].origin_x, 1);
    // Climbing 3 pixels per tick, its box lies wholly above the top edge at y -16.
    for (int tick = 83; tick <= 89; tick++) {
        safe_tick();
        ASSERT_EQ(run.actor_pool[0].active, 1) << tick;
        ASSERT_EQ(run.actor_pool[0].kind, KIND_HUNTER);
    }
    EXPECT_EQ(run.actor_pool[0].y, -13);
    safe_tick();
    EXPECT_FALSE(run.actor_pool[0].active && run.actor_pool[0].kind == KIND_HUNTER);
    EXPECT_EQ(run.score, 10);
}

TEST_F(HunterTest, HunterLeavesOnCodeZero)
{
    spawn(300, 100, KIND_HUNTER);
    hunter_event(run, 0, 5);
    EXPECT_EQ(run.actor_pool[0].active, 1);
    EXPECT_EQ(run.actor_pool[0].step, 3);
    hunter_event(run, 0, EVENT_LEFT_PLAYFIELD);
    EXPECT_EQ(run.actor_pool[0].active, 0);
    EXPECT_EQ(run.score, 0);
}

TEST_F(HunterTest, BeamSpeedByMode)
{
    const Actor &normal = after_updates(305, 13, KIND_BEAM_SHOT, 1);
    EXPECT_EQ(normal.y, 23);
    EXPECT_EQ(normal.x, 305);
    start_game(true);
    EXPECT_EQ(after_updates(305, 13, KIND_BEAM_SHOT, 2).y, 49);
}

TEST_F(HunterTest, BeamIsNotShotAndLeavesOnCodeZero)
{
    spawn(305, 13, KIND_BEAM_SHOT);
    expect_shots_pass_and_leaving_frees(0);
}

} // namespace
