// ship.cpp: steering, firing, the wreck counter and respawn, and the shots' flight.
#include "scenes/ship.h"

#include "actors/actor.h"
#include "actors/angle_math.h"
#include "actors/kinds.h"
#include "runtime/drawing.h"
#include "runtime/wrap16.h"
#include "scenes/run.h"

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

void count_wreck(Run &run)
{
    run.ship_state += 1;
    if (run.ship_state < ship_respawn_count)
        return;
    if (run.lives > 0) {
        // The ship comes back where it was lost, level, and steerable from the next tick.
        run.ship_state = ship_level;
        run.lives -= 1;
        run.invincible_ticks = respawn_invincible_ticks;
    } else if (run.ship_state > ship_over_count) {
        run.game_phase = PHASE_OVER;
    }
}

void clamp_to_playfield(PlayerShip &ship, const Playfield &playfield)
{
    // Clamped by the image size, not the hit box: the whole sprite stays inside.
    if (ship.x < playfield.x)
        ship.x = playfield.x;
    if (ship.x + ship.w > playfield.x + playfield.w)
        ship.x = wrap16(playfield.x + playfield.w - ship.w);
    if (ship.y < playfield.y)
        ship.y = playfield.y;
    if (ship.y + ship.h > playfield.y + playfield.h)
        ship.y = wrap16(playfield.y + playfield.h - ship.h);
}

void steer(Run &run, uint8_t dir)
{
    if (dir < 1 || dir > 9 || dir == 5) {
        run.ship_state = ship_level;
        return;
    }
    Steering steering = steering_of(dir);
    run.ship_state = steering.frame;
    int16_t speed = input_of(run).held_2 ? ship_fast_speed : ship_speed;
    PlayerShip &ship = run.player_ship;
    ship.x = wrap16(ship.x + step_x(steering.heading, speed));
    ship.y = wrap16(ship.y + step_y(steering.heading, speed));
    clamp_to_playfield(ship, run.playfield);
}

} // namespace

Steering steering_of(uint8_t dir) { return steering_table[dir < 10 ? dir : 5]; }

void update_ship(Run &run)
{
    if (run.ship_state >= ship_first_wreck) {
        // A wreck tick does nothing else: no steering, no firing, no countdown of invulnerability.
        count_wreck(run);
        return;
    }
    steer(run, input_of(run).dir_latch);
    // One shot per press, also while not steering; no auto-fire.
    if (input_of(run).pressed_1)
        fire_shot(run, static_cast<uint16_t>(run.player_ship.x), static_cast<uint16_t>(run.player_ship.y));
    if (run.invincible_ticks > 0)
        run.invincible_ticks -= 1;
}

void fire_shot(Run &run, uint16_t x, uint16_t y)
{
    for (Actor &shot : run.player_shots) {
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

void update_shots(Run &run)
{
    for (Actor &shot : run.player_shots) {
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
        if (!overlaps(shot, run.playfield))
            shot.active = 0;
    }
}

void ship_hit(Run &run, uint16_t kind)
{
    if (run.invincible_ticks > 0)
        return;
    // A wreck is not hit again. The wreck's first count happens in the next tick's update.
    if (kind_hurts_ship(kind) && run.ship_state < ship_first_wreck)
        run.ship_state = ship_first_wreck;
}

void draw_ship(Run &run)
{
    DrawTarget &target = *run.target;
    uint16_t x = static_cast<uint16_t>(run.player_ship.x);
    uint16_t y = static_cast<uint16_t>(run.player_ship.y);
    if (run.ship_state < ship_first_wreck) {
        if (run.invincible_ticks % 2 == 0) // it blinks while invulnerable
            draw_sprite(target, x, y, SHEET_SHIP, run.ship_state);
    } else if (run.ship_state < 64) {
        draw_sprite(target, x, y, SHEET_SHIP, static_cast<uint8_t>(5 + (run.ship_state - 5) / 16));
    } else {
        draw_sprite(target, wrap_u16(x + 2), wrap_u16(y + 2), SHEET_SHIP, 12);
        if (run.lives == 0)
            draw_text(target, 250, 200, "g a m e   o v e r");
    }
}

void draw_shots(Run &run)
{
    for (const Actor &shot : run.player_shots) {
        if (!shot.active)
            continue;
        uint8_t frame = shot.kind < 10 ? 11 : shot.kind < 20 ? 10 : 9;
        draw_sprite(*run.target, static_cast<uint16_t>(shot.x), static_cast<uint16_t>(shot.y), SHEET_SHIP, frame);
    }
}
