// trace.h: the replay trace, one JSON object per tick written after the tick, and the draw log.
#pragma once

#include <cstdint>
#include <cstdio>

#include "runtime/drawing.h"

struct Run;

// The drawing calls of one tick, recorded by the drawing layer's observer into fixed storage.
struct DrawLog {
    static constexpr int capacity = 8192;
    static constexpr int text_capacity = 1 << 18;
    DrawCall calls[capacity];
    uint32_t text_offset[capacity];
    char texts[text_capacity];
    int count = 0;
    uint32_t text_used = 0;
    uint64_t dropped = 0; // calls that did not fit (never expected: the pool caps what is drawn)
};

// Starts recording the drawing calls made into 'target' into 'log' (or stops with nullptr).
void record_draws(DrawTarget &target, DrawLog *log);
void clear_draw_log(DrawLog &log);

// Writes the trace line of the tick of 'run' just run. 'draws' is written only when the tick was drawn
// and a log is given.
void write_trace_line(std::FILE *out, const Run &run, uint32_t tick, uint8_t drawn, const DrawLog *draws);
