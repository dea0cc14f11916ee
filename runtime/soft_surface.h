// soft_surface.h: 8-bit pictures in plain memory, filled, blitted, decoded from BMP files and written
// back to them by the same rules as SDL's 8-bit surfaces with one shared palette. The browser
// platform draws with it; the desktop's tests hold it against SDL's own results.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/pixels.h"

struct SoftSurface {
    uint8_t *pixels = nullptr; // w * h palette indices, row after row, no padding
    uint16_t w = 0, h = 0;
    Colour palette[256] = {};  // a decoded file's own palette (entries beyond 'colours' are 0)
    uint16_t colours = 0;      // entries of 'palette' in use; 0 for a surface without one
    bool keyed = false;        // pixels of index 0 are not copied by a blit
};

// Gives a surface w x h pixels of index 0 (allocated once, with new[]); free_soft_surface releases them.
bool make_soft_surface(SoftSurface &surface, uint16_t w, uint16_t h);
void free_soft_surface(SoftSurface &surface);

// Decodes a BMP file whose header check_bitmap_header accepted, into 8 bits. A file of 1, 4 or 8 bits
// keeps its pixel values and its palette; a file of more bits is matched to 'target' colour by colour.
// False for a file it can't decode.
bool decode_bmp(const uint8_t *bytes, size_t size, const Colour target[256], SoftSurface &out);

// The font's conversion: each pixel becomes the index of 'target' nearest to its colour in the
// source's palette (the first of equally near ones), as SDL_ConvertSurface maps between palettes.
void convert_soft_by_colour(const SoftSurface &source, const Colour target[256], SoftSurface &out);

// A sheet's conversion: the target palette is imposed on the source first, so every index is kept.
void convert_soft_by_index(const SoftSurface &source, const Colour target[256], SoftSurface &out);

// SDL_FillRect: the area clipped to the surface.
void soft_fill(SoftSurface &target, const Rect &area, uint8_t colour);

// SDL_UpperBlit: 'from' clipped to the source (a negative corner moves the destination), then to the
// target; index 0 skipped when the source is keyed. Returns 0.
int soft_blit(const SoftSurface &source, const Rect &from, SoftSurface &target, int16_t x, int16_t y);

// The bytes SDL_SaveBMP writes for an 8-bit surface with this palette, into 'out' (at least
// soft_bmp_size(surface) bytes). Returns the number of bytes written.
size_t soft_bmp_size(const SoftSurface &surface);
size_t encode_bmp(const SoftSurface &surface, const Colour palette[256], uint8_t *out);
