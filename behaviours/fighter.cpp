// fighter.cpp: the fighter and its fans of aimed shots, and the explosion every destroyed enemy
// leaves behind.
#include "actors/pool.h"
#include "actors/spawner.h"
#include "behaviours/behaviours.h"
#include "behaviours/path.h"
#include "runtime/drawing.h"
#include "scenes/run.h"

namespace {

constexpr int16_t fighter_speed = 2;          // pixels per tick along its heading
constexpr int16_t first_fan_distance = 10;    // 'step' after the update that fires the first fan
constexpr int16_t second_fan_distance = 22;   // and the second, in a hard run
constexpr int16_t aimed_shot_speed = 4;
constexpr int16_t aimed_shot_hard_speed = 8;
constexpr int16_t explosion_lifetime = 31;    // updates

// The fighter's fields: 'param' the spread selector of the next shot of its fan, 'angle' its heading,
// 'step' the distance flown, 'anim' its animation counter.
int16_t &fan_selector(Actor &fighter) { return fighter.param; }
int16_t &fighter_heading(Actor &fighter) { return fighter.angle; }
int16_t &fighter_distance(Actor &fighter) { return fighter.step; }

// The aimed shot's: 'param' its heading, 'angle' the distance flown. The explosion's: 'origin_x' its age.
int16_t &shot_heading(Actor &shot) { return shot.param; }
int16_t &shot_distance(Actor &shot) { return shot.angle; }
int16_t &explosion_age(Actor &explosion) { return explosion.origin_x; }

// Spread selectors of one fan in firing order; each shot's spawn turns its selector into aim plus a
// spread. A normal run knows selectors 0 to 2, a hard run 0 to 4.
constexpr int16_t normal_fan[] = {2, 1, 0};
constexpr int16_t hard_fan[] = {4, 3, 2, 1, 0};
constexpr int16_t aimed_shot_spread[] = {0, -32, +32, -128, +128};

void fire_fan(Run &run, uint16_t i)
{
    Actor &fighter = run.actor_pool[i];
    auto fire = [&](const auto &selectors) {
        for (int16_t selector : selectors) {
            fan_selector(fighter) = selector;
            spawn_actor(run, fighter.x, fighter.y, KIND_AIMED_SHOT, i);
        }
    };
    if (run.hard_mode)
        fire(hard_fan);
    else
        fire(normal_fan);
}

} // namespace

void fighter_spawn(Run &run, Actor &fighter, uint16_t)
{
    start_path(fighter);
    fan_selector(fighter) = 2; // the selector of the first shot of its fan
    fighter_heading(fighter) = wrap16(aim_heading(run, fighter.x + 8, fighter.y + 8));
    fighter.anim = 0;
    fighter_distance(fighter) = 0;
    fighter.hp = run.hard_mode ? 2 : 1;
}

void fighter_update(Run &run, uint16_t i)
{
    Actor &fighter = run.actor_pool[i];
    fly_straight(fighter, fighter_heading(fighter), fighter_distance(fighter), fighter_speed);
    if (fighter_distance(fighter) == first_fan_distance)
        fire_fan(run, i);
    if (fighter_distance(fighter) == second_fan_distance && run.hard_mode)
        fire_fan(run, i);
    fighter.anim = (fighter.anim + 1) & 7;
}

void fighter_draw(Run &run, uint16_t i)
{
    const Actor &fighter = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(fighter.x), static_cast<uint16_t>(fighter.y), SHEET_ACTORS,
                static_cast<uint8_t>(fighter.anim >> 2));
}

void fighter_event(Run &run, uint16_t i, uint16_t code)
{
    Actor &fighter = run.actor_pool[i];
    if (code == EVENT_LEFT_PLAYFIELD) {
        fighter.active = 0;
    } else if (code == EVENT_SHOT_HIT) {
        fighter.hp = wrap16(fighter.hp - 1);
        run.score = wrap_u16(run.score + 10);
        if (fighter.hp < 1) {
            explode(run, i, 3);
            run.score = wrap_u16(run.score + 100);
        }
    }
}

void explode(Run &run, uint16_t i, int16_t offset)
{
    Actor &enemy = run.actor_pool[i];
    enemy.active = 0; // freed first, so the explosion may take this very slot
    spawn_actor(run, wrap16(enemy.x + offset), wrap16(enemy.y + offset), KIND_EXPLOSION, i);
}

void aimed_shot_spawn(Run &run, Actor &shot, uint16_t parent)
{
    start_path(shot);
    // Any other selector leaves the heading unwritten.
    int16_t selector = fan_selector(run.actor_pool[parent]);
    int16_t selectors = run.hard_mode ? 5 : 3;
    if (selector >= 0 && selector < selectors) {
        int32_t aim = aim_heading(run, shot.x + 3, shot.y + 4);
        shot_heading(shot) = wrap16(aim + aimed_shot_spread[selector]);
    }
    shot_distance(shot) = 0;
    shot.anim = 0;
}

void aimed_shot_update(Run &run, uint16_t i)
{
    Actor &shot = run.actor_pool[i];
    fly_straight(shot, shot_heading(shot), shot_distance(shot),
                 run.hard_mode ? aimed_shot_hard_speed : aimed_shot_speed);
    shot.anim = (shot.anim + 1) & 7;
}

void aimed_shot_draw(Run &run, uint16_t i)
{
    const Actor &shot = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(shot.x), static_cast<uint16_t>(shot.y), SHEET_ACTORS,
                static_cast<uint8_t>(5 + (shot.anim >> 2)));
}

void explosion_spawn(Run &, Actor &explosion, uint16_t) { explosion_age(explosion) = 0; }

void explosion_update(Run &run, uint16_t i)
{
    Actor &explosion = run.actor_pool[i];
    explosion_age(explosion) = wrap16(explosion_age(explosion) + 1);
    if (explosion_age(explosion) == explosion_lifetime)
        explosion.active = 0;
}

void explosion_draw(Run &run, uint16_t i)
{
    Actor &explosion = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(explosion.x), static_cast<uint16_t>(explosion.y), SHEET_ACTORS,
                wrap_u8(18 + (explosion_age(explosion) >> 3)));
}

void explosion_event(Run &, uint16_t, uint16_t)
{
    // Its age alone ends it: it is never removed for leaving the playfield. Its size and hit box are
    // whatever the slot's previous occupant left, and no pass lets them matter.
}

void remove_when_outside(Run &run, uint16_t i, uint16_t code)
{
    if (code == EVENT_LEFT_PLAYFIELD)
        run.actor_pool[i].active = 0;
}
