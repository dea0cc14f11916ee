// angle_math.cpp: table lookups, the integer direction of a vector, and fixed-point rounding.
#include "actors/angle_math.h"

#include "runtime/trig_tables.h"

int32_t cos_lookup(uint16_t heading) { return trig_tables.cos_table[heading & 1023]; }

int32_t sin_lookup(uint16_t heading) { return trig_tables.cos_table[(heading + 768) & 1023]; }

uint16_t atan_lookup(uint32_t den, uint32_t num)
{
    // Callers guarantee num < den, so the index stays below 256; the product is taken wide.
    return trig_tables.atan_table[(uint64_t{num} * 256) / den];
}

uint16_t angle_octant(int32_t a, int32_t b)
{
    if (b == a)
        return 8192; // an eighth of a turn; also the answer for (0, 0)
    if (b > a)
        return static_cast<uint16_t>(16384 - atan_lookup(static_cast<uint32_t>(b), static_cast<uint32_t>(a)));
    return atan_lookup(static_cast<uint32_t>(a), static_cast<uint32_t>(b));
}

uint16_t angle_half(int32_t dx, int32_t dy)
{
    if (dx < 0)
        return static_cast<uint16_t>(angle_octant(dy, -dx) + 16384);
    return angle_octant(dx, dy);
}

uint16_t angle_of(int32_t dx, int32_t dy)
{
    // Callers pass differences of 16-bit coordinates, so negating them cannot overflow.
    if (dy < 0)
        return static_cast<uint16_t>(angle_half(-dx, -dy) + 32768);
    return angle_half(dx, dy);
}

int32_t round_shift(int32_t v, uint8_t n)
{
    // Formed in 64 bits so that adding the half cannot overflow near the ends of the range.
    int64_t biased = int64_t{v} + (int64_t{1} << (n - 1));
    if (v < 0)
        biased -= 1;
    return static_cast<int32_t>(biased >> n);
}

int32_t fixed_product(int32_t fixed, int32_t r)
{
    // A 32-bit product; only 65536 * -32768 * -1 leaves the range, and it wraps as the hardware would.
    return static_cast<int32_t>(int64_t{fixed} * r);
}

int32_t step_x(uint16_t heading, int16_t r) { return round_shift(fixed_product(cos_lookup(heading), r), 16); }

int32_t step_y(uint16_t heading, int16_t r) { return -round_shift(fixed_product(sin_lookup(heading), r), 16); }

int32_t heading_toward(int32_t sx, int32_t sy, int32_t tx, int32_t ty)
{
    return round_shift(angle_of(tx - sx, sy - ty), 6);
}
