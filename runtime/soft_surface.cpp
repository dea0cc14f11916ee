// soft_surface.cpp: 8-bit pictures in plain memory, following what SDL 1.2 (sdl12-compat over SDL2 2.26) does.
#include "runtime/soft_surface.h"

#include <cstring>
#include <new>

#include "runtime/bitmap.h"

namespace {

constexpr size_t saved_info_size = 40;
constexpr size_t saved_palette_size = 256 * 4;

void write_u16(uint8_t *p, uint32_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void write_u32(uint8_t *p, uint32_t value)
{
    write_u16(p, value);
    write_u16(p + 2, value >> 16);
}

// SDL_FindColor: the first entry of the least squared distance. Its alpha term is left out: SDL holds
// the alpha of a loaded palette and of every palette set through SDL_SetColors at opaque, so it is 0.
uint8_t nearest_colour(const Colour target[256], int r, int g, int b)
{
    uint32_t smallest = ~uint32_t{0};
    uint8_t found = 0;
    for (int i = 0; i < 256; i++) {
        int dr = target[i].r - r, dg = target[i].g - g, db = target[i].b - b;
        auto distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < smallest) {
            smallest = distance;
            found = static_cast<uint8_t>(i);
        }
    }
    return found;
}

bool same_colour(const Colour &a, const Colour &b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// SDL converts truecolour to 8 bits through a 3-3-2 colour cube: each pixel keeps the top 3 bits of
// red and green and the top 2 of blue, and each cube colour (each field's bits repeated to fill a
// byte) is matched to the nearest target entry.
void cube_to_target(const Colour target[256], uint8_t table[256])
{
    for (int i = 0; i < 256; i++) {
        int r = i & 0xE0, g = (i << 3) & 0xE0, b = i & 0x03;
        r |= r >> 3 | r >> 6;
        g |= g >> 3 | g >> 6;
        b |= b << 2;
        b |= b << 4;
        table[i] = nearest_colour(target, r, g, b);
    }
}

// A colour field of a truecolour pixel: its mask's lowest bit and width.
struct Field {
    int shift = 0, bits = 0;
};

Field field_of(uint32_t mask)
{
    Field field;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        field.shift++;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        field.bits++;
    }
    return field;
}

// The top 'keep' bits of a field.
uint32_t top_bits(uint32_t pixel, Field field, int keep)
{
    return (pixel >> field.shift & ((uint32_t{1} << field.bits) - 1)) >> (field.bits - keep);
}

struct Masks {
    uint32_t r, g, b, a;
    bool operator==(const Masks &) const = default;
};

// One of the formats, as the one the masks ask for.
template <size_t n> bool listed_format(const Masks (&formats)[n], const Masks &asked, Masks &used)
{
    for (const Masks &format : formats)
        if (format == asked) {
            used = format;
            return true;
        }
    return false;
}

// The pixel formats SDL2 gives a surface of 16 or 32 bits with these masks (the masks of each, found
// by asking SDL_MasksToPixelFormatEnum): a red mask of 0 takes the depth's default, anything not
// listed is refused, and one odd 16-bit set is read as 5-6-5.
bool resolve_masks(uint32_t depth, const Masks &asked, Masks &used)
{
    static constexpr Masks formats16[] = {
        {0x7C00, 0x03E0, 0x001F, 0},      {0x001F, 0x03E0, 0x7C00, 0},      {0x0F00, 0x00F0, 0x000F, 0xF000},
        {0xF000, 0x0F00, 0x00F0, 0x000F}, {0x000F, 0x00F0, 0x0F00, 0xF000}, {0x00F0, 0x0F00, 0xF000, 0x000F},
        {0x7C00, 0x03E0, 0x001F, 0x8000}, {0xF800, 0x07C0, 0x003E, 0x0001}, {0x001F, 0x03E0, 0x7C00, 0x8000},
        {0x003E, 0x07C0, 0xF800, 0x0001}, {0xF800, 0x07E0, 0x001F, 0},      {0x001F, 0x07E0, 0xF800, 0},
    };
    static constexpr Masks formats32[] = {
        {0x00FF0000, 0x0000FF00, 0x000000FF, 0},          {0xFF000000, 0x00FF0000, 0x0000FF00, 0},
        {0x000000FF, 0x0000FF00, 0x00FF0000, 0},          {0x0000FF00, 0x00FF0000, 0xFF000000, 0},
        {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF},
        {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}, {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
        {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
    };
    if (depth == 16) {
        if (asked.r == 0 || asked == Masks{0x003F, 0x07C0, 0xF800, 0}) {
            used = {0xF800, 0x07E0, 0x001F, 0};
            return true;
        }
        return listed_format(formats16, asked, used);
    }
    if (asked.r == 0) {
        used = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
        return true;
    }
    return listed_format(formats32, asked, used);
}

// The bit fields of a file with compression 3, as SDL_LoadBMP_RW reads them: right after the 40-byte
// part of the info header, inside a longer header or just after a short one; the alpha mask only in
// headers of 56 bytes and more. A header of 64 bytes has none. False when the file ends first.
bool read_bit_fields(const uint8_t *bytes, size_t size, const BmpHeader &header, Masks &masks)
{
    if (header.compression != 3 || header.info_size == 64)
        return true;
    size_t end = bmp_file_header_size + 40 + (header.info_size >= 56 ? 16 : 12);
    if (size < end)
        return false;
    const uint8_t *at = bytes + bmp_file_header_size + 40;
    masks = {read_u32(at), read_u32(at + 4), read_u32(at + 8), header.info_size >= 56 ? read_u32(at + 12) : 0};
    return true;
}

// SDL reads palette entries a byte at a time from just after the info header, however many the
// header asks for, into a palette that starts all white: bytes beyond the file leave white.
void read_palette(const uint8_t *bytes, size_t size, const BmpHeader &header, uint32_t entries, SoftSurface &out)
{
    size_t entry_size = header.info_size == 12 ? 3 : 4;
    size_t at = bmp_file_header_size + header.info_size;
    for (uint32_t i = 0; i < entries; i++, at += entry_size) {
        uint8_t *fields[3] = {&out.palette[i].b, &out.palette[i].g, &out.palette[i].r};
        for (size_t k = 0; k < 3; k++)
            *fields[k] = at + k < size ? bytes[at + k] : 0xFF;
    }
    out.colours = static_cast<uint16_t>(entries);
}

// Copies pixels where the source is not index 0 (for a keyed source) or all of them.
void copy_row(uint8_t *to, const uint8_t *from, size_t count, bool keyed)
{
    if (!keyed) {
        std::memmove(to, from, count);
        return;
    }
    for (size_t i = 0; i < count; i++)
        if (from[i] != 0)
            to[i] = from[i];
}

// One axis of a blit's clipping: a span from 'start' of 'length' cut to [0, limit); the start on the
// other side of the blit moves with it. In int, as SDL clips: no coordinate wraps.
void clip_span(int &start, int &other_start, int &length, int limit)
{
    if (start < 0) {
        length += start;
        other_start -= start;
        start = 0;
    }
    if (limit - start < length)
        length = limit - start;
}

} // namespace

bool make_soft_surface(SoftSurface &surface, uint16_t w, uint16_t h)
{
    free_soft_surface(surface);
    size_t count = size_t{w} * h;
    surface.pixels = new (std::nothrow) uint8_t[count > 0 ? count : 1]();
    if (surface.pixels == nullptr)
        return false;
    surface.w = w;
    surface.h = h;
    return true;
}

void free_soft_surface(SoftSurface &surface)
{
    delete[] surface.pixels;
    surface.pixels = nullptr;
    surface.w = 0;
    surface.h = 0;
    std::memset(surface.palette, 0, sizeof surface.palette);
    surface.colours = 0;
    surface.keyed = false;
}

bool decode_bmp(const uint8_t *bytes, size_t size, const Colour target[256], SoftSurface &out)
{
    free_soft_surface(out);
    BmpHeader header;
    Masks masks = {0, 0, 0, 0};
    if (!read_bmp_header(bytes, size, header) || !read_bit_fields(bytes, size, header, masks))
        return false;
    bool top_down = header.height < 0;
    int64_t height = top_down ? -header.height : header.height;
    if (header.width <= 0 || header.width > 0xFFFF || height == 0 || height > 0xFFFF)
        return false;
    uint32_t depth = header.depth;
    bool indexed = depth == 1 || depth == 4 || depth == 8;
    if (!indexed && depth != 16 && depth != 24 && depth != 32)
        return false;
    if (header.compression != 0 && !(header.compression == 3 && (depth == 16 || depth == 32)))
        return false;

    if (header.compression == 0 && depth == 16)
        masks = {0x7C00, 0x03E0, 0x001F, 0};
    if (depth == 24)
        masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    if (header.compression == 0 && depth == 32)
        masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    if ((depth == 16 || depth == 32) && !resolve_masks(depth, masks, masks))
        return false;

    // Rows are padded to 4 bytes; 1- and 4-bit rows are read a byte at a time, so the last one needs
    // no padding, while deeper rows are read whole.
    size_t width = static_cast<size_t>(header.width);
    size_t packed = (width * depth + 7) / 8;
    size_t stride = (packed + 3) / 4 * 4;
    size_t rows = static_cast<size_t>(height);
    size_t last_row = depth < 8 ? packed : stride;
    if (header.pixel_offset > size)
        return false;
    size_t available = size - header.pixel_offset;
    if (available < last_row || (available - last_row) / stride < rows - 1)
        return false;

    if (!make_soft_surface(out, static_cast<uint16_t>(width), static_cast<uint16_t>(rows)))
        return false;
    // SDL widens 1 and 4 bits to 8 before counting the palette, so a file of 1 or 4 bits that leaves
    // the number of colours at 0 gets 256 entries, most of them read from whatever follows its own.
    uint32_t entries = 0;
    if (indexed) {
        entries = header.colours_used == 0 || header.colours_used > 256 ? 256 : header.colours_used;
        read_palette(bytes, size, header, entries, out);
    }
    uint8_t cube[256];
    if (!indexed)
        cube_to_target(target, cube);
    Field red = field_of(masks.r), green = field_of(masks.g), blue = field_of(masks.b);
    size_t bytes_per_pixel = depth / 8;
    bool ten_bit = depth == 32 && red.bits == 10;

    for (size_t row = 0; row < rows; row++) {
        const uint8_t *in = bytes + header.pixel_offset + row * stride;
        uint8_t *to = out.pixels + (top_down ? row : rows - 1 - row) * width;
        for (size_t x = 0; x < width; x++) {
            if (indexed) {
                size_t bit = x * depth;
                auto value = static_cast<uint8_t>(in[bit / 8] >> (8 - depth - bit % 8) & ((1u << depth) - 1));
                // A value beyond a short palette makes SDL refuse the file.
                if (value >= entries) {
                    free_soft_surface(out);
                    return false;
                }
                to[x] = value;
                continue;
            }
            // SDL2 blits 10-bit pixels through its general path, which builds an 8-bit pixel from
            // the destination's masks; a palette surface has none, so every pixel becomes index 0.
            if (ten_bit) {
                to[x] = 0;
                continue;
            }
            uint32_t pixel = 0;
            for (size_t k = 0; k < bytes_per_pixel; k++)
                pixel |= uint32_t{in[x * bytes_per_pixel + k]} << (8 * k);
            to[x] = cube[top_bits(pixel, red, 3) << 5 | top_bits(pixel, green, 3) << 2 | top_bits(pixel, blue, 2)];
        }
    }
    return true;
}

void convert_soft_by_colour(const SoftSurface &source, const Colour target[256], SoftSurface &out)
{
    // A palette equal to the target's first entries is copied index for index (SDL's identity blit);
    // otherwise each used entry is matched, and a value past the palette becomes 0. A surface without
    // a palette was matched when it was decoded.
    bool identical = true;
    for (int i = 0; i < source.colours; i++)
        identical = identical && same_colour(source.palette[i], target[i]);
    uint8_t map[256];
    for (int i = 0; i < 256; i++)
        map[i] = identical ? static_cast<uint8_t>(i) : 0;
    if (!identical)
        for (int i = 0; i < source.colours; i++)
            map[i] = nearest_colour(target, source.palette[i].r, source.palette[i].g, source.palette[i].b);
    // Converting a surface into itself maps its pixels where they are.
    if (&source != &out && !make_soft_surface(out, source.w, source.h))
        return;
    size_t count = size_t{out.w} * out.h;
    for (size_t i = 0; i < count; i++)
        out.pixels[i] = map[source.pixels[i]];
    std::memcpy(out.palette, target, sizeof out.palette);
    out.colours = 256;
    // SDL_ConvertSurface given SDL_SRCCOLORKEY keys its result on index 0 even for an unkeyed source.
    out.keyed = true;
}

void convert_soft_by_index(const SoftSurface &source, const Colour target[256], SoftSurface &out)
{
    // SDL_SetColors replaces only the entries a palette has, so the source's palette then equals the
    // target's first entries and the conversion copies every index, even ones past a short palette.
    if (&source != &out) {
        if (!make_soft_surface(out, source.w, source.h))
            return;
        std::memcpy(out.pixels, source.pixels, size_t{out.w} * out.h);
    }
    std::memcpy(out.palette, target, sizeof out.palette);
    out.colours = 256;
    out.keyed = true;
}

void soft_fill(SoftSurface &target, const Rect &area, uint8_t colour)
{
    int left = area.x > 0 ? area.x : 0, top = area.y > 0 ? area.y : 0;
    int right = area.x + area.w < target.w ? area.x + area.w : target.w;
    int bottom = area.y + area.h < target.h ? area.y + area.h : target.h;
    if (left >= right || top >= bottom)
        return;
    for (int y = top; y < bottom; y++)
        std::memset(target.pixels + static_cast<size_t>(y) * target.w + left, colour,
                    static_cast<size_t>(right - left));
}

int soft_blit(const SoftSurface &source, const Rect &from, SoftSurface &target, int16_t x, int16_t y)
{
    // The source rectangle clipped to the source: a negative corner moves the destination. Then the
    // destination clipped to the whole target, moving the source corner with it.
    int src_x = from.x, src_y = from.y, w = from.w, h = from.h, dst_x = x, dst_y = y;
    clip_span(src_x, dst_x, w, source.w);
    clip_span(src_y, dst_y, h, source.h);
    clip_span(dst_x, src_x, w, target.w);
    clip_span(dst_y, src_y, h, target.h);
    if (w <= 0 || h <= 0)
        return 0;
    for (int row = 0; row < h; row++)
        copy_row(target.pixels + static_cast<size_t>(dst_y + row) * target.w + dst_x,
                 source.pixels + static_cast<size_t>(src_y + row) * source.w + src_x, static_cast<size_t>(w),
                 source.keyed);
    return 0;
}

size_t soft_bmp_size(const SoftSurface &surface)
{
    size_t stride = (size_t{surface.w} + 3) / 4 * 4;
    return bmp_file_header_size + saved_info_size + saved_palette_size + stride * surface.h;
}

size_t encode_bmp(const SoftSurface &surface, const Colour palette[256], uint8_t *out)
{
    size_t size = soft_bmp_size(surface);
    size_t stride = (size_t{surface.w} + 3) / 4 * 4;
    size_t pixel_offset = bmp_file_header_size + saved_info_size + saved_palette_size;
    std::memset(out, 0, pixel_offset);
    out[0] = 'B';
    out[1] = 'M';
    write_u32(out + 2, static_cast<uint32_t>(size));
    write_u32(out + 10, static_cast<uint32_t>(pixel_offset));
    uint8_t *info = out + bmp_file_header_size;
    write_u32(info, saved_info_size);
    write_u32(info + 4, surface.w);
    write_u32(info + 8, surface.h);
    write_u16(info + 12, 1);
    write_u16(info + 14, 8);
    write_u32(info + 20, static_cast<uint32_t>(stride * surface.h));
    write_u32(info + 32, 256);
    // Entries as blue, green, red and SDL's alpha, which is always opaque.
    uint8_t *entry = info + saved_info_size;
    for (int i = 0; i < 256; i++, entry += 4) {
        entry[0] = palette[i].b;
        entry[1] = palette[i].g;
        entry[2] = palette[i].r;
        entry[3] = 0xFF;
    }
    // Rows bottom up, each padded with zeros to 4 bytes.
    uint8_t *row_out = out + pixel_offset;
    for (size_t row = surface.h; row-- > 0; row_out += stride) {
        std::memcpy(row_out, surface.pixels + row * surface.w, surface.w);
        std::memset(row_out + surface.w, 0, stride - surface.w);
    }
    return size;
}
