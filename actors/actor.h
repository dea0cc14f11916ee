// actor.h: the actor record, the box layout it shares with the ship, shots and playfield, and the
// kind and event numbers.
#pragma once

#include <cstdint>

struct Run;

// Every kind has all three handlers, even one that does nothing, so no call site tests for null.
using ActorUpdate = void (*)(Run &run, uint16_t index);
using ActorDraw = void (*)(Run &run, uint16_t index);
using ActorEvent = void (*)(Run &run, uint16_t index, uint16_t code);

// The leading layout of every record that takes part in the overlap test: image position and size,
// and the hit box as an offset from (x, y) with its own size.
struct Box {
    int16_t x, y, w, h;
    int16_t hit_x, hit_y, hit_w, hit_h;
};

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

// One slot of the actor pool. The first eight fields are laid out as in Box. The seven general
// fields take a meaning of their own in each kind (see the behaviour files, which name them).
struct Actor {
    int16_t x, y, w, h;
    int16_t hit_x, hit_y, hit_w, hit_h;
    uint16_t kind;
    int16_t origin_x, origin_y;
    int16_t param, angle, anim, step, hp;
    uint8_t active;
    ActorUpdate on_update;
    ActorDraw on_draw;
    ActorEvent on_event;
};

enum ActorKind : uint8_t {
    KIND_FIGHTER = 1,
    KIND_AIMED_SHOT = 2,
    KIND_HUNTER = 3,
    KIND_BEAM_SHOT = 4,
    KIND_DEBRIS = 5,
    KIND_BOSS = 6,
    KIND_BOSS_SHOT = 7,
    KIND_BOSS_DROP = 8,
    // there is no kind 9
    KIND_EXPLOSION = 10,
};

// The sprite sheets the game draws from: their lines in kvs.ini, which the artwork is packed to.
enum SheetNumber : uint8_t {
    SHEET_CURSOR = 0, // the title cursor
    SHEET_SHIP = 1,   // the ship, its wreck and its shots, and the spare ships of the HUD
    SHEET_ACTORS = 2, // every actor kind
};

enum ActorEventCode : uint16_t {
    EVENT_LEFT_PLAYFIELD = 0,
    EVENT_SHOT_HIT = 1,
};
