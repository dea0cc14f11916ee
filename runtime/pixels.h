// pixels.h: the plain records that pictures are described by on every platform.
#pragma once

#include <cstdint>

// A rectangle as SDL 1.2 keeps one: a signed 16-bit corner and an unsigned 16-bit size.
struct Rect {
    int16_t x, y;
    uint16_t w, h;
};

// A palette entry: red, green, blue and a fourth byte that is never written (it stays 0).
struct Colour {
    uint8_t r, g, b, unused;
};
