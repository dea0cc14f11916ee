// palette.h: the 256 colours behind every palette index, from krvcolor.ini.
#pragma once

#include <cstdio>

#include "runtime/pixels.h"

// Red, green, blue and a fourth byte that is never written (it stays 0): the screen, the back
// buffer and every sheet carry exactly these 256 entries, so blits between them never remap.
extern Colour palette[256];

// Fills entries from an open palette file, echoing each line and the stored values.
void read_palette(std::FILE *file);

// The table used without a palette file: a grey ramp from black to white.
void fill_default_palette();

// Reads krvcolor.ini (or builds the grey ramp) and sets the colours on the display and back buffer.
void load_palette();
