// bitmap.cpp: the BMP header check that stands in front of every platform's loader.
#include "runtime/bitmap.h"

#include <sys/stat.h>

#include <cstdio>

#include "runtime/data_file.h"

namespace {

constexpr size_t max_header_bytes = bmp_file_header_size + 124;
constexpr int64_t max_side = 8192;
constexpr int64_t max_pixels = int64_t{16} << 20;

bool known_info_size(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

} // namespace

bool read_bmp_header(const uint8_t *bytes, size_t count, BmpHeader &header)
{
    if (bytes == nullptr || count < bmp_file_header_size + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    header = {};
    header.pixel_offset = read_u32(bytes + 10);
    const uint8_t *info = bytes + bmp_file_header_size;
    header.info_size = read_u32(info);
    if (header.info_size == 12) {
        header.width = read_u16(info + 4);
        header.height = read_u16(info + 6);
        header.planes = read_u16(info + 8);
        header.depth = read_u16(info + 10);
        return true;
    }
    if (header.info_size < 40 || count < bmp_file_header_size + 40)
        return false;
    header.width = static_cast<int32_t>(read_u32(info + 4));
    header.height = static_cast<int32_t>(read_u32(info + 8));
    header.planes = read_u16(info + 12);
    header.depth = read_u16(info + 14);
    header.compression = read_u32(info + 16);
    header.colours_used = read_u32(info + 32);
    return true;
}

// Accepted: an info header of a known size, 1 to 8192 pixels a side, 16 million pixels at most, one
// plane, a depth of 1, 4, 8, 16, 24 or 32, no compression (or bit fields at 16 and 32 bits), at most
// the palette the depth can index, and a file long enough for the palette and every row the header
// promises.
BitmapVerdict check_bitmap_header(const uint8_t *bytes, size_t count, uint64_t file_size)
{
    BmpHeader header;
    if (!read_bmp_header(bytes, count, header) || !known_info_size(header.info_size) ||
        count < bmp_file_header_size + header.info_size)
        return BITMAP_CORRUPT;
    int64_t width = header.width, height = header.height < 0 ? -header.height : header.height;
    if (width < 1 || width > max_side || height < 1 || height > max_side || width * height > max_pixels)
        return BITMAP_CORRUPT;
    uint32_t depth = header.depth;
    if (header.planes != 1)
        return BITMAP_CORRUPT;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return BITMAP_CORRUPT;
    bool bit_fields = header.compression == 3 && (depth == 16 || depth == 32);
    if (header.compression != 0 && !bit_fields)
        return BITMAP_CORRUPT;

    uint64_t palette_limit = depth <= 8 ? (uint64_t{1} << depth) : 256;
    if (header.colours_used > palette_limit)
        return BITMAP_CORRUPT;
    uint64_t palette_entries = depth <= 8 ? (header.colours_used == 0 ? palette_limit : header.colours_used) : 0;
    uint64_t entry_size = header.info_size == 12 ? 3 : 4;
    uint64_t masks = (bit_fields && header.info_size == 40) ? 12 : 0;
    uint64_t palette_end = bmp_file_header_size + header.info_size + masks + palette_entries * entry_size;

    uint64_t row_bytes = ((static_cast<uint64_t>(width) * depth + 31) / 32) * 4;
    uint64_t image_end = uint64_t{header.pixel_offset} + row_bytes * static_cast<uint64_t>(height);
    if (header.pixel_offset < palette_end || image_end > file_size)
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
