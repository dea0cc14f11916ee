// full_pool.h: the heaviest state of a run for the benchmarks: every actor slot taken by a moving kind,
// all 32 player shots in flight, the ship alive. Built once; a benchmark copies it back before every
// timed tick.
#pragma once

#include <cstdint>

struct Run;

// The number of fighters in the pool (every sixth slot).
constexpr int full_pool_fighters = 167;

// Builds the state into 'run' (a stage tick with no spawns of the stage script due). A hard run's state
// when 'hard'. The first 'firing_fighters' fighters stand one update before their first fan, so that in
// the next tick each tries to spawn its fan into the full pool; the others have just spawned.
void build_full_pool(Run &run, bool hard, int firing_fighters);

// The number of active actors and player shots.
int active_actor_count(const Run &run);
int active_shot_count(const Run &run);
