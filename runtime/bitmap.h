// bitmap.h: the check that every BMP file passes before a platform's loader may read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Why a header was refused; BITMAP_OK when SDL may be given the file.
enum BitmapVerdict : uint8_t {
    BITMAP_OK,
    BITMAP_CORRUPT, // a header that SDL's loader must not be handed
};

// Judges the first bytes of a BMP file (as many as the file has, up to 138) and the file's length.
BitmapVerdict check_bitmap_header(const uint8_t *bytes, size_t count, uint64_t file_size);

// Opens a BMP file for a platform's loader, at its start, with its length in *size. A missing file (or
// anything but a regular file) gives none silently; a file whose header fails the check gives none
// with one line saying so, because a loader can be made to allocate gigabytes by a crafted header.
// The loader reads the same open file that was checked, so it can't be swapped in between.
std::FILE *open_checked_bitmap(const char *path, uint64_t *size);
