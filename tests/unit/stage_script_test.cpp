// stage_script_test.cpp: whole runs through game_update with the ship kept out of harm: the
// countdown, the timetable of spawns in normal and hard runs, their slot order, and the run's setup.
#include "game_fixture.h"

#include "actors/actor.h"

namespace {

// A spawn of the stage script as seen at the end of the tick it happened in.
struct SeenSpawn {
    uint32_t run_tick; // ticks since game_init, 1 for the first game_update
    uint16_t slot;
    uint16_t kind;
    int x, y; // the spawn point
};

class StageScriptTest : public GameTest {
  protected:
    // Runs ticks of the run, recording every fighter, hunter and boss that appears in a slot that was
    // free before the tick (the script spawns before anything else can take a slot).
    void run_until(uint32_t last_tick)
    {
        while (run_tick < last_tick) {
            static uint8_t was_active[actor_pool_size];
            for (uint16_t i = 0; i < actor_pool_size; i++)
                was_active[i] = run.actor_pool[i].active;
            safe_tick();
            run_tick++;
            for (uint16_t i = 0; i < actor_pool_size; i++) {
                const Actor &a = run.actor_pool[i];
                if (was_active[i] || !a.active)
                    continue;
                if (a.kind == KIND_FIGHTER || a.kind == KIND_BOSS)
                    seen.push_back({run_tick, i, a.kind, a.origin_x, a.origin_y});
                else if (a.kind == KIND_HUNTER) // it has slid 1 pixel toward the ship at x 312
                    seen.push_back({run_tick, i, a.kind, a.x < 312 ? a.x - 1 : a.x + 1, a.y});
            }
        }
    }

    std::vector<SeenSpawn> spawns_in(uint32_t tick) const
    {
        std::vector<SeenSpawn> out;
        for (const SeenSpawn &s : seen)
            if (s.run_tick == tick)
                out.push_back(s);
        return out; // in slot order, which is spawn order
    }

    int count_of(uint16_t kind) const
    {
        int n = 0;
        for (const SeenSpawn &s : seen)
            n += s.kind == kind;
        return n;
    }

    uint32_t run_tick = 0;
    std::vector<SeenSpawn> seen;
};

TEST_F(StageScriptTest, CountdownLasts210TicksThenTheStageCountsFromZero)
{
    run_until(209);
    EXPECT_EQ(run.game_phase, PHASE_COUNTDOWN);
    EXPECT_EQ(run.game_tick, 209u);
    run_until(210);
    EXPECT_EQ(run.game_phase, PHASE_STAGE);
    EXPECT_EQ(run.game_tick, 0u);
    run_until(211);
    EXPECT_EQ(run.game_tick, 1u);
    EXPECT_TRUE(seen.empty());
}

TEST_F(StageScriptTest, NormalRunFirstFighterAndBoss)
{
    run_until(1410);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().run_tick, 240u);
    EXPECT_EQ(seen.front().kind, KIND_FIGHTER);
    EXPECT_EQ(seen.front().x, 210);
    EXPECT_EQ(seen.front().y, -8);
    const SeenSpawn &last = seen.back();
    EXPECT_EQ(last.run_tick, 1410u);
    EXPECT_EQ(last.kind, KIND_BOSS);
    EXPECT_EQ(last.x, 308);
    EXPECT_EQ(last.y, -8);
    EXPECT_EQ(count_of(KIND_BOSS), 1);
    EXPECT_EQ(count_of(KIND_HUNTER), 4);
    EXPECT_EQ(count_of(KIND_FIGHTER), 5 + 5 + 9 + 9);
    // Nothing is spawned between the last row and the boss.
    for (const SeenSpawn &s : seen)
        EXPECT_TRUE(s.run_tick <= 210 + 650 || s.run_tick == 1410) << s.run_tick;
}

TEST_F(StageScriptTest, RowsOfNineFightersAcrossTheTop)
{
    run_until(210 + 650);
    const int row_x[] = {200, 225, 251, 276, 302, 327, 353, 378, 404};
    for (uint32_t tick : {210u + 550u, 210u + 650u}) {
        std::vector<SeenSpawn> row = spawns_in(tick);
        ASSERT_EQ(row.size(), 9u) << tick;
        for (size_t k = 0; k < row.size(); k++) {
            EXPECT_EQ(row[k].x, row_x[k]) << tick;
            EXPECT_EQ(row[k].y, 0);
            if (k > 0) {
                EXPECT_LT(row[k - 1].slot, row[k].slot);
            }
        }
    }
}

TEST_F(StageScriptTest, HardRunStreamComesFirstWithinATick)
{
    start_game(true);
    run_until(210 + 900);
    std::vector<SeenSpawn> at60 = spawns_in(210 + 60);
    ASSERT_EQ(at60.size(), 2u);
    EXPECT_EQ(at60[0].x, 326);
    EXPECT_EQ(at60[0].y, -8);
    EXPECT_EQ(at60[1].x, 210);
    EXPECT_EQ(at60[1].y, -8);
    std::vector<SeenSpawn> at240 = spawns_in(210 + 240);
    ASSERT_EQ(at240.size(), 2u);
    EXPECT_EQ(at240[0].x, 326);
    EXPECT_EQ(at240[1].x, 424);
    EXPECT_TRUE(spawns_in(210 + 900).empty());
    EXPECT_EQ(spawns_in(210 + 880).size(), 1u);
}

TEST_F(StageScriptTest, HardRunStreamOf44Fighters)
{
    start_game(true);
    run_until(210 + 1000);
    std::vector<int> stream_x;
    for (const SeenSpawn &s : seen)
        if (s.kind == KIND_FIGHTER && s.y == -8 && (s.x == 280 || s.x == 326))
            stream_x.push_back(s.x);
    ASSERT_EQ(stream_x.size(), 44u);
    const int first_ten[] = {326, 280, 326, 326, 280, 326, 280, 280, 326, 280};
    for (int k = 0; k < 10; k++)
        EXPECT_EQ(stream_x[k], first_ten[k]) << k;
    EXPECT_EQ(count_of(KIND_FIGHTER), 44 + 28);
}

TEST_F(StageScriptTest, ScriptSpawnsSeeTheShipBeforeItsMove)
{
    run_until(239);
    // The ship steps right in the tick of the first spawn; the fighter aims where it stood before.
    input_of(run).dir_latch = 6;
    run_until(240);
    ASSERT_EQ(run.player_ship.x, 315);
    std::vector<SeenSpawn> first = spawns_in(240);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(run.actor_pool[first[0].slot].angle, 802);
}

TEST_F(StageScriptTest, LosingTheLastShipEndsTheEnding)
{
    expect_last_wreck_ends_the_run(PHASE_ENDING, KIND_DEBRIS, [&] { game_update(run); });
}

TEST_F(StageScriptTest, BothButtonsMakeAHardRun)
{
    EXPECT_EQ(run.hard_mode, 0);
    EXPECT_EQ(run.lives, 3);
    start_game(true);
    EXPECT_EQ(run.hard_mode, 1);
    EXPECT_EQ(run.lives, 2);
    // Button 3 without button 1 is a normal run.
    input_of(run).held_3 = 1;
    game_init(run);
    EXPECT_EQ(run.hard_mode, 0);
    EXPECT_EQ(run.lives, 3);
}

TEST_F(StageScriptTest, ARunStartsWithAFreshShip)
{
    // What a run that ended in a wreck leaves behind.
    run.player_ship.x = 250;
    run.player_ship.y = 100;
    run.ship_state = 200;
    run.invincible_ticks = 40;
    run.lives = 0;
    fire_shot(run, 250, 100);
    start_game(false);
    EXPECT_EQ(run.player_ship.x, 312);
    EXPECT_EQ(run.player_ship.y, 460);
    EXPECT_EQ(run.ship_state, 3);
    EXPECT_EQ(run.invincible_ticks, 0);
    EXPECT_EQ(run.lives, 3);
    for (const Actor &shot : run.player_shots)
        EXPECT_EQ(shot.active, 0);
    // The first tick's steering replaces the start state.
    input_of(run).dir_latch = 5;
    game_update(run);
    EXPECT_EQ(run.ship_state, ship_level);
}

TEST_F(StageScriptTest, HiScoreFollowsTheScoreInTheSameTick)
{
    run.hi_score = 50;
    run.score = 45;
    // A fighter sitting on a fresh shot is destroyed in this tick's collision pass.
    spawn(300, 200, KIND_FIGHTER);
    fire_shot(run, 300, 215);
    safe_tick();
    EXPECT_EQ(run.score, 155);
    EXPECT_EQ(run.hi_score, 155);
}

} // namespace
