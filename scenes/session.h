// session.h: the runs of a session as they start and end, followed tick by tick from the run's state.
// A run starts in the tick in which the game scene becomes current. It is finished when the title
// comes back after its game over or after its staff roll, by itself: a quit (Escape, "end", the close
// event, also in the very tick the title comes back) or the end of a replay's script finishes none. The page tells a viewer how a replay ended from this, and
// the score table ranks the best finished run of a submitted replay.
#pragma once

#include <cstdint>

struct Run;

struct FinishedRun {
    uint16_t score;
    uint8_t hard_mode;
    uint8_t cleared;     // 1: it ended after the staff roll; 0: game over
    uint32_t first_tick; // the tick that started it
    uint32_t ticks;      // from that tick to the one that brought back the title
};

struct SessionLog {
    uint8_t in_run = 0;     // the game scene is current after the last tick followed
    uint8_t phase = 0;      // the run's game_phase after the last tick followed
    uint32_t run_start = 0; // the tick that started the run in progress
    uint32_t finished_runs = 0;
    FinishedRun last = {};  // the last finished run
    FinishedRun best = {};  // the finished run of the highest score, the earliest of equal ones
};

// Follows the tick just run ('tick' is its index): call after every tick, with the run as it left it.
void follow_tick(SessionLog &log, const Run &run, uint32_t tick);
