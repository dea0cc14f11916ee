// pool.cpp: the actor pool's free-slot search.
#include "actors/pool.h"

#include "scenes/run.h"

uint16_t find_free_slot(const Run &run)
{
    // No position is kept between calls: the lowest free index always wins, so a slot freed a moment
    // ago (an enemy that just died) is reused at once, e.g. by that enemy's own explosion.
    for (const Actor &actor : run.actor_pool)
        if (actor.active == 0)
            return pool_index(run, actor);
    return no_free_slot;
}

void clear_actor_pool(Run &run)
{
    for (Actor &actor : run.actor_pool)
        actor.active = 0;
}
