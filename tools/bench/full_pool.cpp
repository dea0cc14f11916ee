// full_pool.cpp: builds the full-pool state with the spawner, as the stage script and the behaviours do.
#include "full_pool.h"

#include <algorithm>
#include <iterator>

#include "actors/spawner.h"
#include "scenes/run.h"

namespace {

// The moving kinds, taken in turn slot by slot.
constexpr uint8_t moving_kinds[] = {KIND_FIGHTER,   KIND_AIMED_SHOT, KIND_HUNTER,
                                    KIND_BEAM_SHOT, KIND_DEBRIS,     KIND_BOSS_SHOT};
constexpr uint16_t debris_heading = 758;    // the boss's rain heading
constexpr uint32_t quiet_stage_tick = 2000; // past the stage script's last spawn

// A 25 x 40 grid over the playfield above the ship: x 200 to 416, y 0 to 429. Every image stays
// inside the playfield after one tick of movement, so no actor is culled.
constexpr int grid_columns = 25;
constexpr int16_t grid_dx = 9, grid_dy = 11;

void spawn_grid(Run &run, int firing_fighters)
{
    int fighters = 0;
    for (uint16_t i = 0; i < actor_pool_size; i++) {
        int16_t x = static_cast<int16_t>(200 + grid_dx * (i % grid_columns));
        int16_t y = static_cast<int16_t>(grid_dy * (i / grid_columns));
        uint8_t kind = moving_kinds[i % std::size(moving_kinds)];
        // Shots take slot 0, a fighter, as their parent; debris takes its heading.
        spawn_actor(run, x, y, kind, kind == KIND_DEBRIS ? debris_heading : 0);
        Actor &actor = run.actor_pool[i];
        if (kind == KIND_FIGHTER && fighters++ < firing_fighters)
            actor.step = 8; // the next update reaches step 10 and fires a fan
    }
}

void fire_all_shots(Run &run)
{
    // Spread over the playfield, each fired from its own spot as the ship would.
    for (int s = 0; s < player_shot_count; s++)
        fire_shot(run, static_cast<uint16_t>(204 + 7 * s), static_cast<uint16_t>(40 + 12 * s));
}

} // namespace

void build_full_pool(Run &run, bool hard, int firing_fighters)
{
    init_input(run.input_states);
    InputState &input = input_of(run);
    input.dir_latch = 5; // no steering
    input.held_1 = 1;    // game_init reads the buttons that chose "start"
    input.held_3 = hard ? 1 : 0;
    game_init(run);
    input.held_1 = 0;
    input.held_3 = 0;
    run.game_phase = PHASE_STAGE;
    run.game_tick = quiet_stage_tick;
    spawn_grid(run, firing_fighters);
    fire_all_shots(run);
}

int active_actor_count(const Run &run)
{
    int n = 0;
    for (const Actor &actor : run.actor_pool)
        n += actor.active ? 1 : 0;
    return n;
}

int active_shot_count(const Run &run)
{
    int n = 0;
    for (const Actor &shot : run.player_shots)
        n += shot.active ? 1 : 0;
    return n;
}
