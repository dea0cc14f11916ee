// boss_projectiles.cpp: what the boss throws: debris from the top edge, its shots, and its drop.
#include "actors/pool.h"
#include "actors/spawner.h"
#include "behaviours/behaviours.h"
#include "behaviours/path.h"
#include "runtime/drawing.h"
#include "scenes/run.h"

namespace {

constexpr int16_t debris_speed = 6;
constexpr int16_t debris_hard_speed = 14;
constexpr int16_t boss_shot_speed = 10;
constexpr int16_t boss_shot_hard_speed = 2; // a hard run's boss shot is the slower one
constexpr int16_t boss_drop_speed = 10;
constexpr int16_t boss_drop_hard_speed = 30;

// Debris: 'param' its heading, 'angle' the distance flown. The boss shot: 'param' its heading, 'anim'
// the distance flown, 'angle' its image variant.
int16_t &debris_heading(Actor &debris) { return debris.param; }
int16_t &debris_distance(Actor &debris) { return debris.angle; }
int16_t &shot_heading(Actor &shot) { return shot.param; }
int16_t &shot_distance(Actor &shot) { return shot.anim; }
int16_t &shot_image(Actor &shot) { return shot.angle; }

// Heading and image of a boss shot, by the boss's shot selector (and its shot count in a hard run).
void write_boss_shot_heading(const Run &run, Actor &shot, const Actor &boss)
{
    int32_t aim = aim_heading(run, shot.x + 1, shot.y + 1);
    int16_t selector = boss_shot_selector(boss);
    if (!run.hard_mode) {
        if (selector == 0) {
            shot_heading(shot) = wrap16(aim - 32);
            shot_image(shot) = 0;
        } else {
            shot_heading(shot) = wrap16(aim + 32);
            shot_image(shot) = selector;
        }
        return;
    }
    switch (selector) {
    case 0:
        shot_heading(shot) = wrap16(aim + 60);
        shot_image(shot) = 0;
        break;
    case 1:
        shot_heading(shot) = wrap16(aim - 60);
        shot_image(shot) = 1;
        break;
    case 2:
        shot_heading(shot) = wrap16(aim);
        shot_image(shot) = wrap16(boss_shots_fired(boss) & 1);
        break;
    default:
        break; // neither field is written
    }
}

} // namespace

void debris_spawn(Run &, Actor &debris, uint16_t heading)
{
    start_path(debris);
    debris_heading(debris) = wrap16(heading);
    debris_distance(debris) = 0;
}

void debris_update(Run &run, uint16_t i)
{
    Actor &debris = run.actor_pool[i];
    fly_straight(debris, debris_heading(debris), debris_distance(debris),
                 run.hard_mode ? debris_hard_speed : debris_speed);
}

void debris_draw(Run &run, uint16_t i)
{
    const Actor &debris = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(debris.x), static_cast<uint16_t>(debris.y), SHEET_ACTORS, 4);
}

void debris_event(Run &run, uint16_t i, uint16_t code)
{
    if (code == EVENT_LEFT_PLAYFIELD)
        run.actor_pool[i].active = 0;
    else if (code == EVENT_SHOT_HIT)
        explode(run, i, 5); // shooting debris scores nothing
}

void boss_shot_spawn(Run &run, Actor &shot, uint16_t boss_index)
{
    start_path(shot);
    write_boss_shot_heading(run, shot, run.actor_pool[boss_index]);
    shot_distance(shot) = 0;
}

void boss_shot_update(Run &run, uint16_t i)
{
    Actor &shot = run.actor_pool[i];
    fly_straight(shot, shot_heading(shot), shot_distance(shot),
                 run.hard_mode ? boss_shot_hard_speed : boss_shot_speed);
}

void boss_shot_draw(Run &run, uint16_t i)
{
    Actor &shot = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(shot.x), static_cast<uint16_t>(shot.y), SHEET_ACTORS,
                wrap_u8(13 + static_cast<uint8_t>(shot_image(shot))));
}

void boss_drop_spawn(Run &, Actor &, uint16_t)
{
    // The drop writes no general field: it falls straight from where it is placed.
}

void boss_drop_update(Run &run, uint16_t i)
{
    Actor &drop = run.actor_pool[i];
    drop.y = wrap16(drop.y + (run.hard_mode ? boss_drop_hard_speed : boss_drop_speed)); // straight down
}

void boss_drop_draw(Run &run, uint16_t i)
{
    const Actor &drop = run.actor_pool[i];
    draw_sprite(*run.target, static_cast<uint16_t>(drop.x), static_cast<uint16_t>(drop.y), SHEET_ACTORS, 17);
}
