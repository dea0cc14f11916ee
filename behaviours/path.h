// path.h: placing an actor on its straight path. Paths are recomputed from their origin every tick,
// never by adding a velocity, so no rounding error builds up.
#pragma once

#include "actors/actor.h"
#include "actors/angle_math.h"
#include "runtime/wrap16.h"

// A path's origin is where its actor was spawned.
inline void start_path(Actor &actor)
{
    actor.origin_x = actor.x;
    actor.origin_y = actor.y;
}

inline void place_on_path(Actor &actor, int16_t heading, int16_t distance)
{
    uint16_t h = static_cast<uint16_t>(heading);
    actor.x = wrap16(actor.origin_x + step_x(h, distance));
    actor.y = wrap16(actor.origin_y + step_y(h, distance));
}

// A projectile's tick: placed at its distance along its heading, then the distance grows by 'speed'.
inline void fly_straight(Actor &actor, int16_t heading, int16_t &distance, int16_t speed)
{
    place_on_path(actor, heading, distance);
    distance = wrap16(distance + speed);
}
