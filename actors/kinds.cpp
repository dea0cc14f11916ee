// kinds.cpp: the table of kinds.
#include "actors/kinds.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "behaviours/behaviours.h"

namespace {

// The ship has always taken kinds 1 to 9 as harmful, and only the explosion as harmless: 9 names no
// kind and is never spawned, so the rows below say all there is to say.
// clang-format off
//  kind              box    w   h   parent hurts  hittable          spawn              update              draw              event
constexpr KindRow kind_rows[] = {
    {KIND_FIGHTER,    true,  16, 16, false, true,  always_hittable,  fighter_spawn,     fighter_update,     fighter_draw,     fighter_event},
    {KIND_AIMED_SHOT, true,  6,  7,  true,  true,  never_hittable,   aimed_shot_spawn,  aimed_shot_update,  aimed_shot_draw,  remove_when_outside},
    {KIND_HUNTER,     true,  16, 16, false, true,  always_hittable,  hunter_spawn,      hunter_update,      hunter_draw,      hunter_event},
    {KIND_BEAM_SHOT,  true,  2,  16, false, true,  never_hittable,   beam_shot_spawn,   beam_shot_update,   beam_shot_draw,   remove_when_outside},
    {KIND_DEBRIS,     true,  16, 16, false, true,  always_hittable,  debris_spawn,      debris_update,      debris_draw,      debris_event},
    {KIND_BOSS,       true,  26, 32, false, true,  boss_is_hittable, boss_spawn,        boss_update,        boss_draw,        boss_event},
    {KIND_BOSS_SHOT,  true,  3,  3,  true,  true,  never_hittable,   boss_shot_spawn,   boss_shot_update,   boss_shot_draw,   remove_when_outside},
    {KIND_BOSS_DROP,  true,  26, 32, false, true,  never_hittable,   boss_drop_spawn,   boss_drop_update,   boss_drop_draw,   remove_when_outside},
    {KIND_EXPLOSION,  false, 0,  0,  false, false, never_hittable,   explosion_spawn,   explosion_update,   explosion_draw,   explosion_event},
};
// clang-format on
static_assert(std::is_sorted(std::begin(kind_rows), std::end(kind_rows),
                             [](const KindRow &a, const KindRow &b) { return a.kind < b.kind; }));

// Each kind number's row in the table, or -1: the shots pass and every spawn look kinds up.
constexpr auto row_of_kind = [] {
    std::array<int8_t, kind_rows[std::size(kind_rows) - 1].kind + 1> rows{};
    rows.fill(-1);
    for (size_t r = 0; r < std::size(kind_rows); r++)
        rows[kind_rows[r].kind] = static_cast<int8_t>(r);
    return rows;
}();

} // namespace

const KindRow *kind_row(uint16_t kind)
{
    if (kind >= std::size(row_of_kind) || row_of_kind[kind] < 0)
        return nullptr;
    return &kind_rows[row_of_kind[kind]];
}

bool kind_hurts_ship(uint16_t kind)
{
    const KindRow *row = kind_row(kind);
    return row != nullptr && row->hurts_ship;
}

bool actor_is_hittable(const Actor &actor)
{
    const KindRow *row = kind_row(actor.kind);
    return row != nullptr && row->hittable(actor);
}

bool always_hittable(const Actor &) { return true; }

bool never_hittable(const Actor &) { return false; }
