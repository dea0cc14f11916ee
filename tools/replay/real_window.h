// real_window.h: the replay tool's two modes in the real window, with the real clock: recording a
// session of the game as it is played, and watching a script played back.
#pragma once

#include <cstdint>
#include <cstdio>

#include "replay.h"

// After a successful runtime_init: the game's own loop with its real keyboard and pacing until the quit
// flag is set, every tick's keys written to 'script' (close event, lateness and all) and its state to
// the trace of 'options'. Returns the number of ticks.
uint64_t run_recording(Replay &replay, std::FILE *script, const ReplayOptions &options);

// After a successful runtime_init: plays 'script' at 60 ticks a second, drawing every tick that it does
// not mark late, until it ends, the quit flag is set, or Escape or the window's close event says stop.
// Returns the number of ticks run.
uint64_t run_watch(Replay &replay, const InputScript &script);
