// drawing.cpp: rectangles, sprites, bitmap text and the present to the screen.
#include "runtime/drawing.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "runtime/bitmap.h"
#include "runtime/sprite_sheets.h"
#include "runtime/startup.h"

SDL_Surface *font_surface = nullptr;
DrawObserver draw_observer = nullptr;

namespace {

// Coordinates enter SDL's rectangles as signed 16-bit values, so -8 places an image partly beyond
// the left or top edge; SDL clips to the surfaces.
SDL_Rect rect_at(uint16_t x, uint16_t y, uint16_t w, uint16_t h)
{
    return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), w, h};
}

// SDL_FillRect writes rows of 64 bytes and more with non-temporal stores, which bypass the cache: the
// blits and the present that read the back buffer next then wait on memory. An 8-bit surface is
// filled here with ordinary stores instead, clipped to its clip rectangle as SDL_FillRect clips, so
// the same pixels change. It is locked around the fill rather than asked whether it needs locking:
// the libraries answer that question differently. Returns false for any other surface.
bool fill_8bit_surface(SDL_Surface *surface, const SDL_Rect &area, uint8_t colour)
{
    if (surface == nullptr || surface->format->BytesPerPixel != 1 || SDL_LockSurface(surface) != 0)
        return false;
    if (surface->pixels == nullptr) {
        SDL_UnlockSurface(surface);
        return false;
    }
    const SDL_Rect &clip = surface->clip_rect;
    int left = std::max<int>(area.x, clip.x), right = std::min<int>(area.x + area.w, clip.x + clip.w);
    int top = std::max<int>(area.y, clip.y), bottom = std::min<int>(area.y + area.h, clip.y + clip.h);
    if (left < right && top < bottom) {
        auto *row = static_cast<Uint8 *>(surface->pixels) + static_cast<ptrdiff_t>(top) * surface->pitch + left;
        for (int y = top; y < bottom; y++, row += surface->pitch)
            std::memset(row, colour, static_cast<size_t>(right - left));
    }
    SDL_UnlockSurface(surface);
    return true;
}

int fill_back_buffer(uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint8_t colour)
{
    SDL_Rect area = rect_at(x, y, w, h);
    if (fill_8bit_surface(back_buffer, area, colour))
        return 0; // what SDL_FillRect returns for a fill that succeeded or was clipped away
    return SDL_FillRect(back_buffer, &area, colour);
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
    return fill_back_buffer(x, y, w, h, colour);
}

int blit_rect(SDL_Surface *source, uint16_t sx, uint16_t sy, uint16_t w, uint16_t h, uint16_t dx, uint16_t dy)
{
    if (source == nullptr)
        return -1;
    SDL_Rect from = rect_at(sx, sy, w, h);
    SDL_Rect to = rect_at(dx, dy, w, h);
    return SDL_UpperBlit(source, &from, back_buffer, &to);
}

int draw_sprite(uint16_t x, uint16_t y, uint8_t sheet, uint8_t frame)
{
    report({DRAW_SPRITE, static_cast<int16_t>(x), static_cast<int16_t>(y), 0, 0, 0, sheet, frame, nullptr});
    const SpriteSheet &source = sprite_sheets[sheet];
    if (source.surface == nullptr)
        return -1; // a sheet that was never loaded draws nothing
    SDL_Rect from = source.frames[frame];
    SDL_Rect to = rect_at(x, y, from.w, from.h);
    return SDL_UpperBlit(source.surface, &from, back_buffer, &to);
}

int draw_text(int x, uint16_t y, const char *text)
{
    report({DRAW_TEXT, static_cast<int16_t>(x), static_cast<int16_t>(y), 0, 0, 0, 0, 0, text});
    int i = 0;
    for (; text[i] != '\0'; i++) {
        // The position uses the character index modulo 256: a longer text starts over at x.
        uint16_t cx = static_cast<uint16_t>(x + 8 * (i % 256));
        fill_back_buffer(cx, y, 8, 8, text_bg_colour);
        GlyphCell cell = glyph_cell(static_cast<uint8_t>(text[i]));
        // Without a font only the background cells are drawn.
        blit_rect(font_surface, static_cast<uint16_t>(8 * cell.column), static_cast<uint16_t>(8 * cell.row), 8, 8, cx,
                  y);
    }
    return i;
}

int present_frame()
{
    SDL_UpperBlit(back_buffer, nullptr, screen_surface, nullptr);
    SDL_Flip(screen_surface);
    return 0;
}

void load_font()
{
    SDL_Surface *loaded = load_bitmap("font.bmp");
    if (loaded == nullptr)
        return;
    // The font keeps its own palette up to the conversion, so its colours are matched by colour.
    font_surface = SDL_ConvertSurface(loaded, back_buffer->format, SDL_SRCCOLORKEY);
    if (font_surface != nullptr)
        SDL_SetColorKey(font_surface, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0);
    SDL_FreeSurface(loaded);
}
