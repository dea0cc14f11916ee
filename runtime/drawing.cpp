// drawing.cpp: rectangles, sprites, bitmap text and the present, on the platform's back buffer.
#include "runtime/drawing.h"

#include "runtime/platform.h"
#include "runtime/sprite_sheets.h"

Image *font_image = nullptr;
DrawObserver draw_observer = nullptr;

namespace {

// Coordinates enter the rectangles as signed 16-bit values, so -8 places an image partly beyond the
// left or top edge; the platform clips to the back buffer.
Rect rect_at(uint16_t x, uint16_t y, uint16_t w, uint16_t h)
{
    return Rect{static_cast<int16_t>(x), static_cast<int16_t>(y), w, h};
}

void report(const DrawCall &call)
{
    if (draw_observer != nullptr)
        draw_observer(call);
}

} // namespace

GlyphCell glyph_cell(uint8_t byte)
{
    // 0xA0 to 0xDF share the cells of 0x20 to 0x5F; every other byte has the fixed cell (7, 7).
    if (byte >= 0x20 && byte <= 0x7F)
        return {static_cast<uint8_t>(byte % 16), static_cast<uint8_t>((byte - 0x20) / 16)};
    if (byte >= 0xA0 && byte <= 0xDF)
        return {static_cast<uint8_t>(byte % 16), static_cast<uint8_t>((byte - 0xA0) / 16)};
    return {7, 7};
}

int fill_rect(uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint8_t colour)
{
    report({DRAW_FILL, static_cast<int16_t>(x), static_cast<int16_t>(y), w, h, colour, 0, 0, nullptr});
    return fill_back_buffer(rect_at(x, y, w, h), colour);
}

int blit_rect(Image *source, uint16_t sx, uint16_t sy, uint16_t w, uint16_t h, uint16_t dx, uint16_t dy)
{
    if (source == nullptr)
        return -1;
    return blit_to_back_buffer(source, rect_at(sx, sy, w, h), static_cast<int16_t>(dx), static_cast<int16_t>(dy));
}

int draw_sprite(uint16_t x, uint16_t y, uint8_t sheet, uint8_t frame)
{
    report({DRAW_SPRITE, static_cast<int16_t>(x), static_cast<int16_t>(y), 0, 0, 0, sheet, frame, nullptr});
    const SpriteSheet &source = sprite_sheets[sheet];
    if (source.image == nullptr)
        return -1; // a sheet that was never loaded draws nothing
    return blit_to_back_buffer(source.image, source.frames[frame], static_cast<int16_t>(x), static_cast<int16_t>(y));
}

int draw_text(int x, uint16_t y, const char *text)
{
    report({DRAW_TEXT, static_cast<int16_t>(x), static_cast<int16_t>(y), 0, 0, 0, 0, 0, text});
    int i = 0;
    for (; text[i] != '\0'; i++) {
        // The position uses the character index modulo 256: a longer text starts over at x.
        uint16_t cx = static_cast<uint16_t>(x + 8 * (i % 256));
        fill_back_buffer(rect_at(cx, y, 8, 8), text_bg_colour);
        GlyphCell cell = glyph_cell(static_cast<uint8_t>(text[i]));
        // Without a font only the background cells are drawn.
        blit_rect(font_image, static_cast<uint16_t>(8 * cell.column), static_cast<uint16_t>(8 * cell.row), 8, 8, cx,
                  y);
    }
    return i;
}

int present_frame()
{
    present_back_buffer();
    return 0;
}

void load_font()
{
    Image *loaded = load_bitmap("font.bmp");
    if (loaded == nullptr)
        return;
    // The font keeps its own palette up to the conversion, so its colours are matched by colour.
    font_image = convert_by_colour(loaded);
    free_image(loaded);
}
