// boss_projectiles.cpp: what the boss throws: debris from the top edge, its shots, and its drop.
#include "actors/pool.h"
#include "actors/spawner.h"
#include "behaviours/behaviours.h"
#include "behaviours/path.h"
#include "runtime/drawing.h"
#include "scenes/game_scene.h"

namespace {

constexpr int16_t debris_speed = 6;
constexpr int16_t debris_hard_speed = 14;
constexpr int16_t boss_shot_speed = 10;
constexpr int16_t boss_shot_hard_speed = 2; // a hard run's boss shot is the slower one
constexpr int16_t boss_drop_speed = 10;
constexpr int16_t boss_drop_hard_speed = 30;

void remove_when_outside(uint16_t i, uint16_t code)
{
    if (code == EVENT_LEFT_PLAYFIELD)
        actor_pool[i].active = 0;
}

} // namespace

void debris_update(uint16_t i)
{
    Actor &debris = actor_pool[i];
    place_on_path(debris, debris.param, debris.angle);
    debris.angle = wrap16(debris.angle + (hard_mode ? debris_hard_speed : debris_speed));
}

void debris_draw(uint16_t i)
{
    const Actor &debris = actor_pool[i];
    draw_sprite(static_cast<uint16_t>(debris.x), static_cast<uint16_t>(debris.y), SHEET_ACTORS, 4);
}

void debris_event(uint16_t i, uint16_t code)
{
    Actor &debris = actor_pool[i];
    if (code == EVENT_LEFT_PLAYFIELD) {
        debris.active = 0;
    } else if (code == EVENT_SHOT_HIT) {
        debris.active = 0; // shooting debris scores nothing
        spawn_actor(wrap16(debris.x + 5), wrap16(debris.y + 5), KIND_EXPLOSION, i);
    }
}

void boss_shot_update(uint16_t i)
{
    Actor &shot = actor_pool[i];
    place_on_path(shot, shot.param, shot.anim);
    shot.anim = wrap16(shot.anim + (hard_mode ? boss_shot_hard_speed : boss_shot_speed));
}

void boss_shot_draw(uint16_t i)
{
    const Actor &shot = actor_pool[i];
    // 'angle' is the image variant, 0 or 1.
    draw_sprite(static_cast<uint16_t>(shot.x), static_cast<uint16_t>(shot.y), SHEET_ACTORS,
                wrap_u8(13 + static_cast<uint8_t>(shot.angle)));
}

void boss_shot_event(uint16_t i, uint16_t code) { remove_when_outside(i, code); }

void boss_drop_update(uint16_t i)
{
    Actor &drop = actor_pool[i];
    drop.y = wrap16(drop.y + (hard_mode ? boss_drop_hard_speed : boss_drop_speed)); // straight down
}

void boss_drop_draw(uint16_t i)
{
    const Actor &drop = actor_pool[i];
    draw_sprite(static_cast<uint16_t>(drop.x), static_cast<uint16_t>(drop.y), SHEET_ACTORS, 17);
}

void boss_drop_event(uint16_t i, uint16_t code) { remove_when_outside(i, code); }
