// bench_runtime.h: bringing the runtime up for the benchmarks, with its start-up listing kept off the
// benchmark table, and the start-up figures of this process.
#pragma once

#include <cstdint>

// Selects SDL's dummy drivers unless SDL_VIDEODRIVER / SDL_AUDIODRIVER are already set (so the same
// benchmarks can be run through a real X server), and moves into the data folder when the working
// folder has no kvs.ini.
void prepare_bench_environment();

// runtime_init and the start of a run (into the back buffer) with standard output sent to /dev/null. Returns false when start-up
// failed. 'init_us' and 'first_tick_us' receive the time of runtime_init alone and of both.
bool bring_up_runtime(double &init_us, double &first_tick_us);
