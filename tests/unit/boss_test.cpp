// boss_test.cpp: the boss's five phases run from its spawn: entry, orbit and stream, strike with its
// spots and drop, rain of debris, sinking; the hits each phase takes, and the end of the stage.
#include "game_fixture.h"

#include "behaviours/behaviours.h"
#include "scenes/collisions.h"

namespace {

class BossTest : public GameTest {
  protected:
    Actor &boss() { return run.actor_pool[0]; }

    void start_boss() { ASSERT_EQ(spawn(308, -8, KIND_BOSS), 0); }

    // One boss update; returns what it spawned (in slot order) and frees it, so the pool never fills.
    std::vector<Actor> tick()
    {
        boss_update(run, 0);
        std::vector<Actor> made;
        for (uint16_t i = 1; i < actor_pool_size; i++)
            if (run.actor_pool[i].active)
                made.push_back(run.actor_pool[i]);
        free_all_but(0);
        return made;
    }

    void ticks(int n)
    {
        for (int k = 0; k < n; k++)
            tick();
    }

    void hits(int n)
    {
        for (int k = 0; k < n; k++)
            boss_event(run, 0, EVENT_SHOT_HIT);
    }

    // From the spawn to the first update of the orbit phase.
    void to_orbit()
    {
        start_boss();
        ticks(49);
        ASSERT_EQ(boss().param, BOSS_ORBIT);
    }

    // The boss's place after each of the first five updates of its orbit.
    void expect_first_orbit(const int (&places)[5][2])
    {
        to_orbit();
        for (int k = 0; k < 5; k++) {
            tick();
            EXPECT_EQ(boss().x, places[k][0]) << "update " << k + 1;
            EXPECT_EQ(boss().y, places[k][1]) << "update " << k + 1;
        }
    }

    // Twenty hits at once, then orbit on until the strike phase begins.
    void to_strike()
    {
        to_orbit();
        hits(20);
        for (int k = 0; k < 1000 && boss().param == BOSS_ORBIT; k++)
            tick();
        ASSERT_EQ(boss().param, BOSS_STRIKE);
    }

    // Ten hits in the first hold, then the update that starts the rain.
    void to_rain()
    {
        to_strike();
        ticks(151);
        hits(10);
        tick();
        ASSERT_EQ(boss().param, BOSS_RAIN);
    }

    // Ten hits in the rain, then the update that starts the sinking.
    void to_sinking()
    {
        to_rain();
        hits(10);
        tick();
        ASSERT_EQ(boss().param, BOSS_SINKING);
    }
};

TEST_F(BossTest, EntersTheOrbitOnIts49thUpdate)
{
    start_boss();
    ticks(48);
    EXPECT_EQ(boss().param, BOSS_ENTRY);
    EXPECT_EQ(boss().y, 40);
    EXPECT_EQ(boss().x, 308);
    tick();
    EXPECT_EQ(boss().param, BOSS_ORBIT);
    EXPECT_EQ(boss().y, 41);
    EXPECT_EQ(boss().origin_x, 308);
    EXPECT_EQ(boss().origin_y, 105);
    EXPECT_EQ(boss().hp, 20);
}

TEST_F(BossTest, FirstOrbitPositionsInANormalRun)
{
    expect_first_orbit({{276, 45}, {248, 58}, {228, 76}, {219, 99}, {222, 122}});
}

TEST_F(BossTest, FirstOrbitPositionsInAHardRun)
{
    start_game(true);
    expect_first_orbit({{300, 41}, {292, 43}, {285, 45}, {278, 49}, {271, 53}});
}

TEST_F(BossTest, OrbitWidthByMode)
{
    for (int hard = 0; hard <= 1; hard++) {
        start_game(hard);
        to_orbit();
        int lo = 1000, hi = -1000;
        for (int k = 0; k < 1024; k++) {
            tick();
            lo = std::min<int>(lo, boss().x);
            hi = std::max<int>(hi, boss().x);
            ASSERT_GE(boss().angle, 0);
            ASSERT_LT(boss().angle, 1024);
        }
        EXPECT_EQ(lo, hard ? 244 : 218);
        EXPECT_EQ(hi, hard ? 372 : 398);
        clear_actor_pool(run);
    }
}

TEST_F(BossTest, NormalStreamAlternatesSidesEverySecondUpdate)
{
    to_orbit();
    std::vector<Actor> first = tick();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].kind, KIND_BOSS_SHOT);
    EXPECT_EQ(first[0].x, 281);
    EXPECT_EQ(first[0].y, 50);
    EXPECT_EQ(first[0].angle, 0);
    EXPECT_TRUE(tick().empty());
    std::vector<Actor> third = tick();
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(third[0].angle, 1);
    EXPECT_TRUE(tick().empty());
    std::vector<Actor> fifth = tick();
    ASSERT_EQ(fifth.size(), 1u);
    EXPECT_EQ(fifth[0].angle, 0);
}

TEST_F(BossTest, HardStreamSendsThreeShotsEveryUpdate)
{
    start_game(true);
    to_orbit();
    for (int k = 0; k < 3; k++) {
        std::vector<Actor> shots = tick();
        ASSERT_EQ(shots.size(), 3u);
        int straight = shots[2].param;
        EXPECT_EQ((shots[0].param - straight) & 1023, 60);
        EXPECT_EQ((straight - shots[1].param) & 1023, 60);
        EXPECT_EQ(shots[0].angle, 0);
        EXPECT_EQ(shots[1].angle, 1);
        EXPECT_EQ(shots[2].angle, k & 1); // the boss's step was k when it fired
        EXPECT_EQ(boss().anim, 2);
    }
}

TEST_F(BossTest, OrbitsOnAfterItsLastHitUntilAngleZero)
{
    to_orbit();
    ticks(63);
    hits(19);
    tick(); // the 64th update leaves angle 0 with one hit still needed
    EXPECT_EQ(boss().angle, 0);
    EXPECT_EQ(boss().param, BOSS_ORBIT);
    hits(1);
    EXPECT_EQ(boss().hp, 0);
    for (int k = 65; k < 320; k++) {
        tick();
        ASSERT_EQ(boss().param, BOSS_ORBIT) << "update " << k;
        if (k == 100)
            hits(3); // hits in the meantime still score
    }
    EXPECT_EQ(run.score, 23);
    EXPECT_EQ(boss().hp, 0);
    tick(); // the 320th
    EXPECT_EQ(boss().param, BOSS_STRIKE);
    EXPECT_EQ(boss().angle, 0);
    EXPECT_EQ(boss().anim, 0);
    EXPECT_EQ(boss().step, 0);
    EXPECT_EQ(boss().hp, 10);
}

TEST_F(BossTest, StrikeSpotFollowsTheShipsQuarter)
{
    const int ship_x[] = {200, 259, 260, 319, 320, 379, 380, 424};
    const int spot[] = {215, 215, 277, 277, 339, 339, 401, 401};
    for (int k = 0; k < 8; k++) {
        game_init(run);
        to_strike();
        run.player_ship.x = static_cast<int16_t>(ship_x[k]);
        ticks(150);
        EXPECT_EQ(boss().step, 150);
        tick();
        EXPECT_EQ(boss().x, spot[k]) << "ship x " << ship_x[k];
        EXPECT_EQ(boss().anim, k / 2);
        // It holds still there.
        ticks(20);
        EXPECT_EQ(boss().x, spot[k]);
    }
}

TEST_F(BossTest, ShimmerCyclesFourSpotsAsTheSpacingGrows)
{
    to_strike();
    ticks(100);
    const int expected[] = {245, 287, 329, 371}; // spacing 21: far left, near left, near right, far right
    for (int x : expected) {
        tick();
        EXPECT_EQ(boss().x, x);
    }
}

TEST_F(BossTest, DropAtStep180InANormalRun)
{
    to_strike();
    std::vector<int> drop_updates;
    for (int u = 1; u <= 421; u++)
        for (const Actor &a : tick())
            if (a.kind == KIND_BOSS_DROP) {
                drop_updates.push_back(u);
                EXPECT_EQ(a.x, boss().x);
                EXPECT_EQ(a.y, boss().y);
            }
    EXPECT_EQ(drop_updates, (std::vector<int>{181, 391}));
}

TEST_F(BossTest, DropAtTheStrikeInAHardRun)
{
    start_game(true);
    to_strike();
    std::vector<int> drop_updates;
    for (int u = 1; u <= 421; u++)
        for (const Actor &a : tick())
            if (a.kind == KIND_BOSS_DROP)
                drop_updates.push_back(u);
    EXPECT_EQ(drop_updates, (std::vector<int>{151, 361}));
}

TEST_F(BossTest, FirstCycleTakes211UpdatesLaterOnes210)
{
    to_strike();
    ticks(210);
    EXPECT_EQ(boss().step, 210);
    tick();
    EXPECT_EQ(boss().step, 1);
    EXPECT_EQ(boss().angle, 0);
    EXPECT_EQ(boss().anim, 0);
    // The next shimmer starts on the far-left spot with spacing 0: the centre itself.
    run.player_ship.x = 424;
    tick();
    EXPECT_EQ(boss().x, 308);
    ticks(148);
    EXPECT_EQ(boss().step, 150);
    tick();
    EXPECT_EQ(boss().x, 401);
    ticks(59);
    EXPECT_EQ(boss().step, 210);
    tick();
    EXPECT_EQ(boss().step, 1);
}

TEST_F(BossTest, StrikeHitsCountOnlyWhileHolding)
{
    to_strike();
    run.score = 0;
    boss().step = 100;
    hits(1);
    boss().step = 150;
    hits(1);
    EXPECT_EQ(boss().hp, 10);
    EXPECT_EQ(run.score, 0);
    boss().step = 151;
    hits(1);
    EXPECT_EQ(boss().hp, 9);
    boss().step = 210;
    hits(9);
    EXPECT_EQ(boss().hp, 0);
    EXPECT_EQ(run.score, 10);
    hits(1);
    EXPECT_EQ(run.score, 10);
    EXPECT_EQ(boss().hp, 0);
}

TEST_F(BossTest, LastStrikeHitStartsTheRainAtTheCentre)
{
    to_strike();
    ticks(151);
    hits(10);
    ASSERT_NE(boss().x, 308);
    int16_t step = boss().step;
    tick();
    EXPECT_EQ(boss().param, BOSS_RAIN);
    EXPECT_EQ(boss().x, 308);
    EXPECT_EQ(boss().y, 105);
    EXPECT_EQ(boss().angle, 0);
    EXPECT_EQ(boss().anim, 10);
    EXPECT_EQ(boss().step, step);
}

TEST_F(BossTest, RainFallsInRunsOf16AcrossTheTop)
{
    to_rain();
    std::vector<int> xs;
    for (int u = 1; u <= 63; u++) {
        std::vector<Actor> made = tick();
        if (u < 16 || (u >= 32 && u < 48)) {
            EXPECT_TRUE(made.empty()) << "update " << u;
            continue;
        }
        ASSERT_EQ(made.size(), 1u) << "update " << u;
        EXPECT_EQ(made[0].kind, KIND_DEBRIS);
        EXPECT_EQ(made[0].y, 0);
        EXPECT_EQ(made[0].param, 758);
        xs.push_back(made[0].x);
    }
    ASSERT_EQ(xs.size(), 32u);
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(xs[k], 264 + 4 * k);
    const int second_run[] = {392, 396, 400, 404, 408, 412, 416, 420, 424, 428, 432, 436, 200, 204, 208, 212};
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(xs[16 + k], second_run[k]);
    EXPECT_EQ(boss().x, 308);
}

TEST_F(BossTest, HardRainLeansFurther)
{
    start_game(true);
    to_rain();
    ticks(15);
    std::vector<Actor> made = tick();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].param, 718);
    EXPECT_EQ(made[0].x, 264);
}

TEST_F(BossTest, RainEndsAfterTenHits)
{
    to_rain();
    ticks(3);
    run.score = 0;
    hits(10);
    EXPECT_EQ(run.score, 10);
    EXPECT_EQ(boss().anim, 0);
    hits(1);
    EXPECT_EQ(run.score, 10);
    EXPECT_EQ(boss().anim, 0);
    tick();
    EXPECT_EQ(boss().param, BOSS_SINKING);
    EXPECT_EQ(boss().angle, 60);
}

TEST_F(BossTest, NormalRunHoversThenSinks)
{
    to_sinking();
    ASSERT_EQ(boss().y, 105);
    for (int u = 1; u <= 60; u++) {
        std::vector<Actor> made = tick();
        ASSERT_EQ(boss().y, 105) << "update " << u;
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made[0].kind, KIND_EXPLOSION);
        EXPECT_EQ(made[0].x, 322);
        EXPECT_EQ(made[0].y, 115);
    }
    ticks(18);
    EXPECT_EQ(boss().y, 465);
    EXPECT_EQ(overlaps(boss(), run.playfield), 1);
    std::vector<Actor> made = tick();
    EXPECT_EQ(boss().y, 485);
    EXPECT_EQ(overlaps(boss(), run.playfield), 0);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].y, 495);
}

TEST_F(BossTest, HardRunSinksAtOnceMoreSlowly)
{
    start_game(true);
    to_sinking();
    ASSERT_EQ(boss().y, 105);
    ticks(31);
    EXPECT_EQ(boss().y, 477);
    EXPECT_EQ(overlaps(boss(), run.playfield), 1);
    tick();
    EXPECT_EQ(boss().y, 489);
    EXPECT_EQ(overlaps(boss(), run.playfield), 0);
}

TEST_F(BossTest, NoDamageWhileEnteringOrSinking)
{
    start_boss();
    hits(3);
    EXPECT_EQ(run.score, 0);
    clear_actor_pool(run);
    to_sinking();
    run.score = 0;
    hits(3);
    EXPECT_EQ(run.score, 0);
}

TEST_F(BossTest, LeavingWhileTheShipIsAWreckChangesNothing)
{
    to_sinking();
    run.game_phase = PHASE_STAGE;
    run.game_tick = 1500;
    run.score = 40;
    boss().y = 485;
    boss().angle = 0;
    run.ship_state = 100;
    boss_event(run, 0, EVENT_LEFT_PLAYFIELD);
    EXPECT_EQ(boss().active, 1);
    EXPECT_EQ(run.score, 40);
    EXPECT_EQ(run.game_phase, PHASE_STAGE);
    EXPECT_EQ(run.game_tick, 1500u);
    // It goes on sinking and making explosions.
    std::vector<Actor> made = tick();
    EXPECT_EQ(boss().y, 505);
    EXPECT_EQ(made.size(), 1u);
}

TEST_F(BossTest, LeavingWhileTheShipIsAliveEndsTheStage)
{
    to_sinking();
    run.game_phase = PHASE_STAGE;
    run.game_tick = 1500;
    run.score = 40;
    boss_event(run, 0, EVENT_LEFT_PLAYFIELD);
    EXPECT_EQ(run.score, 1040);
    EXPECT_EQ(run.game_phase, PHASE_ENDING);
    EXPECT_EQ(run.game_tick, 0u);
    EXPECT_EQ(boss().active, 0);
}

TEST_F(BossTest, EndingWaitsForTheWreckToComeBack)
{
    // A sinking boss already below the playfield while the ship is a wreck with a spare ship left.
    to_sinking();
    boss().y = 485;
    boss().angle = 0;
    run.game_phase = PHASE_STAGE;
    run.game_tick = 1300;
    run.score = 0;
    run.lives = 1;
    run.ship_state = 101;
    for (int k = 1; k < 59; k++) {
        game_update(run);
        ASSERT_EQ(run.game_phase, PHASE_STAGE) << "tick " << k;
    }
    EXPECT_EQ(run.actor_pool[0].kind, KIND_BOSS);
    EXPECT_EQ(run.actor_pool[0].active, 1);
    game_update(run); // the ship is back at count 160, before the playfield pass
    EXPECT_EQ(run.ship_state, 2);
    EXPECT_EQ(run.game_phase, PHASE_ENDING);
    EXPECT_EQ(run.game_tick, 0u);
    EXPECT_EQ(run.score, 1000);
}

TEST_F(BossTest, SinkingExplosionAboveTheBossAgesInTheSamePass)
{
    spawn(308, 105, KIND_BOSS);
    run.actor_pool[0].param = BOSS_SINKING;
    run.actor_pool[0].angle = 10;
    update_actors(run);
    ASSERT_EQ(run.actor_pool[1].kind, KIND_EXPLOSION);
    EXPECT_EQ(run.actor_pool[1].origin_x, 1);
    EXPECT_EQ(run.actor_pool[1].x, 322);
    EXPECT_EQ(run.actor_pool[1].y, 115);
    // One that lands below the boss waits for the next pass.
    clear_actor_pool(run);
    spawn(-100, -100, KIND_EXPLOSION);
    ASSERT_EQ(spawn(308, 105, KIND_BOSS), 1);
    run.actor_pool[1].param = BOSS_SINKING;
    run.actor_pool[1].angle = 10;
    run.actor_pool[0].active = 0;
    update_actors(run);
    ASSERT_EQ(run.actor_pool[0].active, 1);
    EXPECT_EQ(run.actor_pool[0].x, 322);
    EXPECT_EQ(run.actor_pool[0].origin_x, 0);
}

} // namespace
