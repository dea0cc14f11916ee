// main_loop.h: the one tick that the game's loop, the replay tool and the score server share, and the
// start of a run.
#pragma once

#include <cstdint>

#include "runtime/input.h"

struct DrawTarget;
struct Run;

// How a tick meets the clock: whether its slot has already ended when drawing is due (it is then late
// and not drawn), and how to wait for the end of the slot after presenting.
struct TickDriver {
    bool (*is_late)(const Run &run);
    void (*wait)(const Run &run);
};

// Never late, never waiting, and always late, never waiting: a script's ticks as it marks them.
extern const TickDriver on_time_driver;
extern const TickDriver late_driver;

// The steps between start-up and the first tick: the title scene, the input records and the frame
// clock started at 'now'; the run draws into 'target' from then on.
void start_run(Run &run, DrawTarget &target, uint32_t now);

// One pass of the loop with this tick's keys: poll input, scene update, then (unless late) clear,
// scene draw, FPS counter, present and wait; or count the tick as skipped; then the scene transition
// and the clock advance. Returns 1 when the tick was drawn.
uint8_t run_tick(Run &run, const KeySnapshot &keys, const TickDriver &driver);

// For a loop driven from outside: whether the current tick's slot has begun by 'now'. The slots are
// placed against 'now' first when they are not placed yet, or instead of catching up when more than
// a second of ticks is due.
bool tick_due(Run &run, uint32_t now);

// For a loop driven from outside, as a browser's animation frames drive it: runs, back to back, every
// tick whose slot has begun by 'now' (so that only the last can still be inside its slot and drawn),
// each with the keys 'read_keys' gives, and returns how many ran.
uint32_t run_ticks_due(Run &run, uint32_t now, void (*read_keys)(Run &run, KeySnapshot &keys),
                       const TickDriver &driver);
