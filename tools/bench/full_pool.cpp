// full_pool.cpp: builds the full-pool state with the spawner, as the stage script and the behaviours do.
#include "full_pool.h"

#include <algorithm>
#include <iterator>

#include "actors/angle_math.h"
#include "actors/pool.h"
#include "actors/spawner.h"
#include "runtime/input.h"
#include "scenes/game_scene.h"
#include "scenes/scene_manager.h"
#include "scenes/ship.h"

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

struct SavedState {
    Actor pool[actor_pool_size];
    Actor shots[player_shot_count];
    PlayerShip ship;
    uint8_t ship_state, lives, invincible_ticks, phase, hard;
    uint32_t tick;
    uint16_t score, hi_score;
};
SavedState saved;

void spawn_grid(int firing_fighters)
{
    int fighters = 0;
    for (uint16_t i = 0; i < actor_pool_size; i++) {
        int16_t x = static_cast<int16_t>(200 + grid_dx * (i % grid_columns));
        int16_t y = static_cast<int16_t>(grid_dy * (i / grid_columns));
        uint8_t kind = moving_kinds[i % std::size(moving_kinds)];
        // Shots take slot 0, a fighter, as their parent; debris takes its heading.
        spawn_actor(x, y, kind, kind == KIND_DEBRIS ? debris_heading : 0);
        Actor &actor = actor_pool[i];
        if (kind == KIND_FIGHTER && fighters++ < firing_fighters)
            actor.step = 8; // the next update reaches step 10 and fires a fan
    }
}

void fire_all_shots()
{
    // Spread over the playfield, each fired from its own spot as the ship would.
    for (int s = 0; s < player_shot_count; s++)
        fire_shot(static_cast<uint16_t>(204 + 7 * s), static_cast<uint16_t>(40 + 12 * s));
}

} // namespace

void build_full_pool(bool hard, int firing_fighters)
{
    build_trig_tables();
    init_input();
    input->dir_latch = 5; // no steering
    input->held_1 = 1;    // game_init reads the buttons that chose "start"
    input->held_3 = hard ? 1 : 0;
    game_init();
    input->held_1 = 0;
    input->held_3 = 0;
    game_phase = PHASE_STAGE;
    game_tick = quiet_stage_tick;
    spawn_grid(firing_fighters);
    fire_all_shots();

    std::copy(std::begin(actor_pool), std::end(actor_pool), saved.pool);
    std::copy(std::begin(player_shots), std::end(player_shots), saved.shots);
    saved.ship = player_ship;
    saved.ship_state = ship_state;
    saved.lives = lives;
    saved.invincible_ticks = invincible_ticks;
    saved.phase = game_phase;
    saved.hard = hard_mode;
    saved.tick = game_tick;
    saved.score = score;
    saved.hi_score = hi_score;
}

void restore_full_pool()
{
    std::copy(std::begin(saved.pool), std::end(saved.pool), actor_pool);
    std::copy(std::begin(saved.shots), std::end(saved.shots), player_shots);
    player_ship = saved.ship;
    ship_state = saved.ship_state;
    lives = saved.lives;
    invincible_ticks = saved.invincible_ticks;
    game_phase = saved.phase;
    hard_mode = saved.hard;
    game_tick = saved.tick;
    score = saved.score;
    hi_score = saved.hi_score;
}

int active_actor_count()
{
    int n = 0;
    for (const Actor &actor : actor_pool)
        n += actor.active ? 1 : 0;
    return n;
}

int active_shot_count()
{
    int n = 0;
    for (const Actor &shot : player_shots)
        n += shot.active ? 1 : 0;
    return n;
}
