// drawing.h: everything drawn goes to the 640x480 8-bit back buffer through these calls.
#pragma once

#include <cstdint>

struct Image;

constexpr uint8_t text_bg_colour = 16; // every text cell is filled with it before its glyph

extern Image *font_image;

// The glyph cell of a text byte: column and row of the 8x8 grid of font.bmp.
struct GlyphCell {
    uint8_t column, row;
};
GlyphCell glyph_cell(uint8_t byte);

int fill_rect(uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint8_t colour);
int blit_rect(Image *source, uint16_t sx, uint16_t sy, uint16_t w, uint16_t h, uint16_t dx, uint16_t dy);
int draw_sprite(uint16_t x, uint16_t y, uint8_t sheet, uint8_t frame);
int draw_text(int x, uint16_t y, const char *text);
int present_frame();

// Loads font.bmp, matched by colour to the palette, with colour key 0.
void load_font();

// The drawing calls as they are made, for the replay tool's log. A text call stands for itself:
// the fills and blits inside draw_text are not reported.
enum DrawCallType : uint8_t { DRAW_FILL, DRAW_SPRITE, DRAW_TEXT };
struct DrawCall {
    DrawCallType type;
    int16_t x, y;
    uint16_t w, h;         // DRAW_FILL
    uint8_t colour;        // DRAW_FILL
    uint8_t sheet, frame;  // DRAW_SPRITE
    const char *text;      // DRAW_TEXT, valid only during the call
};
using DrawObserver = void (*)(const DrawCall &call);
extern DrawObserver draw_observer; // none in the game
