// hunter.cpp: the hunter and its beam: slide, line up, dive, fire, recoil.
#include "actors/pool.h"
#include "actors/spawner.h"
#include "behaviours/behaviours.h"
#include "runtime/drawing.h"
#include "runtime/wrap16.h"
#include "scenes/game_scene.h"

namespace {

constexpr int16_t fire_cooldown = 15;  // updates between two beams
constexpr int16_t recoil_speed = -3;   // vertical speed from the first hit on: it climbs
constexpr int16_t beam_speed = 10;
constexpr int16_t beam_hard_speed = 18;

// Lined up: the ship's x lies less than one hunter width to either side of the hunter's.
bool lined_up_with_ship(const Actor &hunter)
{
    return hunter.x - hunter.w < player_ship.x && player_ship.x + player_ship.w < hunter.x + 2 * hunter.w;
}

} // namespace

void hunter_update(uint16_t i)
{
    Actor &hunter = actor_pool[i];
    hunter.param = hunter.param == 0 ? 1 : 0; // image toggle

    // origin_x is the mode: 0 sliding toward the ship, 1 diving; origin_y the fire cooldown.
    if (hunter.origin_x == 0) {
        if (hunter.x < player_ship.x)
            hunter.x = wrap16(hunter.x + hunter.angle);
        else
            hunter.x = wrap16(hunter.x - hunter.angle);
        if (lined_up_with_ship(hunter))
            hunter.origin_x = 1; // it never fires in the update in which it starts diving
        return;
    }
    hunter.y = wrap16(hunter.y + hunter.anim);
    if (hunter.origin_y == 0) {
        // A cooldown that has run out stays at 0 until the ship is under the hunter again.
        if (lined_up_with_ship(hunter)) {
            spawn_actor(wrap16(hunter.x + 8), hunter.y, KIND_BEAM_SHOT, i);
            hunter.origin_y = fire_cooldown;
        }
    } else {
        hunter.origin_y = wrap16(hunter.origin_y - 1);
    }
}

void hunter_draw(uint16_t i)
{
    const Actor &hunter = actor_pool[i];
    draw_sprite(static_cast<uint16_t>(hunter.x), static_cast<uint16_t>(hunter.y), SHEET_ACTORS,
                wrap_u8(2 + static_cast<uint8_t>(hunter.param)));
}

void hunter_event(uint16_t i, uint16_t code)
{
    Actor &hunter = actor_pool[i];
    if (code == EVENT_LEFT_PLAYFIELD) {
        hunter.active = 0;
    } else if (code == EVENT_SHOT_HIT) {
        // Its hits are kept in 'step'; a hit hunter climbs instead of diving.
        hunter.step = wrap16(hunter.step - 1);
        hunter.anim = recoil_speed;
        score = wrap_u16(score + 10);
        if (hunter.step == 0) {
            score = wrap_u16(score + 120);
            hunter.active = 0;
            spawn_actor(wrap16(hunter.x + 3), wrap16(hunter.y + 3), KIND_EXPLOSION, i);
        }
    }
}

void beam_shot_update(uint16_t i)
{
    Actor &beam = actor_pool[i];
    beam.y = wrap16(beam.y + (hard_mode ? beam_hard_speed : beam_speed));
    beam.origin_x = beam.origin_x == 0 ? 1 : 0; // image toggle
}

void beam_shot_draw(uint16_t i)
{
    const Actor &beam = actor_pool[i];
    draw_sprite(static_cast<uint16_t>(beam.x), static_cast<uint16_t>(beam.y), SHEET_ACTORS,
                wrap_u8(7 + static_cast<uint8_t>(beam.origin_x)));
}

void beam_shot_event(uint16_t i, uint16_t code)
{
    if (code == EVENT_LEFT_PLAYFIELD)
        actor_pool[i].active = 0;
}
