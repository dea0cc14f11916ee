// game_snapshot.cpp: copies the program's state out and back.
#include "game_snapshot.h"

#include <cstring>

#include "scenes/title_scene.h"

void take_snapshot(GameSnapshot &s)
{
    std::memcpy(s.actors, actor_pool, sizeof actor_pool);
    std::memcpy(s.shots, player_shots, sizeof player_shots);
    std::memcpy(s.inputs, input_states, sizeof input_states);
    s.ship = player_ship;
    s.field = playfield;
    s.ship_state = ship_state;
    s.lives = lives;
    s.invincible_ticks = invincible_ticks;
    s.game_phase = game_phase;
    s.hard_mode = hard_mode;
    s.title_cursor = title_cursor;
    s.title_blink = title_blink;
    s.quit = quit_requested;
    s.game_tick = game_tick;
    s.score = score;
    s.hi_score = hi_score;
    s.scene = current_scene;
    s.clock = frame_clock;
}

void restore_snapshot(const GameSnapshot &s)
{
    std::memcpy(actor_pool, s.actors, sizeof actor_pool);
    std::memcpy(player_shots, s.shots, sizeof player_shots);
    std::memcpy(input_states, s.inputs, sizeof input_states);
    player_ship = s.ship;
    playfield = s.field;
    ship_state = s.ship_state;
    lives = s.lives;
    invincible_ticks = s.invincible_ticks;
    game_phase = s.game_phase;
    hard_mode = s.hard_mode;
    title_cursor = s.title_cursor;
    title_blink = s.title_blink;
    quit_requested = s.quit;
    game_tick = s.game_tick;
    score = s.score;
    hi_score = s.hi_score;
    current_scene = s.scene;
    frame_clock = s.clock;
}
