// pool.cpp: the actor pool and its free-slot search.
#include "actors/pool.h"

Actor actor_pool[actor_pool_size];

uint16_t find_free_slot()
{
    // No position is kept between calls: the lowest free index always wins, so a slot freed a moment
    // ago (an enemy that just died) is reused at once, e.g. by that enemy's own explosion.
    for (uint16_t i = 0; i < actor_pool_size; i++)
        if (actor_pool[i].active == 0)
            return i;
    return no_free_slot;
}

void clear_actor_pool()
{
    for (Actor &actor : actor_pool)
        actor.active = 0;
}
