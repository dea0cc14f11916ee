// angle_math.h: headings, the cosine and arctangent tables, angle_of and round_shift.
//
// A heading has 1024 steps per turn: 0 points right, 256 up the screen, 512 left, 768 down.
// A full-circle angle (the result of angle_of) has 65536 steps per turn with the same zero.
// Sines and cosines are 16.16 fixed point: 65536 stands for 1.0. The y axis of this math points up,
// so screen callers pass (start y - target y) and subtract vertical components from y.
#pragma once

#include <cstdint>

#include "runtime/trig_tables.h"

// The movement rule's pieces are inline: every moving actor takes them twice a tick.
inline int32_t cos_lookup(uint16_t heading) { return trig_tables.cos_table[heading & 1023]; }
inline int32_t sin_lookup(uint16_t heading) { return trig_tables.cos_table[(heading + 768) & 1023]; }

uint16_t atan_lookup(uint32_t den, uint32_t num);
uint16_t angle_octant(int32_t a, int32_t b);
uint16_t angle_half(int32_t dx, int32_t dy);
uint16_t angle_of(int32_t dx, int32_t dy);

// v / 2^n rounded to the nearest integer, halves away from zero; n from 1 to 31.
inline int32_t round_shift(int32_t v, uint8_t n)
{
    // Formed in 64 bits so that adding the half cannot overflow near the ends of the range.
    int64_t biased = int64_t{v} + (int64_t{1} << (n - 1));
    if (v < 0)
        biased -= 1;
    return static_cast<int32_t>(biased >> n);
}

// A 16.16 value times a whole number of pixels, as a 32-bit product.
inline int32_t fixed_product(int32_t fixed, int32_t r)
{
    // A 32-bit product; only 65536 * -32768 * -1 leaves the range, and it wraps as the hardware would.
    return static_cast<int32_t>(int64_t{fixed} * r);
}

// The movement rule: the offset of a point at distance r along heading h (screen y grows downward).
inline int32_t step_x(uint16_t heading, int16_t r) { return round_shift(fixed_product(cos_lookup(heading), r), 16); }
inline int32_t step_y(uint16_t heading, int16_t r) { return -round_shift(fixed_product(sin_lookup(heading), r), 16); }

// The aim rule: the heading from (sx, sy) toward (tx, ty), both in screen coordinates (0 to 1024).
int32_t heading_toward(int32_t sx, int32_t sy, int32_t tx, int32_t ty);
