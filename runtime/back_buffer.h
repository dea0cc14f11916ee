// back_buffer.h: the drawing calls made in the platform's back buffer: fills, sprites from the sheets,
// text in the font, and the present. The program's own run draws here.
#pragma once

#include <cstdint>

#include "runtime/drawing.h"

struct Image;

extern Image *font_image;

// A target drawing into the back buffer.
DrawTarget back_buffer_target();

// A rectangle of an image blitted into the back buffer at (dx, dy); -1 when there is no image.
int blit_rect(Image *source, uint16_t sx, uint16_t sy, uint16_t w, uint16_t h, uint16_t dx, uint16_t dy);

// Loads font.bmp, matched by colour to the palette, with colour key 0.
void load_font();
