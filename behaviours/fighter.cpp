// fighter.cpp: the fighter and its fans of aimed shots, and the explosion every destroyed enemy
// leaves behind.
#include "actors/pool.h"
#include "actors/spawner.h"
#include "behaviours/behaviours.h"
#include "behaviours/path.h"
#include "runtime/drawing.h"
#include "scenes/game_scene.h"

namespace {

constexpr int16_t fighter_speed = 2;          // pixels per tick along its heading
constexpr int16_t first_fan_distance = 10;    // 'step' after the update that fires the first fan
constexpr int16_t second_fan_distance = 22;   // and the second, in a hard run
constexpr int16_t aimed_shot_speed = 4;
constexpr int16_t aimed_shot_hard_speed = 8;
constexpr int16_t explosion_lifetime = 31;    // updates

// Spread selectors of one fan in firing order; the spawner turns each into aim plus a spread.
constexpr int16_t normal_fan[] = {2, 1, 0};
constexpr int16_t hard_fan[] = {4, 3, 2, 1, 0};

void fire_fan(uint16_t i)
{
    Actor &fighter = actor_pool[i];
    auto fire = [&](const auto &selectors) {
        for (int16_t selector : selectors) {
            fighter.param = selector;
            spawn_actor(fighter.x, fighter.y, KIND_AIMED_SHOT, i);
        }
    };
    if (hard_mode)
        fire(hard_fan);
    else
        fire(normal_fan);
}

} // namespace

void fighter_update(uint16_t i)
{
    Actor &fighter = actor_pool[i];
    place_on_path(fighter, fighter.angle, fighter.step);
    fighter.step = wrap16(fighter.step + fighter_speed);
    if (fighter.step == first_fan_distance)
        fire_fan(i);
    if (fighter.step == second_fan_distance && hard_mode)
        fire_fan(i);
    fighter.anim = (fighter.anim + 1) & 7;
}

void fighter_draw(uint16_t i)
{
    const Actor &fighter = actor_pool[i];
    draw_sprite(static_cast<uint16_t>(fighter.x), static_cast<uint16_t>(fighter.y), SHEET_ACTORS,
                static_cast<uint8_t>(fighter.anim >> 2));
}

void fighter_event(uint16_t i, uint16_t code)
{
    Actor &fighter = actor_pool[i];
    if (code == EVENT_LEFT_PLAYFIELD) {
        fighter.active = 0;
    } else if (code == EVENT_SHOT_HIT) {
        fighter.hp = wrap16(fighter.hp - 1);
        score = wrap_u16(score + 10);
        if (fighter.hp < 1) {
            // Freed before the explosion is spawned, so the explosion may take this very slot.
            fighter.active = 0;
            spawn_actor(wrap16(fighter.x + 3), wrap16(fighter.y + 3), KIND_EXPLOSION, i);
            score = wrap_u16(score + 100);
        }
    }
}

void aimed_shot_update(uint16_t i)
{
    Actor &shot = actor_pool[i];
    place_on_path(shot, shot.param, shot.angle);
    shot.angle = wrap16(shot.angle + (hard_mode ? aimed_shot_hard_speed : aimed_shot_speed));
    shot.anim = (shot.anim + 1) & 7;
}

void aimed_shot_draw(uint16_t i)
{
    const Actor &shot = actor_pool[i];
    draw_sprite(static_cast<uint16_t>(shot.x), static_cast<uint16_t>(shot.y), SHEET_ACTORS,
                static_cast<uint8_t>(5 + (shot.anim >> 2)));
}

void aimed_shot_event(uint16_t i, uint16_t code)
{
    if (code == EVENT_LEFT_PLAYFIELD)
        actor_pool[i].active = 0;
}

void explosion_update(uint16_t i)
{
    Actor &explosion = actor_pool[i];
    explosion.origin_x = wrap16(explosion.origin_x + 1); // its age
    if (explosion.origin_x == explosion_lifetime)
        explosion.active = 0;
}

void explosion_draw(uint16_t i)
{
    const Actor &explosion = actor_pool[i];
    draw_sprite(static_cast<uint16_t>(explosion.x), static_cast<uint16_t>(explosion.y), SHEET_ACTORS,
                wrap_u8(18 + (explosion.origin_x >> 3)));
}

void explosion_event(uint16_t, uint16_t)
{
    // Its age alone ends it: it is never removed for leaving the playfield. Its size and hit box are
    // whatever the slot's previous occupant left, and no pass lets them matter.
}
