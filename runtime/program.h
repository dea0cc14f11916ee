// program.h: the program itself: start-up, its one run driven by the platform's frames, and shutdown.
#pragma once

#include <cstdint>

struct KeySnapshot;
struct Run;

// Start-up, the run, the loop until the run's quit flag is set, and shutdown. Always returns 0.
int run_program();

// The keys of the player's devices as the run's bindings read them, at this moment.
void read_player_keys(Run &run, KeySnapshot &keys);
