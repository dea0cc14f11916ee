// bitmap.h: loading a BMP file through SDL, after checking its header ourselves.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>

// Why a header was refused; BITMAP_OK when SDL may be given the file.
enum BitmapVerdict : uint8_t {
    BITMAP_OK,
    BITMAP_CORRUPT, // a header that SDL's loader must not be handed
};

// Judges the first bytes of a BMP file (as many as the file has, up to 138) and the file's length.
BitmapVerdict check_bitmap_header(const uint8_t *bytes, size_t count, uint64_t file_size);

// Loads a BMP file through SDL_LoadBMP_RW. A missing file (or anything but a regular file) gives none
// silently; a file whose header fails the check gives none with one line saying so, because SDL's
// loader can be made to allocate gigabytes by a crafted header.
SDL_Surface *load_bitmap(const char *path);
