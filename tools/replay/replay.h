// replay.h: runs the game's own start-up and per-tick sequence with the keyboard taken from an input
// script and no waiting between ticks.
#pragma once

#include <cstdint>
#include <cstdio>

#include "input_script.h"

struct ReplayOptions {
    std::FILE *trace = nullptr;     // where the trace goes, or none
    // Where a tick's keys come from: the script's entry itself (read_script_keys) when none. A caller
    // may press the entry's keys somewhere else and read them back.
    void (*read_keys)(KeySnapshot &snapshot) = nullptr;
    bool draws = false;             // add every drawing call of a drawn tick to its trace line
    const char *bmp_dir = nullptr;  // save the back buffer of drawn ticks here, or none
    uint32_t bmp_every = 60;        // ... of the drawn ticks whose index is a multiple of this
};

// Makes a script entry's keys what the next tick's poll sees, through read_script_keys.
void apply_script_keys(uint16_t keys);
void read_script_keys(KeySnapshot &snapshot);

// Selects SDL's dummy drivers on the desktop; call before start-up.
void select_headless_drivers();

// The replay after a successful runtime_init: the scene set-up, then one tick per script entry until
// the script ends or the tick in which the quit flag became set. Returns the number of ticks run.
uint64_t run_replay(const InputScript &script, const ReplayOptions &options);
