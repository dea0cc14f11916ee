// game_scene.h: one run of the game: its phases, and the order of everything within a tick and a frame.
#pragma once

#include <cstdint>

#include "actors/actor.h"

struct Run;

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

int game_init(Run &run);
int game_update(Run &run);
int game_draw(Run &run);
uint8_t game_transition(Run &run);

// The pool walks: index order, 'active' tested on arrival.
void update_actors(Run &run);
void draw_actors(Run &run);
