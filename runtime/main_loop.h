// main_loop.h: the program's run and the one tick that the game's loop and the replay tool share.
#pragma once

#include <cstdint>

#include "runtime/input.h"

extern uint8_t quit_requested; // the loop ends after the tick in which it became non-zero

// What drives a tick: where its keys come from, whether its slot has already ended when drawing is
// due (it is then late and not drawn), and how to wait for the end of the slot after presenting.
struct TickDriver {
    void (*read_keys)(KeySnapshot &snapshot);
    bool (*is_late)();
    void (*wait)();
};

// The real clock and keyboard: the platform's key snapshot, late when frame_time_left() <= 0, wait
// with frame_wait().
extern const TickDriver real_time_driver;
bool real_time_is_late();

// One pass of the loop: poll input, scene update, then (unless late) clear, scene draw, FPS counter,
// present and wait; or count the tick as skipped; then the scene transition and the clock advance.
// Returns 1 when the tick was drawn.
uint8_t run_tick(const TickDriver &driver);

// For a loop driven from outside, as a browser's animation frames drive it: runs, back to back, every
// tick whose slot has begun by 'now' (so that only the last can still be inside its slot and drawn),
// and returns how many ran. The slots are placed against 'now' at the first call, and again instead
// of catching up when more than a second of ticks is due.
uint32_t run_ticks_due(uint32_t now, const TickDriver &driver);

// Start-up, the scene set-up, the loop until quit_requested, and shutdown. Always returns 0.
int run_program();

// The steps between start-up and the first tick: title scene, input and frame clock.
void prepare_loop();

// The platform's key snapshot of the keys bound in the first input record.
void read_platform_keys(KeySnapshot &snapshot);
