// drawing.cpp: the drawing calls: each is observed and counted, then made by the target's pixels.
#include "runtime/drawing.h"

#include <cstring>

namespace {

void report(DrawTarget &target, const DrawCall &call)
{
    target.calls++;
    if (target.observer != nullptr)
        target.observer(target.observer_context, call);
}

int no_fill(uint16_t, uint16_t, uint16_t, uint16_t, uint8_t) { return 0; }
int no_sprite(uint16_t, uint16_t, uint8_t, uint8_t) { return 0; }
int no_text(int, uint16_t, const char *text) { return static_cast<int>(std::strlen(text)); }
void no_present() {}

constexpr DrawingOps no_pixels = {no_fill, no_sprite, no_text, no_present};

} // namespace

DrawTarget counting_target() { return DrawTarget{&no_pixels}; }

GlyphCell glyph_cell(uint8_t byte)
{
    // 0xA0 to 0xDF share the cells of 0x20 to 0x5F; every other byte has the fixed cell (7, 7).
    if (byte >= 0x20 && byte <= 0x7F)
        return {static_cast<uint8_t>(byte % 16), static_cast<uint8_t>((byte - 0x20) / 16)};
    if (byte >= 0xA0 && byte <= 0xDF)
        return {static_cast<uint8_t>(byte % 16), static_cast<uint8_t>((byte - 0xA0) / 16)};
    return {7, 7};
}

int fill_rect(DrawTarget &target, uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint8_t colour)
{
    report(target, {DRAW_FILL, static_cast<int16_t>(x), static_cast<int16_t>(y), w, h, colour, 0, 0, nullptr});
    return target.ops->fill(x, y, w, h, colour);
}

int draw_sprite(DrawTarget &target, uint16_t x, uint16_t y, uint8_t sheet, uint8_t frame)
{
    report(target, {DRAW_SPRITE, static_cast<int16_t>(x), static_cast<int16_t>(y), 0, 0, 0, sheet, frame, nullptr});
    return target.ops->sprite(x, y, sheet, frame);
}

int draw_text(DrawTarget &target, int x, uint16_t y, const char *text)
{
    report(target, {DRAW_TEXT, static_cast<int16_t>(x), static_cast<int16_t>(y), 0, 0, 0, 0, 0, text});
    return target.ops->text(x, y, text);
}

int present_frame(DrawTarget &target)
{
    target.calls++;
    target.ops->present();
    return 0;
}
