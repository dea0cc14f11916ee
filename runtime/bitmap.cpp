// bitmap.cpp: the BMP header check that stands in front of every platform's loader.
#include "runtime/bitmap.h"

#include <sys/stat.h>

#include <cstdio>

#include "runtime/data_file.h"

namespace {

constexpr size_t file_header_size = 14;
constexpr size_t max_header_bytes = file_header_size + 124;
constexpr int64_t max_side = 8192;
constexpr int64_t max_pixels = int64_t{16} << 20;

uint32_t read_u16(const uint8_t *p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }

uint32_t read_u32(const uint8_t *p) { return read_u16(p) | read_u16(p + 2) << 16; }

int32_t read_i32(const uint8_t *p) { return static_cast<int32_t>(read_u32(p)); }

bool known_info_size(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

} // namespace

// The file: "BM", its length, two reserved words, the offset of the pixels; then an info header of
// 12 bytes (width, height, planes, depth as 16-bit words) or of 40 bytes and more (width, height as
// 32-bit, planes, depth, compression, image size, resolution, colours used, colours important).
// Accepted: 1 to 8192 pixels a side, 16 million pixels at most, one plane, a depth of 1, 4, 8, 16,
// 24 or 32, no compression (or bit fields at 16 and 32 bits), at most the palette the depth can
// index, and a file long enough for the palette and every row the header promises.
BitmapVerdict check_bitmap_header(const uint8_t *bytes, size_t count, uint64_t file_size)
{
    if (count < file_header_size + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        return BITMAP_CORRUPT;
    uint32_t pixel_offset = read_u32(bytes + 10);
    const uint8_t *info = bytes + file_header_size;
    uint32_t info_size = read_u32(info);
    if (!known_info_size(info_size) || count < file_header_size + info_size)
        return BITMAP_CORRUPT;

    int64_t width, height;
    uint32_t planes, depth, compression = 0, colours_used = 0;
    if (info_size == 12) {
        width = read_u16(info + 4);
        height = read_u16(info + 6);
        planes = read_u16(info + 8);
        depth = read_u16(info + 10);
    } else {
        width = read_i32(info + 4);
        height = read_i32(info + 8);
        planes = read_u16(info + 12);
        depth = read_u16(info + 14);
        compression = read_u32(info + 16);
        colours_used = read_u32(info + 32);
    }
    if (height < 0)
        height = -height; // rows stored top down
    if (width < 1 || width > max_side || height < 1 || height > max_side || width * height > max_pixels)
        return BITMAP_CORRUPT;
    if (planes != 1)
        return BITMAP_CORRUPT;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return BITMAP_CORRUPT;
    bool bit_fields = compression == 3 && (depth == 16 || depth == 32);
    if (compression != 0 && !bit_fields)
        return BITMAP_CORRUPT;

    uint64_t palette_limit = depth <= 8 ? (uint64_t{1} << depth) : 256;
    if (colours_used > palette_limit)
        return BITMAP_CORRUPT;
    uint64_t palette_entries = depth <= 8 ? (colours_used == 0 ? palette_limit : colours_used) : 0;
    uint64_t entry_size = info_size == 12 ? 3 : 4;
    uint64_t masks = (bit_fields && info_size == 40) ? 12 : 0;
    uint64_t palette_end = file_header_size + info_size + masks + palette_entries * entry_size;

    uint64_t row_bytes = ((static_cast<uint64_t>(width) * depth + 31) / 32) * 4;
    uint64_t image_end = uint64_t{pixel_offset} + row_bytes * static_cast<uint64_t>(height);
    if (pixel_offset < palette_end || image_end > file_size)
        return BITMAP_CORRUPT;
    return BITMAP_OK;
}

std::FILE *open_checked_bitmap(const char *path, uint64_t *size)
{
    std::FILE *file = open_data_file(path, "rb");
    if (file == nullptr)
        return nullptr;
    struct stat status;
    uint8_t header[max_header_bytes];
    size_t count = std::fread(header, 1, sizeof header, file);
    if (fstat(fileno(file), &status) != 0 ||
        check_bitmap_header(header, count, static_cast<uint64_t>(status.st_size)) != BITMAP_OK) {
        std::fclose(file);
        std::printf("ERROR! %s is not a usable bitmap.\n", path);
        return nullptr;
    }
    std::rewind(file);
    *size = static_cast<uint64_t>(status.st_size);
    return file;
}
