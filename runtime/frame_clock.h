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
extern uint8_t quit_requested; // the loop ends after the tick in which it became non-zero

// Milliseconds from the clock start at which the slot of tick n ends: floor((n + 1) * 1000 / 60).
uint32_t slot_end_offset(uint32_t tick);

void frame_clock_start();
uint32_t frame_clock_now();
int32_t frame_time_left();
void frame_clock_advance();
void frame_skipped();
void frame_wait();
uint32_t fps_sample();
void fps_draw();
