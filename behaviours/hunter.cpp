// hunter.cpp: the hunter and its beam: slide, line up, dive, fire, recoil.
#include "actors/pool.h"
#include "actors/spawner.h"
#include "behaviours/behaviours.h"
#include "runtime/drawing.h"
#include "runtime/wrap16.h"
#include "scenes/run.h"

namespace {

constexpr int16_t fire_cooldown = 15;  // updates between two beams
constexpr int16_t recoil_speed = -3;   // vertical speed from the first hit on: it climbs
constexpr int16_t beam_speed = 10;
constexpr int16_t beam_hard_speed = 18;

enum HunterMode : int16_t { HUNTER_SLIDING = 0, HUNTER_DIVING = 1 };

// The hunter's fields: 'origin_x' its mode, 'origin_y' the fire cooldown, 'param' its image toggle,
// 'angle' its sliding speed, 'anim' its vertical speed, 'step' the hits it can still take.
int16_t &hunter_mode(Actor &hunter) { return hunter.origin_x; }
int16_t &fire_cooldown_left(Actor &hunter) { return hunter.origin_y; }
int16_t &image_toggle(Actor &hunter) { return hunter.param; }
int16_t &slide_speed(Actor &hunter) { return hunter.angle; }
int16_t &dive_speed(Actor &hunter) { return hunter.anim; }
int16_t &hits_left(Actor &hunter) { return hunter.step; }

// The beam's: 'origin_x' its image toggle.
int16_t &beam_toggle(Actor &beam) { return beam.origin_x; }

// Lined up: the ship's x lies less than one hunter width to either side of the hunter's.
bool lined_up_with_ship(const Run &run, const Actor &hunter)
{
    const PlayerShip &ship = run.player_ship;
    return hunter.x - hunter.w < ship.x && ship.x + ship.w < hunter.x + 2 * hunter.w;
}

} // namespace

void hunter_spawn(Run &, Actor &hunter, uint16_t)
{
    hunter_mode(hunter) = HUNTER_SLIDING;
    fire_cooldown_left(hunter) = 0;
    image_toggle(hunter) = 0;
    slide_speed(hunter) = 1;
    dive_speed(hunter) = 5;
    hits_left(hunter) = 3;
}

void hunter_update(Run &run, uint16_t i)
{
    Actor &hunter = run.actor_pool[i];
    image_toggle(hunter) = image_toggle(hunter) == 0 ? 1 : 0;

    if (hunter_mode(hunter) == HUNTER_SLIDING) {
        if (hunter.x < run.player_ship.x)
            hunter.x = wrap16(hunter.x + slide_speed(hunter));
        else
            hunter.x = wrap16(hunter.x - slide_speed(hunter));
        if (lined_up_with_ship(run, hunter))
            hunter_mode(hunter) = HUNTER_DIVING; // it never fires in the update in which it starts diving
        return;
    }
    hunter.y = wrap16(hunter.y + dive_speed(hunter));
    if (fire_cooldown_left(hunter) == 0) {
        // A cooldown that has run out stays at 0 until the ship is under the hunter again.
        if (lined_up_with_ship(run, hunter)) {
            spawn_actor(run, wrap16(hunter.x + 8), hunter.y, KIND_BEAM_SHOT, i);
            fire_cooldown_left(hunter) = fire_cooldown;
        }
    } else {
        fire_cooldown_left(hunter) = wrap16(fire_cooldown_left(hunter) - 1);
    }
}

void hunter_draw(Run &run, uint16_t i)
{
    Actor &hunter = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(hunter.x), static_cast<uint16_t>(hunter.y), SHEET_ACTORS,
                wrap_u8(2 + static_cast<uint8_t>(image_toggle(hunter))));
}

void hunter_event(Run &run, uint16_t i, uint16_t code)
{
    Actor &hunter = run.actor_pool[i];
    if (code == EVENT_LEFT_PLAYFIELD) {
        hunter.active = 0;
    } else if (code == EVENT_SHOT_HIT) {
        // A hit hunter climbs instead of diving.
        hits_left(hunter) = wrap16(hits_left(hunter) - 1);
        dive_speed(hunter) = recoil_speed;
        run.score = wrap_u16(run.score + 10);
        if (hits_left(hunter) == 0) {
            run.score = wrap_u16(run.score + 120);
            explode(run, i, 3);
        }
    }
}

void beam_shot_spawn(Run &, Actor &beam, uint16_t) { beam_toggle(beam) = 0; }

void beam_shot_update(Run &run, uint16_t i)
{
    Actor &beam = run.actor_pool[i];
    beam.y = wrap16(beam.y + (run.hard_mode ? beam_hard_speed : beam_speed));
    beam_toggle(beam) = beam_toggle(beam) == 0 ? 1 : 0;
}

void beam_shot_draw(Run &run, uint16_t i)
{
    Actor &beam = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(beam.x), static_cast<uint16_t>(beam.y), SHEET_ACTORS,
                wrap_u8(7 + static_cast<uint8_t>(beam_toggle(beam))));
}
