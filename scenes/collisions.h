// collisions.h: the overlap test and the three passes that follow every tick's movement.
#pragma once

#include <cstdint>

#include "actors/actor.h"

// The hit box of a record in the shared leading layout as its four edges. Each sum is formed from
// the sign-extended 16-bit fields in 32-bit arithmetic.
struct HitEdges {
    int32_t left, top, right, bottom;
};

template <typename A> HitEdges hit_edges(const A &a)
{
    int32_t left = int32_t{a.x} + a.hit_x, top = int32_t{a.y} + a.hit_y;
    return {left, top, left + a.hit_w, top + a.hit_h};
}

// Two hit boxes overlap; edges that only touch do not.
inline uint8_t edges_overlap(const HitEdges &a, const HitEdges &b)
{
    if (!(b.left < a.right))
        return 0;
    if (!(a.left < b.right))
        return 0;
    if (!(a.bottom > b.top))
        return 0;
    if (!(b.bottom > a.top))
        return 0;
    return 1;
}

// The hit boxes of two records in the shared leading layout overlap.
template <typename A, typename B> uint8_t overlaps(const A &a, const B &b)
{
    return edges_overlap(hit_edges(a), hit_edges(b));
}

// Whether a player shot can hit this actor now (the boss lets shots pass while it shimmers).
bool actor_is_hittable(const Actor &actor);

void collide_ship();
void collide_shots();
void cull_actors();
