// game_scene.h: one run of the game and the run's state, reset by game_init.
#pragma once

#include <cstdint>

#include "actors/actor.h"

// The player's ship and the playfield share the actors' leading box layout.
using PlayerShip = Box;
using Playfield = Box;

enum GamePhase : uint8_t {
    PHASE_COUNTDOWN = 0,
    PHASE_STAGE = 1,
    PHASE_ENDING = 2,
    PHASE_OVER = 255, // the transition returns to the title
};

constexpr uint32_t countdown_ticks = 210;

extern uint8_t game_phase;
extern uint32_t game_tick; // ticks since the current phase began
extern uint16_t score;     // wraps at 65536
extern uint8_t hard_mode;  // fixed for the whole run
extern PlayerShip player_ship;
extern Playfield playfield;

int game_init();
int game_update();
int game_draw();
uint8_t game_transition();

// The pool walks: index order, 'active' tested on arrival.
void update_actors();
void draw_actors();
