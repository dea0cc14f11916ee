// frame_clock.h: the 60-tick clock, its slots, the wait at the end of a slot, and the FPS counter.
#pragma once

#include <cstdint>

constexpr uint32_t frame_rate = 60; // ticks per second

struct FrameClock {
    uint32_t ticks;        // index of the current tick, 0 at the start
    uint32_t start_ms;     // the platform's clock when the frame clock started
    uint32_t sample_ticks; // 'ticks' at the last FPS update
    uint32_t skipped;      // ticks whose drawing was skipped since then
    uint32_t fps;          // the last FPS figure
};

extern FrameClock frame_clock;

// Milliseconds from the clock start at which the slot of tick n ends: floor((n + 1) * 1000 / 60).
uint32_t slot_end_offset(uint32_t tick);

// Milliseconds from the clock start at which the slot of tick n begins: where the slot before ends.
uint32_t slot_begin_offset(uint32_t tick);

// How many ticks from the current one on have slots that have begun by 'now', counted up to 'limit'.
uint32_t ticks_due(uint32_t now, uint32_t limit);

// Moves the clock start so that the current tick's slot began 'into_slot' ms before 'now': used where
// the loop is driven from outside (a browser's animation frames) to place the slots, and to resume
// after a pause without racing through the ticks it missed.
void frame_clock_anchor(uint32_t now, uint32_t into_slot);

void frame_clock_start();
uint32_t frame_clock_now();
int32_t frame_time_left();
void frame_clock_advance();
void frame_skipped();
void frame_wait();
uint32_t fps_sample();
void fps_draw();
