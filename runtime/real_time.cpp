// real_time.cpp: the tick paced by the platform's millisecond clock.
#include "runtime/real_time.h"

#include "runtime/frame_clock.h"
#include "runtime/platform.h"
#include "scenes/run.h"

int32_t real_time_left(const FrameClock &clock) { return frame_time_left(clock, clock_ms()); }

void frame_wait(const FrameClock &clock)
{
    int32_t left = real_time_left(clock);
    if (left <= 0)
        return;
    // Sleep through all but the last 3 ms, which are a busy wait: the sleep may end late.
    if (left > 3)
        delay_ms(static_cast<uint32_t>(left - 3));
    while (real_time_left(clock) > 0) {
    }
}

bool real_time_is_late(const Run &run) { return real_time_left(run.frame_clock) <= 0; }

void real_time_wait(const Run &run) { frame_wait(run.frame_clock); }

const TickDriver real_time_driver = {real_time_is_late, real_time_wait};
