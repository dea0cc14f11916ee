// frame_clock.h: the 60-tick clock of a run, its slots, and the FPS counter.
#pragma once

#include <cstdint>

struct DrawTarget;

constexpr uint32_t frame_rate = 60; // ticks per second

struct FrameClock {
    uint32_t ticks;        // index of the current tick, 0 at the start
    uint32_t start_ms;     // the platform's clock when the frame clock started
    uint32_t sample_ticks; // 'ticks' at the last FPS update
    uint32_t skipped;      // ticks whose drawing was skipped since then
    uint32_t fps;          // the last FPS figure
    uint8_t slots_placed;  // a loop driven from outside has placed the slots against its clock
};

// Milliseconds from the clock start at which the slot of tick n ends: floor((n + 1) * 1000 / 60).
uint32_t slot_end_offset(uint32_t tick);

// Milliseconds from the clock start at which the slot of tick n begins: where the slot before ends.
uint32_t slot_begin_offset(uint32_t tick);

// How many ticks from the current one on have slots that have begun by 'now', counted up to 'limit'.
uint32_t ticks_due(const FrameClock &clock, uint32_t now, uint32_t limit);

// Moves the clock start so that the current tick's slot began 'into_slot' ms before 'now': used where
// the loop is driven from outside (a browser's animation frames) to place the slots, and to resume
// after a pause without racing through the ticks it missed.
void frame_clock_anchor(FrameClock &clock, uint32_t now, uint32_t into_slot);

// Tick 0, no figure yet, started at 'now'.
void frame_clock_start(FrameClock &clock, uint32_t now);
// Milliseconds left in the current tick's slot at 'now'; 0 or less when it has ended.
int32_t frame_time_left(const FrameClock &clock, uint32_t now);
void frame_clock_advance(FrameClock &clock);
void frame_skipped(FrameClock &clock);
uint32_t fps_sample(FrameClock &clock);
// The counter in the top-left corner, when the settings ask for it.
void fps_draw(DrawTarget &target, FrameClock &clock);
