// spawner.cpp: the kinds table and the initial values each kind writes into its slot.
#include "actors/spawner.h"

#include <algorithm>
#include <iterator>

#include "actors/angle_math.h"
#include "actors/pool.h"
#include "behaviours/behaviours.h"
#include "runtime/wrap16.h"
#include "scenes/game_scene.h"

namespace {

// What every actor of a kind shares: its image size (the hit box is the whole image, from the
// top-left corner) and its handlers. The explosion writes no size: it keeps whatever the slot held.
struct KindRow {
    uint8_t kind;
    bool writes_box;
    int16_t w, h;
    ActorUpdate update;
    ActorDraw draw;
    ActorEvent event;
};

// clang-format off
//  kind              box    w   h   update              draw              event
constexpr KindRow kind_rows[] = {
    {KIND_FIGHTER,    true,  16, 16, fighter_update,    fighter_draw,    fighter_event},
    {KIND_AIMED_SHOT, true,  6,  7,  aimed_shot_update, aimed_shot_draw, aimed_shot_event},
    {KIND_HUNTER,     true,  16, 16, hunter_update,     hunter_draw,     hunter_event},
    {KIND_BEAM_SHOT,  true,  2,  16, beam_shot_update,  beam_shot_draw,  beam_shot_event},
    {KIND_DEBRIS,     true,  16, 16, debris_update,     debris_draw,     debris_event},
    {KIND_BOSS,       true,  26, 32, boss_update,       boss_draw,       boss_event},
    {KIND_BOSS_SHOT,  true,  3,  3,  boss_shot_update,  boss_shot_draw,  boss_shot_event},
    {KIND_BOSS_DROP,  true,  26, 32, boss_drop_update,  boss_drop_draw,  boss_drop_event},
    {KIND_EXPLOSION,  false, 0,  0,  explosion_update,  explosion_draw,  explosion_event},
};
// clang-format on
static_assert(std::is_sorted(std::begin(kind_rows), std::end(kind_rows),
                             [](const KindRow &a, const KindRow &b) { return a.kind < b.kind; }));

const KindRow *find_kind_row(uint8_t kind)
{
    for (const KindRow &row : kind_rows)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

// Spread of an aimed shot in heading steps, by the parent fighter's selector. A normal run knows
// selectors 0 to 2, a hard run 0 to 4; any other selector leaves the heading unwritten.
constexpr int16_t aimed_shot_spread[] = {0, -32, +32, -128, +128};

void write_aimed_shot_heading(Actor &shot, const Actor &parent)
{
    int16_t selector = parent.param;
    int16_t selectors = hard_mode ? 5 : 3;
    if (selector < 0 || selector >= selectors)
        return;
    int32_t aim = aim_heading(shot.x + 3, shot.y + 4);
    shot.param = wrap16(aim + aimed_shot_spread[selector]);
}

// Heading and image variant of a boss shot, by the boss's 'anim' (and its 'step' in a hard run).
void write_boss_shot_heading(Actor &shot, const Actor &boss)
{
    int32_t aim = aim_heading(shot.x + 1, shot.y + 1);
    int16_t selector = boss.anim;
    if (!hard_mode) {
        if (selector == 0) {
            shot.param = wrap16(aim - 32);
            shot.angle = 0;
        } else {
            shot.param = wrap16(aim + 32);
            shot.angle = selector;
        }
        return;
    }
    switch (selector) {
    case 0:
        shot.param = wrap16(aim + 60);
        shot.angle = 0;
        break;
    case 1:
        shot.param = wrap16(aim - 60);
        shot.angle = 1;
        break;
    case 2:
        shot.param = wrap16(aim);
        shot.angle = wrap16(boss.step & 1);
        break;
    default:
        break; // neither field is written
    }
}

// The seven general fields; a field a kind does not name keeps the slot's previous contents.
void write_kind_fields(Actor &actor, uint8_t kind, uint16_t parent)
{
    switch (kind) {
    case KIND_FIGHTER:
        actor.origin_x = actor.x;
        actor.origin_y = actor.y;
        actor.param = 2; // the selector of the first shot of its fan
        actor.angle = wrap16(aim_heading(actor.x + 8, actor.y + 8));
        actor.anim = 0;
        actor.step = 0;
        actor.hp = hard_mode ? 2 : 1;
        break;
    case KIND_AIMED_SHOT:
        actor.origin_x = actor.x;
        actor.origin_y = actor.y;
        write_aimed_shot_heading(actor, actor_pool[parent]);
        actor.angle = 0;
        actor.anim = 0;
        break;
    case KIND_HUNTER:
        actor.origin_x = 0;
        actor.origin_y = 0;
        actor.param = 0;
        actor.angle = 1;
        actor.anim = 5;
        actor.step = 3;
        break;
    case KIND_BEAM_SHOT:
        actor.origin_x = 0;
        break;
    case KIND_DEBRIS:
        actor.origin_x = actor.x;
        actor.origin_y = actor.y;
        actor.param = wrap16(parent); // for debris the fourth argument is its heading
        actor.angle = 0;
        break;
    case KIND_BOSS:
        actor.origin_x = actor.x;
        actor.origin_y = actor.y;
        actor.param = 0;
        break;
    case KIND_BOSS_SHOT:
        actor.origin_x = actor.x;
        actor.origin_y = actor.y;
        write_boss_shot_heading(actor, actor_pool[parent]);
        actor.anim = 0;
        break;
    case KIND_BOSS_DROP:
        break;
    case KIND_EXPLOSION:
        actor.origin_x = 0; // its age
        break;
    default:
        break;
    }
}

} // namespace

int32_t aim_heading(int32_t cx, int32_t cy)
{
    int32_t centre_x = player_ship.x + (player_ship.w >> 1);
    int32_t centre_y = player_ship.y + (player_ship.h >> 1);
    return heading_toward(cx, cy, centre_x, centre_y);
}

void spawn_actor(int16_t x, int16_t y, uint8_t kind, uint16_t parent)
{
    uint16_t slot = find_free_slot();
    if (slot == no_free_slot)
        return;
    const KindRow *row = find_kind_row(kind);
    if (row == nullptr)
        return;
    // The parent index of the aimed kinds is trusted to be the caller's own live slot; an index off
    // the end of the pool would be a programming fault, so it is not looked up at all then.
    if ((kind == KIND_AIMED_SHOT || kind == KIND_BOSS_SHOT) && parent >= actor_pool_size)
        return;

    Actor &actor = actor_pool[slot];
    actor.x = x;
    actor.y = y;
    if (row->writes_box) {
        actor.w = row->w;
        actor.h = row->h;
        actor.hit_x = 0;
        actor.hit_y = 0;
        actor.hit_w = row->w;
        actor.hit_h = row->h;
    }
    actor.kind = kind;
    write_kind_fields(actor, kind, parent);
    actor.on_update = row->update;
    actor.on_draw = row->draw;
    actor.on_event = row->event;
    actor.active = 1;
}
