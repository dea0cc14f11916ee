// game_snapshot.h: a copy of every piece of the program's state that a tick can change, so that a
// search can try several inputs from the same moment.
#pragma once

#include "actors/pool.h"
#include "runtime/frame_clock.h"
#include "runtime/input.h"
#include "scenes/game_scene.h"
#include "scenes/scene_manager.h"
#include "scenes/ship.h"

struct GameSnapshot {
    Actor actors[actor_pool_size];
    Actor shots[player_shot_count];
    PlayerShip ship;
    Playfield field;
    uint8_t ship_state, lives, invincible_ticks, game_phase, hard_mode, title_cursor, title_blink, quit;
    uint32_t game_tick;
    uint16_t score, hi_score;
    InputState inputs[input_records];
    Scene scene;
    FrameClock clock;
};

void take_snapshot(GameSnapshot &snapshot);
void restore_snapshot(const GameSnapshot &snapshot);
