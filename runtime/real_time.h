// real_time.h: a tick paced by the platform's clock: late when its slot has ended by the time drawing
// is due, and after presenting a wait for the end of its slot.
#pragma once

#include <cstdint>

#include "runtime/main_loop.h"

struct FrameClock;

// Milliseconds left in the clock's current slot, by the platform's clock.
int32_t real_time_left(const FrameClock &clock);

// Sleeps through all but the last 3 ms of the current slot, which are a busy wait.
void frame_wait(const FrameClock &clock);

bool real_time_is_late(const Run &run);
void real_time_wait(const Run &run);

// Late by real_time_is_late, waiting with frame_wait: the desktop's loop.
extern const TickDriver real_time_driver;
