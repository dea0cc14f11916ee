// spawner.cpp: a new actor's record: its slot, its kind's box and handlers from the table of kinds,
// and the fields its kind's spawn function writes.
#include "actors/spawner.h"

#include "actors/angle_math.h"
#include "actors/kinds.h"
#include "actors/pool.h"
#include "scenes/run.h"

int32_t aim_heading(const Run &run, int32_t cx, int32_t cy)
{
    int32_t centre_x = run.player_ship.x + (run.player_ship.w >> 1);
    int32_t centre_y = run.player_ship.y + (run.player_ship.h >> 1);
    return heading_toward(cx, cy, centre_x, centre_y);
}

void spawn_actor(Run &run, int16_t x, int16_t y, uint8_t kind, uint16_t parent)
{
    uint16_t slot = find_free_slot(run);
    if (slot == no_free_slot)
        return;
    const KindRow *row = kind_row(kind);
    if (row == nullptr)
        return;
    // The parent index is trusted to be the caller's own live slot; an index off the end of the pool
    // would be a programming fault, so it is not looked up at all then.
    if (row->reads_parent && parent >= actor_pool_size)
        return;

    Actor &actor = run.actor_pool[slot];
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
    // A general field that the kind's spawn does not write keeps the slot's previous contents.
    row->spawn(run, actor, parent);
    actor.on_update = row->update;
    actor.on_draw = row->draw;
    actor.on_event = row->event;
    actor.active = 1;
}
