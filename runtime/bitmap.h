// bitmap.h: a BMP file's headers as every reader takes them, and the check that every BMP file passes
// before a platform's loader may read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr size_t bmp_file_header_size = 14;

// The little-endian words of the headers.
inline uint32_t read_u16(const uint8_t *p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
inline uint32_t read_u32(const uint8_t *p) { return read_u16(p) | read_u16(p + 2) << 16; }

// The file: "BM", its length, two reserved words, the offset of the pixels; then an info header of
// 12 bytes (width, height, planes, depth as 16-bit words) or of 40 bytes and more (width, height as
// signed 32-bit, planes, depth, compression, image size, resolution, colours used, colours important).
struct BmpHeader {
    uint32_t pixel_offset = 0, info_size = 0;
    int64_t width = 0, height = 0; // a negative height: rows stored top down
    uint32_t planes = 0, depth = 0, compression = 0, colours_used = 0;
};

// Reads those fields from the first 'count' bytes of a file. False when they do not start a BMP
// file, or the info header is of neither form, or the bytes end before its fields do.
bool read_bmp_header(const uint8_t *bytes, size_t count, BmpHeader &header);

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
