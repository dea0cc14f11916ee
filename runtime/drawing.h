// drawing.h: everything a run draws goes through these calls into its draw target: the platform's
// 640x480 8-bit back buffer, or a target that only counts the calls (a run checked without a window).
#pragma once

#include <cstdint>

constexpr uint8_t text_bg_colour = 16; // every text cell is filled with it before its glyph

// The glyph cell of a text byte: column and row of the 8x8 grid of font.bmp.
struct GlyphCell {
    uint8_t column, row;
};
GlyphCell glyph_cell(uint8_t byte);

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
using DrawObserver = void (*)(void *context, const DrawCall &call);

// How a target turns the calls into pixels. Each returns what the call returns.
struct DrawingOps {
    int (*fill)(uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint8_t colour);
    int (*sprite)(uint16_t x, uint16_t y, uint8_t sheet, uint8_t frame);
    int (*text)(int x, uint16_t y, const char *text);
    void (*present)();
};

// Where a run draws.
struct DrawTarget {
    const DrawingOps *ops;             // the back buffer's pixels, or none
    DrawObserver observer = nullptr;   // sees every call as it is made; none in the game
    void *observer_context = nullptr;
    uint64_t calls = 0;                // the calls made, presents included
};

// A target that makes no pixels: the calls are counted and observed only.
DrawTarget counting_target();

int fill_rect(DrawTarget &target, uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint8_t colour);
int draw_sprite(DrawTarget &target, uint16_t x, uint16_t y, uint8_t sheet, uint8_t frame);
int draw_text(DrawTarget &target, int x, uint16_t y, const char *text);
int present_frame(DrawTarget &target);
