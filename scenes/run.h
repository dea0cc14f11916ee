// run.h: one run of the program as one value: everything a tick can change. Every function that reads
// or changes the run is handed it, so saving a run is a copy and any number of runs can exist at once
// (the score server checks many side by side). The trace prints these fields under their names.
#pragma once

#include <cstdint>

#include "actors/actor.h"
#include "actors/pool.h"
#include "runtime/frame_clock.h"
#include "runtime/input.h"
#include "scenes/game_scene.h"
#include "scenes/scene_manager.h"
#include "scenes/ship.h"

struct DrawTarget;

struct Run {
    // the scenes
    Scene current_scene = {};
    uint8_t title_cursor = 0; // 0 = "start", 1 = "end"
    uint8_t title_blink = 0;  // drawn frames of the title, wrapping at 256
    uint16_t hi_score = 0;    // kept for as long as the program runs, never stored

    // the game: reset by game_init
    uint8_t game_phase = 0;
    uint32_t game_tick = 0; // ticks since the current phase began
    uint16_t score = 0;     // wraps at 65536
    uint8_t hard_mode = 0;  // fixed for the whole run
    PlayerShip player_ship = {};
    Playfield playfield = {};
    uint8_t ship_state = 0;       // 0 to 4: alive, the steering frame of the last tick; 5 and above: the wreck counter
    uint8_t lives = 0;            // spare ships; the ship in play is not counted
    uint8_t invincible_ticks = 0; // ticks of invulnerability left after a respawn
    Actor player_shots[player_shot_count] = {}; // a shot's 'kind' field holds its age in ticks
    Actor actor_pool[actor_pool_size] = {};

    // the loop
    InputState input_states[input_records] = {};
    uint8_t input = 0; // the record the scenes read, by its index: a pointer would not survive a copy
    FrameClock frame_clock = {};
    uint8_t quit_requested = 0; // the loop ends after the tick in which it became non-zero

    // Where its frames are drawn: not part of its state, and never shared by two runs.
    DrawTarget *target = nullptr;
};

// The input record the scenes read.
inline InputState &input_of(Run &run) { return run.input_states[run.input]; }
inline const InputState &input_of(const Run &run) { return run.input_states[run.input]; }

// The index of a record of the run's pool. The pool's walks step a reference from record to record:
// with the browser build's loop optimisations, that is far cheaper than indexing the pool.
inline uint16_t pool_index(const Run &run, const Actor &actor)
{
    return static_cast<uint16_t>(&actor - run.actor_pool);
}
