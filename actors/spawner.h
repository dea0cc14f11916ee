// spawner.h: spawn_actor, the one writer of new actor records, and the aim at the ship.
#pragma once

#include <cstdint>

struct Run;

// Takes the lowest free slot and writes the initial fields of 'kind' there. For the kinds that read
// their parent (the aimed shot and the boss shot) 'parent' is the spawning actor's index (its selector
// field picks the spread); for debris it is the new actor's heading; other kinds ignore it. A full pool
// or a kind without a row spawns nothing.
void spawn_actor(Run &run, int16_t x, int16_t y, uint8_t kind, uint16_t parent);

// The heading from (cx, cy) toward the centre of the player ship, 0 to 1024.
int32_t aim_heading(const Run &run, int32_t cx, int32_t cy);
