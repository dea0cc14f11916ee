// program.h: the program itself: start-up, its one run driven by the platform's frames, and shutdown.
// A session of the program can be recorded as an input script as it is played, or can watch one.
#pragma once

#include <cstdint>

struct KeySnapshot;
struct Run;

// What the program was asked to do besides playing: record the session into a script file, or watch
// a script (the keyboard then only stops the watch, with Escape). Paths, or none.
struct ProgramOptions {
    const char *record_path = nullptr;
    const char *watch_path = nullptr;
};

// Reads "--record FILE" and "--watch FILE"; every other argument is left unused, as the game always
// left its arguments.
ProgramOptions read_program_options(int argc, char *argv[]);

// Start-up, the run, the loop until the run's quit flag is set (or the watched script ends), and
// shutdown. Always returns 0.
int run_program(const ProgramOptions &options);

// The keys of the player's devices as the run's bindings read them, at this moment.
void read_player_keys(Run &run, KeySnapshot &keys);
