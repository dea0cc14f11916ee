// ship_test.cpp: steering and clamping, firing and the shots' growth and removal, the wreck counter
// with respawn and the end of the run, what hurts the ship, and how the ship is drawn.
#include "game_fixture.h"

namespace {

using ShipTest = GameTest;
using ShipDrawTest = DrawTest;

struct SteeringCase {
    uint8_t dir;
    int dx3, dy3, dx5, dy5;
    uint8_t frame;
};

TEST_F(ShipTest, EachDirectionStepsAtSpeedThreeAndFive)
{
    const SteeringCase cases[] = {
        {8, 0, -3, 0, -5, 2},   {2, 0, 3, 0, 5, 2},   {4, -3, 0, -5, 0, 0}, {6, 3, 0, 5, 0, 4},
        {7, -2, -2, -4, -4, 1}, {9, 2, -2, 4, -4, 3}, {1, -2, 2, -4, 4, 1}, {3, 2, 2, 4, 4, 3},
    };
    for (const SteeringCase &c : cases) {
        for (int fast = 0; fast <= 1; fast++) {
            run.player_ship.x = 300;
            run.player_ship.y = 200;
            run.ship_state = 2;
            input_of(run).dir_latch = c.dir;
            input_of(run).held_2 = fast;
            update_ship(run);
            EXPECT_EQ(run.player_ship.x - 300, fast ? c.dx5 : c.dx3) << "dir " << int{c.dir} << " fast " << fast;
            EXPECT_EQ(run.player_ship.y - 200, fast ? c.dy5 : c.dy3) << "dir " << int{c.dir} << " fast " << fast;
            EXPECT_EQ(run.ship_state, c.frame) << "dir " << int{c.dir};
        }
    }
}

TEST_F(ShipTest, NoDirectionLevelsTheShipAndKeepsItStill)
{
    input_of(run).dir_latch = 4;
    update_ship(run);
    ASSERT_EQ(run.ship_state, 0);
    input_of(run).dir_latch = 5;
    input_of(run).held_2 = 1;
    update_ship(run);
    EXPECT_EQ(run.ship_state, 2);
    EXPECT_EQ(run.player_ship.x, 309);
    EXPECT_EQ(run.player_ship.y, 460);
}

TEST_F(ShipTest, ShipStaysInsideThePlayfield)
{
    run.player_ship.x = 201;
    run.player_ship.y = 1;
    input_of(run).dir_latch = 7;
    input_of(run).held_2 = 1;
    update_ship(run);
    EXPECT_EQ(run.player_ship.x, 200);
    EXPECT_EQ(run.player_ship.y, 0);
    // Holding down-right for long enough stops at the right and bottom edges of the image.
    input_of(run).dir_latch = 3;
    for (int i = 0; i < 200; i++)
        update_ship(run);
    EXPECT_EQ(run.player_ship.x, 424);
    EXPECT_EQ(run.player_ship.y, 464);
    input_of(run).held_2 = 0;
    input_of(run).dir_latch = 6;
    update_ship(run);
    EXPECT_EQ(run.player_ship.x, 424);
}

TEST_F(ShipTest, OneShotPerPress)
{
    input_of(run).pressed_1 = 1;
    input_of(run).held_1 = 1;
    update_ship(run);
    input_of(run).pressed_1 = 0;
    for (int i = 0; i < 5; i++)
        update_ship(run);
    int live = 0;
    for (const Actor &shot : run.player_shots)
        live += shot.active;
    EXPECT_EQ(live, 1);
    // The shot starts on the ship's centre line at its top edge.
    EXPECT_EQ(run.player_shots[0].x, 317);
    EXPECT_EQ(run.player_shots[0].y, 460);
    EXPECT_EQ(run.player_shots[0].kind, 0);
    input_of(run).pressed_1 = 1;
    update_ship(run);
    EXPECT_EQ(run.player_shots[1].active, 1);
}

TEST_F(ShipTest, ShotFiredInATickMovesInThatTick)
{
    // The ship's pass fires before the shots' pass moves them.
    input_of(run).pressed_1 = 1;
    game_update(run);
    EXPECT_EQ(run.player_shots[0].active, 1);
    EXPECT_EQ(run.player_shots[0].kind, 1);
    EXPECT_EQ(run.player_shots[0].y, 452);
}

TEST_F(ShipTest, ThirtyThirdShotIsNotFired)
{
    for (int i = 0; i < 32; i++)
        fire_shot(run, static_cast<uint16_t>(200 + i), 300);
    ASSERT_EQ(run.player_shots[31].active, 1);
    ASSERT_EQ(run.player_shots[31].x, 236);
    fire_shot(run, 400, 100);
    for (int i = 0; i < 32; i++) {
        EXPECT_EQ(run.player_shots[i].x, 205 + i);
        EXPECT_EQ(run.player_shots[i].y, 300);
    }
    // A freed slot is the next one used.
    run.player_shots[7].active = 0;
    fire_shot(run, 400, 100);
    EXPECT_EQ(run.player_shots[7].x, 405);
    EXPECT_EQ(run.player_shots[7].y, 100);
}

TEST_F(ShipTest, ShotHitBoxGrowsAboutItsCentreLine)
{
    fire_shot(run, 312, 460);
    Actor &shot = run.player_shots[0];
    for (int age = 1; age <= 9; age++)
        update_shots(run);
    EXPECT_EQ(shot.x, 317);
    EXPECT_EQ(shot.hit_w, 6);
    EXPECT_EQ(shot.hit_h, 3);
    EXPECT_EQ(shot.y, 460 - 9 * 8);
    update_shots(run); // age 10
    EXPECT_EQ(shot.x, 315);
    EXPECT_EQ(shot.hit_w, 10);
    EXPECT_EQ(shot.hit_h, 5);
    for (int age = 11; age <= 19; age++)
        update_shots(run);
    EXPECT_EQ(shot.x, 315);
    EXPECT_EQ(shot.hit_w, 10);
    update_shots(run); // age 20
    EXPECT_EQ(shot.x, 312);
    EXPECT_EQ(shot.hit_w, 16);
    EXPECT_EQ(shot.hit_h, 8);
    EXPECT_EQ(shot.w, 6);
    EXPECT_EQ(shot.h, 3);
    EXPECT_EQ(shot.y, 460 - 20 * 8);
    update_shots(run);
    EXPECT_EQ(shot.x, 312);
    EXPECT_EQ(shot.hit_w, 16);
}

TEST_F(ShipTest, ShotLeavingTheTopFreesItsSlot)
{
    fire_shot(run, 312, 20);
    update_shots(run); // y 12
    update_shots(run); // y 4, bottom 7
    EXPECT_EQ(run.player_shots[0].active, 1);
    update_shots(run); // y -4, bottom -1
    EXPECT_EQ(run.player_shots[0].active, 0);
    fire_shot(run, 250, 300);
    EXPECT_EQ(run.player_shots[0].active, 1);
    EXPECT_EQ(run.player_shots[0].x, 255);
    EXPECT_EQ(run.player_shots[0].kind, 0);
    EXPECT_EQ(run.player_shots[0].hit_w, 6);
}

TEST_F(ShipTest, WreckWithASpareShipComesBackWhereItWasLost)
{
    run.player_ship.x = 250;
    run.player_ship.y = 300;
    run.lives = 1;
    ship_hit(run, KIND_FIGHTER);
    ASSERT_EQ(run.ship_state, 5);
    // A wreck neither steers nor fires.
    input_of(run).dir_latch = 6;
    input_of(run).pressed_1 = 1;
    for (int i = 0; i < 154; i++)
        update_ship(run);
    EXPECT_EQ(run.ship_state, 159);
    EXPECT_EQ(run.lives, 1);
    EXPECT_EQ(run.player_shots[0].active, 0);
    EXPECT_EQ(run.player_ship.x, 250);
    update_ship(run);
    EXPECT_EQ(run.ship_state, 2);
    EXPECT_EQ(run.lives, 0);
    EXPECT_EQ(run.invincible_ticks, 90);
    EXPECT_EQ(run.player_ship.x, 250);
    EXPECT_EQ(run.player_ship.y, 300);
    // Steerable from the next tick on.
    update_ship(run);
    EXPECT_EQ(run.player_ship.x, 253);
    EXPECT_EQ(run.invincible_ticks, 89);
}

TEST_F(ShipTest, RespawnedShipIsInvulnerableFor90Ticks)
{
    run.lives = 1;
    ship_hit(run, KIND_FIGHTER);
    for (int i = 0; i < 155; i++)
        update_ship(run);
    ASSERT_EQ(run.invincible_ticks, 90);
    for (int i = 0; i < 89; i++) {
        update_ship(run);
        ship_hit(run, KIND_FIGHTER);
        ASSERT_EQ(run.ship_state, 2) << "tick " << i + 1;
    }
    update_ship(run);
    EXPECT_EQ(run.invincible_ticks, 0);
    ship_hit(run, KIND_FIGHTER);
    EXPECT_EQ(run.ship_state, 5);
}

TEST_F(ShipTest, LastWreckEndsTheRun246TicksAfterTheHit)
{
    expect_last_wreck_ends_the_run(PHASE_STAGE, KIND_BOSS_SHOT, [&] { update_ship(run); });
    EXPECT_EQ(game_transition(run), TRANSITION_TITLE);
}

TEST_F(ShipTest, OnlyHurtingKindsWreckTheShip)
{
    // Every kind but the explosion. 9 names no kind and is never spawned: like every number without a
    // row in the table of kinds, it hurts nothing.
    const bool wrecks[13] = {false, true, true, true, true, true, true, true, true, false, false, false, false};
    for (uint16_t kind = 0; kind <= 12; kind++) {
        run.ship_state = 2;
        ship_hit(run, kind);
        EXPECT_EQ(run.ship_state, wrecks[kind] ? 5 : 2) << "kind " << kind;
    }
    // A wreck is not hit again: its count goes on.
    run.ship_state = 50;
    ship_hit(run, KIND_FIGHTER);
    EXPECT_EQ(run.ship_state, 50);
}

TEST_F(ShipTest, ContactWithTheHitBoxOnly)
{
    // The ship at (312, 460) can be hit only in x 317..321, y 465..471.
    spawn(321, 449, KIND_FIGHTER); // right edge 337, bottom 465: touches the top edge only
    collide_ship(run);
    EXPECT_EQ(run.ship_state, 3); // as the run started: not a wreck
    run.actor_pool[0].y = 450;
    collide_ship(run);
    EXPECT_EQ(run.ship_state, 5);
}

TEST_F(ShipTest, InvulnerableShipIsNotWreckedByContact)
{
    run.invincible_ticks = 1;
    spawn(312, 460, KIND_HUNTER);
    collide_ship(run);
    EXPECT_EQ(run.ship_state, 3);
    // At the start of a run the ship is not invulnerable.
    run.invincible_ticks = 0;
    collide_ship(run);
    EXPECT_EQ(run.ship_state, 5);
}

TEST_F(ShipDrawTest, ShipBlinksWhileInvulnerable)
{
    run.invincible_ticks = 0;
    draw_ship(run);
    run.invincible_ticks = 7;
    draw_ship(run);
    run.invincible_ticks = 6;
    run.ship_state = 4;
    draw_ship(run);
    std::vector<RecordedDraw> sprites = draws_of(DRAW_SPRITE);
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(sprites[0].sheet, 1);
    EXPECT_EQ(sprites[0].frame, 3); // ship_state as the run started
    EXPECT_EQ(sprites[0].x, 312);
    EXPECT_EQ(sprites[0].y, 460);
    EXPECT_EQ(sprites[1].frame, 4);
}

TEST_F(ShipDrawTest, WreckFramesAndGameOverText)
{
    const int counts[] = {5, 20, 21, 36, 37, 52, 53, 63};
    const int frames[] = {5, 5, 6, 6, 7, 7, 8, 8};
    run.lives = 0;
    for (int k = 0; k < 8; k++) {
        recorded_draws().clear();
        run.ship_state = static_cast<uint8_t>(counts[k]);
        draw_ship(run);
        std::vector<RecordedDraw> sprites = draws_of(DRAW_SPRITE);
        ASSERT_EQ(sprites.size(), 1u);
        EXPECT_EQ(sprites[0].frame, frames[k]) << "count " << counts[k];
        EXPECT_EQ(sprites[0].x, 312);
        EXPECT_EQ(find_text("g a m e   o v e r"), nullptr);
    }
    recorded_draws().clear();
    run.ship_state = 64;
    draw_ship(run);
    expect_one_sprite(12, 314, 462);
    const RecordedDraw *text = find_text("g a m e   o v e r");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->x, 250);
    EXPECT_EQ(text->y, 200);
    // With a spare ship left there is no game-over text.
    recorded_draws().clear();
    run.lives = 1;
    run.ship_state = 100;
    draw_ship(run);
    EXPECT_EQ(find_text("g a m e   o v e r"), nullptr);
}

} // namespace
