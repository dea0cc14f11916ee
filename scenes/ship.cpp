// ship.cpp: steering, firing, the wreck counter and respawn, and the shots' flight.
#include "scenes/ship.h"

#include "actors/actor.h"
#include "actors/angle_math.h"
#include "runtime/drawing.h"
#include "runtime/input.h"
#include "runtime/wrap16.h"
#include "scenes/collisions.h"
#include "scenes/game_scene.h"

uint8_t ship_state = 0;
uint8_t lives = 0;
uint8_t invincible_ticks = 0;
Actor player_shots[player_shot_count];

namespace {

constexpr int16_t ship_speed = 3;
constexpr int16_t ship_fast_speed = 5; // while button 2 is held
constexpr int16_t shot_speed = 8;      // pixels per tick, upward

//  dir  heading  frame
constexpr Steering steering_table[10] = {
    {0, 2},   // 0: no direction yet
    {640, 1}, // 1: down-left
    {768, 2}, // 2: down
    {896, 3}, // 3: down-right
    {512, 0}, // 4: left
    {0, 2},   // 5: none (the ship does not move)
    {0, 4},   // 6: right
    {384, 1}, // 7: up-left
    {256, 2}, // 8: up
    {128, 3}, // 9: up-right
};

void count_wreck()
{
    ship_state += 1;
    if (ship_state < ship_respawn_count)
        return;
    if (lives > 0) {
        // The ship comes back where it was lost, level, and steerable from the next tick.
        ship_state = ship_level;
        lives -= 1;
        invincible_ticks = respawn_invincible_ticks;
    } else if (ship_state > ship_over_count) {
        game_phase = PHASE_OVER;
    }
}

void clamp_to_playfield()
{
    // Clamped by the image size, not the hit box: the whole sprite stays inside.
    if (player_ship.x < playfield.x)
        player_ship.x = playfield.x;
    if (player_ship.x + player_ship.w > playfield.x + playfield.w)
        player_ship.x = wrap16(playfield.x + playfield.w - player_ship.w);
    if (player_ship.y < playfield.y)
        player_ship.y = playfield.y;
    if (player_ship.y + player_ship.h > playfield.y + playfield.h)
        player_ship.y = wrap16(playfield.y + playfield.h - player_ship.h);
}

void steer(uint8_t dir)
{
    if (dir < 1 || dir > 9 || dir == 5) {
        ship_state = ship_level;
        return;
    }
    Steering steering = steering_of(dir);
    ship_state = steering.frame;
    int16_t speed = input->held_2 ? ship_fast_speed : ship_speed;
    player_ship.x = wrap16(player_ship.x + step_x(steering.heading, speed));
    player_ship.y = wrap16(player_ship.y + step_y(steering.heading, speed));
    clamp_to_playfield();
}

} // namespace

Steering steering_of(uint8_t dir) { return steering_table[dir < 10 ? dir : 5]; }

void update_ship()
{
    if (ship_state >= ship_first_wreck) {
        // A wreck tick does nothing else: no steering, no firing, no countdown of invulnerability.
        count_wreck();
        return;
    }
    steer(input->dir_latch);
    // One shot per press, also while not steering; no auto-fire.
    if (input->pressed_1)
        fire_shot(static_cast<uint16_t>(player_ship.x), static_cast<uint16_t>(player_ship.y));
    if (invincible_ticks > 0)
        invincible_ticks -= 1;
}

void fire_shot(uint16_t x, uint16_t y)
{
    for (Actor &shot : player_shots) {
        if (shot.active)
            continue;
        // Centred on the ship's centre line (ship x + 8) at the ship's top edge.
        shot.x = wrap16(x + 5);
        shot.y = static_cast<int16_t>(y);
        shot.w = 6;
        shot.h = 3;
        shot.hit_x = 0;
        shot.hit_y = 0;
        shot.hit_w = 6;
        shot.hit_h = 3;
        shot.kind = 0; // the age
        shot.active = 1;
        return;
    }
}

void update_shots()
{
    for (Actor &shot : player_shots) {
        if (!shot.active)
            continue;
        shot.kind = wrap_u16(shot.kind + 1);
        // The hit box grows about the same centre line; the image size stays 6 x 3.
        if (shot.kind == 10) {
            shot.x = wrap16(shot.x - 2);
            shot.hit_w = 10;
            shot.hit_h = 5;
        } else if (shot.kind == 20) {
            shot.x = wrap16(shot.x - 3);
            shot.hit_w = 16;
            shot.hit_h = 8;
        }
        shot.y = wrap16(shot.y - shot_speed);
        if (!overlaps(shot, playfield))
            shot.active = 0;
    }
}

void ship_hit(uint16_t kind)
{
    if (invincible_ticks > 0)
        return;
    // A wreck is not hit again. The wreck's first count happens in the next tick's update.
    if (kind_hurts_ship(kind) && ship_state < ship_first_wreck)
        ship_state = ship_first_wreck;
}

void draw_ship()
{
    uint16_t x = static_cast<uint16_t>(player_ship.x);
    uint16_t y = static_cast<uint16_t>(player_ship.y);
    if (ship_state < ship_first_wreck) {
        if (invincible_ticks % 2 == 0) // it blinks while invulnerable
            draw_sprite(x, y, SHEET_SHIP, ship_state);
    } else if (ship_state < 64) {
        draw_sprite(x, y, SHEET_SHIP, static_cast<uint8_t>(5 + (ship_state - 5) / 16));
    } else {
        draw_sprite(wrap_u16(x + 2), wrap_u16(y + 2), SHEET_SHIP, 12);
        if (lives == 0)
            draw_text(250, 200, "g a m e   o v e r");
    }
}

void draw_shots()
{
    for (const Actor &shot : player_shots) {
        if (!shot.active)
            continue;
        uint8_t frame = shot.kind < 10 ? 11 : shot.kind < 20 ? 10 : 9;
        draw_sprite(static_cast<uint16_t>(shot.x), static_cast<uint16_t>(shot.y), SHEET_SHIP, frame);
    }
}
