// actor.h: the actor record, the box layout it shares with the ship, shots and playfield, and the
// kind and event numbers.
#pragma once

#include <cstdint>

using ActorUpdate = void (*)(uint16_t index);
using ActorDraw = void (*)(uint16_t index);
using ActorEvent = void (*)(uint16_t index, uint16_t code);

// The leading layout of every record that takes part in the overlap test: image position and size,
// and the hit box as an offset from (x, y) with its own size.
struct Box {
    int16_t x, y, w, h;
    int16_t hit_x, hit_y, hit_w, hit_h;
};

// One slot of the actor pool. The first eight fields are laid out as in Box. The seven general
// fields take a meaning of their own in each kind (see the behaviour files).
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

// Touching the ship wrecks it for every kind but the explosion (and numbers that name no kind but 9,
// which the ship takes as harmful too).
constexpr bool kind_hurts_ship(uint16_t kind) { return kind >= 1 && kind <= 9; }

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
