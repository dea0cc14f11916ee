// frame_clock.cpp: frame pacing by the platform's millisecond clock, and the FPS counter.
#include "runtime/frame_clock.h"

#include <cstdio>

#include "runtime/drawing.h"
#include "runtime/platform.h"
#include "runtime/settings.h"

FrameClock frame_clock;

namespace {

char fps_text[12];

} // namespace

uint32_t slot_end_offset(uint32_t tick)
{
    // Taken in 64 bits: the 32-bit product (n + 1) * 1000 would wrap after about 19.9 hours, and
    // every tick from then on would count as late. The offset is then read modulo 2^32 like the clock.
    return static_cast<uint32_t>((uint64_t{tick} * 1000 + 1000) / frame_rate);
}

uint32_t slot_begin_offset(uint32_t tick) { return tick == 0 ? 0 : slot_end_offset(tick - 1); }

uint32_t ticks_due(uint32_t now, uint32_t limit)
{
    // Counted from the current tick's slot, whose start is near 'now', so the difference is small and
    // reads as signed however long the clock has run.
    uint32_t due = 0;
    while (due < limit) {
        uint32_t begin = frame_clock.start_ms + slot_begin_offset(frame_clock.ticks + due);
        if (static_cast<int32_t>(now - begin) < 0)
            break;
        due++;
    }
    return due;
}

void frame_clock_anchor(uint32_t now, uint32_t into_slot)
{
    frame_clock.start_ms = now - into_slot - slot_begin_offset(frame_clock.ticks);
}

void frame_clock_start()
{
    frame_clock.ticks = 0;
    frame_clock.sample_ticks = 0;
    frame_clock.skipped = 0;
    frame_clock.fps = 0;
    frame_clock.start_ms = frame_clock_now();
}

uint32_t frame_clock_now() { return clock_ms(); }

int32_t frame_time_left()
{
    uint32_t slot_end = frame_clock.start_ms + slot_end_offset(frame_clock.ticks);
    return static_cast<int32_t>(slot_end - frame_clock_now());
}

void frame_clock_advance() { frame_clock.ticks += 1; }

void frame_skipped() { frame_clock.skipped += 1; }

void frame_wait()
{
    int32_t left = frame_time_left();
    if (left <= 0)
        return;
    // Sleep through all but the last 3 ms, which are a busy wait: the sleep may end late.
    if (left > 3)
        delay_ms(static_cast<uint32_t>(left - 3));
    while (frame_time_left() > 0) {
    }
}

uint32_t fps_sample()
{
    uint32_t elapsed = frame_clock.ticks - frame_clock.sample_ticks;
    if (elapsed >= frame_rate) {
        frame_clock.fps = elapsed - frame_clock.skipped;
        frame_clock.skipped = 0;
        frame_clock.sample_ticks = frame_clock.ticks;
    }
    return frame_clock.fps;
}

void fps_draw()
{
    if (show_fps != 1)
        return;
    std::snprintf(fps_text, sizeof fps_text, "%d", static_cast<int>(fps_sample()));
    draw_text(0, 0, fps_text);
}
