// scene_state_guard.h: keeps the scenes' and the run's globals and puts them back.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "actors/pool.h"
#include "runtime/frame_clock.h"
#include "runtime/input.h"
#include "scenes/game_scene.h"
#include "scenes/scene_manager.h"
#include "scenes/ship.h"
#include "scenes/title_scene.h"

// Saves everything that the scene handlers and game_init write, and starts from the input record
// bound by init_input and the flag and scene state as at program start. The destructor restores.
class SceneStateGuard {
  public:
    SceneStateGuard()
    {
        saved.scene = current_scene;
        saved.hi = hi_score;
        saved.score_value = score;
        saved.phase = game_phase;
        saved.tick = game_tick;
        saved.hard = hard_mode;
        saved.ship = player_ship;
        saved.field = playfield;
        saved.state = ship_state;
        saved.spare = lives;
        saved.invincible = invincible_ticks;
        std::memcpy(saved.shots, player_shots, sizeof saved.shots);
        std::memcpy(saved_pool, actor_pool, sizeof saved_pool);
        saved.quit = quit_requested;
        saved.cursor = title_cursor;
        saved.blink = title_blink;
        std::memcpy(saved.records, input_states, sizeof saved.records);
        saved.record = input;

        init_input();
        quit_requested = 0;
        title_cursor = 0;
        title_blink = 0;
        hi_score = 0;
        install_title_scene();
    }

    ~SceneStateGuard()
    {
        current_scene = saved.scene;
        hi_score = saved.hi;
        score = saved.score_value;
        game_phase = saved.phase;
        game_tick = saved.tick;
        hard_mode = saved.hard;
        player_ship = saved.ship;
        playfield = saved.field;
        ship_state = saved.state;
        lives = saved.spare;
        invincible_ticks = saved.invincible;
        std::memcpy(player_shots, saved.shots, sizeof saved.shots);
        std::memcpy(actor_pool, saved_pool, sizeof saved_pool);
        quit_requested = saved.quit;
        title_cursor = saved.cursor;
        title_blink = saved.blink;
        std::memcpy(input_states, saved.records, sizeof saved.records);
        input = saved.record;
    }

  private:
    struct Saved {
        Scene scene;
        uint16_t hi, score_value;
        uint8_t phase;
        uint32_t tick;
        uint8_t hard;
        PlayerShip ship;
        Playfield field;
        uint8_t state, spare, invincible;
        Actor shots[player_shot_count];
        uint8_t quit, cursor, blink;
        InputState records[input_records];
        InputState *record;
    } saved{};
    static inline Actor saved_pool[actor_pool_size];
};

class SceneStateTest : public testing::Test {
  private:
    SceneStateGuard guard;
};
