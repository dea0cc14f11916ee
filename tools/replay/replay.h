// replay.h: runs the game's own start-up and per-tick sequence with the keyboard taken from an input
// script and no waiting between ticks; the pieces of it that recording and watching share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "runtime/drawing.h"
#include "runtime/input_script.h"
#include "runtime/main_loop.h"
#include "scenes/run.h"
#include "trace.h"

struct ReplayOptions {
    std::FILE *trace = nullptr;     // where the trace goes, or none
    // Where a tick's keys come from: the script entry's own keys when none. A caller may press the
    // entry's keys somewhere else and read them back.
    KeySnapshot (*read_keys)(Run &run, uint16_t entry_keys) = nullptr;
    bool draws = false;             // add every drawing call of a drawn tick to its trace line
    const char *bmp_dir = nullptr;  // save the back buffer of drawn ticks here, or none
    uint32_t bmp_every = 60;        // ... of the drawn ticks whose index is a multiple of this
};

// A replay in progress: its run, where the run draws, and the draw log of its trace. Not copied: the
// run points at the target beside it (copy the run itself to save it).
struct Replay {
    Run run;
    DrawTarget target = counting_target();
    std::unique_ptr<DrawLog> draw_log; // allocated at the first start whose trace lists the draws
};

// The driver of a script entry: late as it says, never waiting.
const TickDriver &script_driver(uint16_t entry_keys);

// Selects SDL's dummy drivers on the desktop; call before start-up.
void select_headless_drivers();

// Starts the replay's run at 'now', drawing into 'target' (the back buffer, or a counting target), and
// its trace as the options say.
void start_replay(Replay &replay, const DrawTarget &target, uint32_t now, const ReplayOptions &options);
// Stops the trace's draw log (kept for the next start), saying if any call did not fit it.
void finish_replay(Replay &replay);

// One tick with these keys and this driver, then its trace line and its saved frame as the options
// say. Returns 1 when the tick was drawn.
uint8_t run_traced_tick(Replay &replay, const KeySnapshot &keys, const TickDriver &driver,
                        const ReplayOptions &options);

// One tick of a script entry: its keys (or the options' reader's) and its lateness.
uint8_t run_script_tick(Replay &replay, uint16_t entry_keys, const ReplayOptions &options);

// A whole replay into the back buffer, after a successful runtime_init: one tick per script entry until
// the script ends or the tick in which the quit flag became set. Returns the number of ticks run.
uint64_t run_replay(Replay &replay, const InputScript &script, const ReplayOptions &options);
