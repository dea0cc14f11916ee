// replay.h: runs the game's own start-up and per-tick sequence with the keyboard taken from an input
// script and no waiting between ticks; the pieces of it that recording and watching share.
#pragma once

#include <cstdint>
#include <cstdio>

#include "input_script.h"
#include "runtime/main_loop.h"

struct ReplayOptions {
    std::FILE *trace = nullptr;     // where the trace goes, or none
    // Where a tick's keys come from: the script's entry itself (read_script_keys) when none. A caller
    // may press the entry's keys somewhere else and read them back.
    void (*read_keys)(KeySnapshot &snapshot) = nullptr;
    bool draws = false;             // add every drawing call of a drawn tick to its trace line
    const char *bmp_dir = nullptr;  // save the back buffer of drawn ticks here, or none
    uint32_t bmp_every = 60;        // ... of the drawn ticks whose index is a multiple of this
};

// Makes a script entry what the next tick sees: its keys through read_script_keys, and whether it is
// late through script_says_late.
void apply_script_keys(uint16_t keys);
void read_script_keys(KeySnapshot &snapshot);
bool script_says_late();

// The replay's driver: the script's keys and lateness, and no waiting.
extern const TickDriver script_driver;

// Selects SDL's dummy drivers on the desktop; call before start-up.
void select_headless_drivers();

// The draw log of the trace: started before the first tick of a run (it is allocated at the first
// start) and stopped after the last.
void start_trace(const ReplayOptions &options);
void stop_trace();

// One tick with 'driver', then its trace line and its saved frame as the options say. Returns 1 when
// the tick was drawn.
uint8_t run_traced_tick(const TickDriver &driver, const ReplayOptions &options);

// The replay after a successful runtime_init: the scene set-up, then one tick per script entry until
// the script ends or the tick in which the quit flag became set. Returns the number of ticks run.
uint64_t run_replay(const InputScript &script, const ReplayOptions &options);
