// back_buffer.cpp: rectangles, sprites, bitmap text and the present, on the platform's back buffer.
#include "runtime/back_buffer.h"

#include "runtime/platform.h"
#include "runtime/sprite_sheets.h"

Image *font_image = nullptr;

namespace {

// Coordinates enter the rectangles as signed 16-bit values, so -8 places an image partly beyond the
// left or top edge; the platform clips to the back buffer.
Rect rect_at(uint16_t x, uint16_t y, uint16_t w, uint16_t h)
{
    return Rect{static_cast<int16_t>(x), static_cast<int16_t>(y), w, h};
}

int fill(uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint8_t colour)
{
    return fill_back_buffer(rect_at(x, y, w, h), colour);
}

int sprite(uint16_t x, uint16_t y, uint8_t sheet, uint8_t frame)
{
    const SpriteSheet &source = sprite_sheets[sheet];
    if (source.image == nullptr)
        return -1; // a sheet that was never loaded draws nothing
    return blit_to_back_buffer(source.image, source.frames[frame], static_cast<int16_t>(x), static_cast<int16_t>(y));
}

int text(int x, uint16_t y, const char *text)
{
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

constexpr DrawingOps back_buffer_pixels = {fill, sprite, text, present_back_buffer};

} // namespace

DrawTarget back_buffer_target() { return DrawTarget{&back_buffer_pixels}; }

int blit_rect(Image *source, uint16_t sx, uint16_t sy, uint16_t w, uint16_t h, uint16_t dx, uint16_t dy)
{
    if (source == nullptr)
        return -1;
    return blit_to_back_buffer(source, rect_at(sx, sy, w, h), static_cast<int16_t>(dx), static_cast<int16_t>(dy));
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
