// angle_math.cpp: the arctangent lookup and the integer direction of a vector.
#include "actors/angle_math.h"

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

int32_t heading_toward(int32_t sx, int32_t sy, int32_t tx, int32_t ty)
{
    return round_shift(angle_of(tx - sx, sy - ty), 6);
}
