// full_pool.h: the heaviest state of a run for the benchmarks: every actor slot taken by a moving kind,
// all 32 player shots in flight, the ship alive. Saved once, put back before every timed tick.
#pragma once

#include <cstdint>

// The number of fighters in the pool (every sixth slot).
constexpr int full_pool_fighters = 167;

// Builds the state (a stage tick with no spawns of the stage script due) and saves it. A hard run's
// state when 'hard'. The first 'firing_fighters' fighters stand one update before their first fan, so
// that in the next tick each tries to spawn its fan into the full pool; the others have just spawned.
void build_full_pool(bool hard, int firing_fighters);

// Puts back the state saved by build_full_pool.
void restore_full_pool();

// The number of active actors and player shots now.
int active_actor_count();
int active_shot_count();
