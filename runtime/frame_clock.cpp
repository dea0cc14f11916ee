// frame_clock.cpp: frame pacing by a millisecond clock, and the FPS counter.
#include "runtime/frame_clock.h"

#include <cstdio>

#include "runtime/drawing.h"
#include "runtime/settings.h"

uint32_t slot_end_offset(uint32_t tick)
{
    // Taken in 64 bits: the 32-bit product (n + 1) * 1000 would wrap after about 19.9 hours, and
    // every tick from then on would count as late. The offset is then read modulo 2^32 like the clock.
    return static_cast<uint32_t>((uint64_t{tick} * 1000 + 1000) / frame_rate);
}

uint32_t slot_begin_offset(uint32_t tick) { return tick == 0 ? 0 : slot_end_offset(tick - 1); }

uint32_t ticks_due(const FrameClock &clock, uint32_t now, uint32_t limit)
{
    // Counted from the current tick's slot, whose start is near 'now', so the difference is small and
    // reads as signed however long the clock has run.
    uint32_t due = 0;
    while (due < limit) {
        uint32_t begin = clock.start_ms + slot_begin_offset(clock.ticks + due);
        if (static_cast<int32_t>(now - begin) < 0)
            break;
        due++;
    }
    return due;
}

void frame_clock_anchor(FrameClock &clock, uint32_t now, uint32_t into_slot)
{
    clock.start_ms = now - into_slot - slot_begin_offset(clock.ticks);
}

void frame_clock_start(FrameClock &clock, uint32_t now)
{
    clock.ticks = 0;
    clock.sample_ticks = 0;
    clock.skipped = 0;
    clock.fps = 0;
    clock.slots_placed = 0;
    clock.start_ms = now;
}

int32_t frame_time_left(const FrameClock &clock, uint32_t now)
{
    uint32_t slot_end = clock.start_ms + slot_end_offset(clock.ticks);
    return static_cast<int32_t>(slot_end - now);
}

void frame_clock_advance(FrameClock &clock) { clock.ticks += 1; }

void frame_skipped(FrameClock &clock) { clock.skipped += 1; }

uint32_t fps_sample(FrameClock &clock)
{
    uint32_t elapsed = clock.ticks - clock.sample_ticks;
    if (elapsed >= frame_rate) {
        clock.fps = elapsed - clock.skipped;
        clock.skipped = 0;
        clock.sample_ticks = clock.ticks;
    }
    return clock.fps;
}

void fps_draw(DrawTarget &target, FrameClock &clock)
{
    if (show_fps != 1)
        return;
    char fps_text[12];
    std::snprintf(fps_text, sizeof fps_text, "%d", static_cast<int>(fps_sample(clock)));
    draw_text(target, 0, 0, fps_text);
}
