// kinds.h: every per-kind fact in one row, as a table of kinds: the image and hit box a spawn writes,
// how the ship and its shots treat the kind, and its spawn, update, draw and event functions.
#pragma once

#include <cstdint>

#include "actors/actor.h"

// Writes the kind's general fields into a freshly placed record (position, kind and box already
// written). 'parent' is the spawning actor's index for the kinds that read their parent, the heading
// for debris; the other kinds ignore it.
using ActorSpawn = void (*)(Run &run, Actor &actor, uint16_t parent);
using ActorTest = bool (*)(const Actor &actor);

struct KindRow {
    uint8_t kind;
    bool writes_box;     // false: the slot keeps the size and hit box its last occupant left
    int16_t w, h;        // the image; the hit box is the whole image from its top-left corner
    bool reads_parent;   // its spawn reads the parent actor's fields ('parent' is a pool index)
    bool hurts_ship;     // touching the ship wrecks it
    ActorTest hittable;  // a player's shot that touches it now hits it (and is spent)
    ActorSpawn spawn;
    ActorUpdate update;
    ActorDraw draw;
    ActorEvent event;
};

// The row of a kind, or nullptr for a number that names no kind.
const KindRow *kind_row(uint16_t kind);

// Touching the ship wrecks it.
bool kind_hurts_ship(uint16_t kind);

// A player's shot that touches this actor now hits it.
bool actor_is_hittable(const Actor &actor);

// For the rows: shots hit the kind at any time, or fly on through it.
bool always_hittable(const Actor &actor);
bool never_hittable(const Actor &actor);
