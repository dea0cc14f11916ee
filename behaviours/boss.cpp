// boss.cpp: the boss's five phases, kept in its 'param': entry, orbit and stream, strike, rain,
// sinking. Leaving the playfield while the ship is alive ends the stage.
#include <iterator>

#include "actors/angle_math.h"
#include "actors/pool.h"
#include "actors/spawner.h"
#include "behaviours/behaviours.h"
#include "runtime/drawing.h"
#include "runtime/wrap16.h"
#include "scenes/run.h"

namespace {

// Entry: it sinks into view until its y passes this, then orbits a centre this far below it.
constexpr int16_t entry_end_y = 40;
constexpr int16_t orbit_below = 64;
constexpr int16_t orbit_hits = 20;
constexpr int16_t orbit_step = 60;
constexpr int16_t orbit_hard_step = 20;
constexpr int16_t orbit_radius = 64;
constexpr double orbit_normal_width = 89.6; // a normal run's orbit is an ellipse, 90 pixels wide each side

// Strike: 150 ticks of shimmer over four spots, the strike on the ship's quarter, hold until 210.
constexpr int16_t strike_hits = 10;
constexpr int16_t shimmer_ticks = 150;
constexpr int16_t drop_step = 180; // a normal run's drop; a hard run drops at the strike itself
constexpr int16_t cycle_end = 210;
constexpr int16_t spot_factor[4] = {-3, -1, +1, +3}; // far left, near left, near right, far right

// Rain and sinking.
constexpr int16_t rain_hits = 10;
constexpr uint16_t debris_heading = 758;
constexpr uint16_t debris_hard_heading = 718;
constexpr int16_t hover_ticks = 60;
constexpr int16_t sink_speed = 20;
constexpr int16_t sink_hard_speed = 12;

// The spots lie spacing x -3, -1, +1, +3 from the centre; a selector outside 0..3 (the ship's quarter
// can only be 0 to 3 while the ship stays in the playfield) is taken modulo 4.
int16_t spot_x(const Actor &boss)
{
    return wrap16(boss.origin_x + spot_factor[boss.anim & 3] * boss.angle);
}

void enter(Run &run, uint16_t i)
{
    Actor &boss = run.actor_pool[i];
    boss.y = wrap16(boss.y + 1);
    if (boss.y > entry_end_y) {
        boss.origin_x = boss.x;
        boss.origin_y = wrap16(boss.y + orbit_below);
        boss.param = BOSS_ORBIT;
        boss.angle = 256; // the top of the orbit, where the entry left it
        boss.anim = 0;
        boss.step = 0;
        boss.hp = orbit_hits;
    }
}

void orbit(Run &run, uint16_t i)
{
    Actor &boss = run.actor_pool[i];
    boss.angle = wrap16(boss.angle + (run.hard_mode ? orbit_hard_step : orbit_step));
    uint16_t heading = static_cast<uint16_t>(boss.angle);
    int32_t across;
    if (run.hard_mode) {
        across = fixed_product(cos_lookup(heading), orbit_radius);
    } else {
        // The orbit's one product is taken in double and truncated; everything else is fixed point.
        across = static_cast<int32_t>(cos_lookup(heading) * orbit_normal_width);
    }
    boss.x = wrap16(boss.origin_x + round_shift(across, 16));
    boss.angle = boss.angle & 1023;
    boss.y = wrap16(boss.origin_y + step_y(static_cast<uint16_t>(boss.angle), orbit_radius));

    // Its shots' spawn reads 'anim' (and 'step' in a hard run) to pick each shot's heading and image.
    int16_t shot_x = wrap16(boss.x + 5), shot_y = wrap16(boss.y + 5);
    if (run.hard_mode) {
        for (int16_t selector = 0; selector <= 2; selector++) {
            boss.anim = selector;
            spawn_actor(run, shot_x, shot_y, KIND_BOSS_SHOT, i);
        }
    } else if ((boss.step & 1) == 0) {
        spawn_actor(run, shot_x, shot_y, KIND_BOSS_SHOT, i);
        boss.anim = boss.anim == 0 ? 1 : 0;
    }
    boss.step = wrap16(boss.step + 1);

    // Only at the rightmost point of the orbit (angle exactly 0) does the strike phase begin.
    if (boss.hp == 0 && boss.angle == 0) {
        boss.param = BOSS_STRIKE;
        boss.angle = 0;
        boss.anim = 0;
        boss.step = 0;
        boss.hp = strike_hits;
    }
}

void strike(Run &run, uint16_t i)
{
    Actor &boss = run.actor_pool[i];
    if (boss.hp <= 0) {
        boss.x = boss.origin_x;
        boss.param = BOSS_RAIN;
        boss.angle = 0;
        boss.anim = rain_hits;
        return;
    }
    if (boss.step < shimmer_ticks) {
        // A different spot every tick while the spacing grows: four images drifting apart.
        boss.x = spot_x(boss);
        boss.anim = (boss.anim + 1) & 3;
        boss.angle = wrap16(boss.step * 32 / shimmer_ticks);
    } else if (boss.step == shimmer_ticks) {
        // The quarter of the playfield that holds the ship's left edge.
        boss.anim = wrap16((run.player_ship.x - run.playfield.x) / 60);
        boss.x = spot_x(boss);
        if (run.hard_mode)
            spawn_actor(run, boss.x, boss.y, KIND_BOSS_DROP, i);
    } else if (boss.step == drop_step) {
        if (!run.hard_mode)
            spawn_actor(run, boss.x, boss.y, KIND_BOSS_DROP, i);
    } else if (boss.step >= cycle_end) {
        boss.angle = 0;
        boss.anim = 0;
        boss.step = 0;
    }
    boss.step = wrap16(boss.step + 1);
}

void rain(Run &run, uint16_t i)
{
    Actor &boss = run.actor_pool[i];
    boss.angle = wrap16(boss.angle + 1);
    // Runs of 16 ticks out of every 32, each piece 4 pixels right of the last, wrapping across.
    if (boss.angle & 16) {
        int16_t x = wrap16(200 + (boss.angle * 4) % 240);
        spawn_actor(run, x, 0, KIND_DEBRIS, run.hard_mode ? debris_hard_heading : debris_heading);
    }
    if (boss.anim <= 0) {
        boss.param = BOSS_SINKING;
        boss.angle = hover_ticks;
    }
}

void sink(Run &run, uint16_t i)
{
    Actor &boss = run.actor_pool[i];
    if (run.hard_mode)
        boss.y = wrap16(boss.y + sink_hard_speed);
    else if (boss.angle > 0)
        boss.angle = wrap16(boss.angle - 1); // a normal run hovers first
    else
        boss.y = wrap16(boss.y + sink_speed);
    spawn_actor(run, wrap16(boss.x + 14), wrap16(boss.y + 10), KIND_EXPLOSION, i);
}

uint8_t boss_frame(const Actor &boss)
{
    switch (boss.param) {
    case BOSS_ENTRY:
        return 11;
    case BOSS_ORBIT:
        return (boss.angle > 64 && boss.angle < 192) ? 10 : 9;
    case BOSS_STRIKE:
        return boss.step < shimmer_ticks ? 10 : 11;
    case BOSS_RAIN:
        return (boss.angle & 1) ? 11 : 12; // it flickers every tick
    case BOSS_SINKING:
        return 22;
    default:
        return 0;
    }
}

} // namespace

int16_t boss_shot_selector(const Actor &boss) { return boss.anim; }

int16_t boss_shots_fired(const Actor &boss) { return boss.step; }

bool boss_is_hittable(const Actor &boss) { return !(boss.param == BOSS_STRIKE && boss.step < shimmer_ticks); }

void boss_spawn(Run &, Actor &boss, uint16_t)
{
    boss.origin_x = boss.x;
    boss.origin_y = boss.y;
    boss.param = BOSS_ENTRY;
}

void boss_update(Run &run, uint16_t i)
{
    // Each phase's update by its number; a boss whose 'param' names no phase stands still.
    constexpr ActorUpdate phase_updates[] = {enter, orbit, strike, rain, sink};
    static_assert(BOSS_ENTRY == 0 && BOSS_ORBIT == 1 && BOSS_STRIKE == 2 && BOSS_RAIN == 3 && BOSS_SINKING == 4);
    int16_t phase = run.actor_pool[i].param;
    if (phase >= 0 && phase < static_cast<int16_t>(std::size(phase_updates)))
        phase_updates[phase](run, i);
}

void boss_draw(Run &run, uint16_t i)
{
    const Actor &boss = run.actor_pool[i];
    if (boss.param < BOSS_ENTRY || boss.param > BOSS_SINKING)
        return;
    draw_sprite(*run.target, static_cast<uint16_t>(boss.x), static_cast<uint16_t>(boss.y), SHEET_ACTORS, boss_frame(boss));
}

void boss_event(Run &run, uint16_t i, uint16_t code)
{
    Actor &boss = run.actor_pool[i];
    if (code == EVENT_LEFT_PLAYFIELD) {
        // Not while the ship is being destroyed: the boss stays and is reported again next tick.
        if (run.ship_state < ship_first_wreck) {
            run.score = wrap_u16(run.score + 1000);
            run.game_phase = PHASE_ENDING;
            run.game_tick = 0;
            boss.active = 0;
        }
        return;
    }
    if (code != EVENT_SHOT_HIT)
        return;
    switch (boss.param) {
    case BOSS_ORBIT:
        if (boss.hp > 0)
            boss.hp = wrap16(boss.hp - 1);
        run.score = wrap_u16(run.score + 1); // also after the 20th hit, while it orbits on
        break;
    case BOSS_STRIKE:
        if (boss.hp > 0 && boss.step > shimmer_ticks) {
            boss.hp = wrap16(boss.hp - 1);
            run.score = wrap_u16(run.score + 1);
        }
        break;
    case BOSS_RAIN:
        if (boss.anim > 0) {
            boss.anim = wrap16(boss.anim - 1);
            run.score = wrap_u16(run.score + 1);
        }
        break;
    default:
        break; // entering and sinking, it cannot be damaged
    }
}
