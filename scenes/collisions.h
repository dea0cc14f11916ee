// collisions.h: the overlap test and the three passes that follow every tick's movement.
#pragma once

#include <cstdint>

#include "actors/actor.h"

// The hit boxes of two records in the shared leading layout overlap; edges that only touch do not.
template <typename A, typename B> uint8_t overlaps(const A &a, const B &b)
{
    // Each sum is formed from the sign-extended 16-bit fields in 32-bit arithmetic.
    int32_t a_left = int32_t{a.x} + a.hit_x, a_top = int32_t{a.y} + a.hit_y;
    int32_t b_left = int32_t{b.x} + b.hit_x, b_top = int32_t{b.y} + b.hit_y;
    int32_t a_right = a_left + a.hit_w, a_bottom = a_top + a.hit_h;
    int32_t b_right = b_left + b.hit_w, b_bottom = b_top + b.hit_h;
    if (!(b_left < a_right))
        return 0;
    if (!(a_left < b_right))
        return 0;
    if (!(a_bottom > b_top))
        return 0;
    if (!(b_bottom > a_top))
        return 0;
    return 1;
}

// Whether a player shot can hit this actor now (the boss lets shots pass while it shimmers).
bool actor_is_hittable(const Actor &actor);

void collide_ship();
void collide_shots();
void cull_actors();
