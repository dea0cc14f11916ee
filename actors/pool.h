// pool.h: the fixed pool of 1000 actors, held in the run. An actor is known by its index; 'active' is
// its membership.
#pragma once

#include <cstdint>

struct Run;

constexpr uint16_t actor_pool_size = 1000;
constexpr uint16_t no_free_slot = 0xFFFF;

// The lowest index whose 'active' is 0, or no_free_slot when all 1000 are live.
uint16_t find_free_slot(const Run &run);

// Clears 'active' of every record; the other fields keep what they held.
void clear_actor_pool(Run &run);
