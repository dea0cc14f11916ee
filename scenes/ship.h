// ship.h: the player's ship and its shots.
#pragma once

#include <cstdint>

struct Run;

constexpr uint8_t ship_level = 2;           // the steering frame when not moving sideways
constexpr uint8_t ship_start_state = 3;     // what game_init leaves in ship_state
constexpr uint8_t ship_first_wreck = 5;     // ship_state from here on is the wreck counter
constexpr uint8_t ship_respawn_count = 160; // the wreck count at which a spare ship comes back
constexpr uint8_t ship_over_count = 250;    // without a spare ship, a count above this ends the run
constexpr uint8_t respawn_invincible_ticks = 90;
constexpr int player_shot_count = 32;

void update_ship(Run &run);
void fire_shot(Run &run, uint16_t x, uint16_t y);
void update_shots(Run &run);
void ship_hit(Run &run, uint16_t kind);
void draw_ship(Run &run);
void draw_shots(Run &run);

// The keypad directions as the ship reads them: heading and steering frame.
struct Steering {
    uint16_t heading;
    uint8_t frame;
};
// The steering of a keypad direction other than 5 (1 to 9).
Steering steering_of(uint8_t dir);
