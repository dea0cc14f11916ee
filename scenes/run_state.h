// run_state.h: every global that a tick can change, listed once, and their save and restore as a
// whole. The route finder tries several inputs from one moment with it, and the tests put the run back
// after themselves. A global that a tick changes belongs in this list: the round-trip test fails when
// one is missing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "actors/pool.h"
#include "runtime/frame_clock.h"
#include "runtime/input.h"
#include "runtime/main_loop.h"
#include "scenes/game_scene.h"
#include "scenes/scene_manager.h"
#include "scenes/ship.h"
#include "scenes/title_scene.h"

struct RunStatePart {
    void *address;
    size_t size;
};

// clang-format off
inline constexpr RunStatePart run_state_parts[] = {
    // the scenes
    {&current_scene,    sizeof current_scene},
    {&title_cursor,     sizeof title_cursor},
    {&title_blink,      sizeof title_blink},
    // the run
    {&game_phase,       sizeof game_phase},
    {&game_tick,        sizeof game_tick},
    {&score,            sizeof score},
    {&hi_score,         sizeof hi_score},
    {&hard_mode,        sizeof hard_mode},
    {&player_ship,      sizeof player_ship},
    {&playfield,        sizeof playfield},
    {&ship_state,       sizeof ship_state},
    {&lives,            sizeof lives},
    {&invincible_ticks, sizeof invincible_ticks},
    {&player_shots,     sizeof player_shots},
    {&actor_pool,       sizeof actor_pool},
    // the loop
    {&input_states,     sizeof input_states},
    {&input,            sizeof input},
    {&frame_clock,      sizeof frame_clock},
    {&quit_requested,   sizeof quit_requested},
};
// clang-format on

constexpr size_t run_state_size = [] {
    size_t total = 0;
    for (const RunStatePart &part : run_state_parts)
        total += part.size;
    return total;
}();

struct RunState {
    uint8_t bytes[run_state_size];
};

void save_run_state(RunState &state);
void restore_run_state(const RunState &state);
