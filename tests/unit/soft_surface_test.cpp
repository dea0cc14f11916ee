// soft_surface_test.cpp: the soft 8-bit surfaces held against SDL's own fills, blits, BMP loads,
// conversions to the back buffer's palette and saved BMP files, whole buffers at a time.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/bitmap.h"
#include "runtime/soft_surface.h"
#include "sdl_screen.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string data_path(const char *name) { return std::string(VORPALINE_SOURCE_DIR) + "/data/" + name; }

Bytes read_file(const char *name)
{
    std::ifstream file(data_path(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

struct Palette {
    Colour soft[256];
    SDL_Color sdl[256];
    void set(int i, int r, int g, int b, int unused)
    {
        soft[i] = {uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(unused)};
        sdl[i] = {uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(unused)};
    }
};

// The game's colours from krvcolor.ini ("r g b" lines), then two that make matching by colour work:
// the game's shuffled and nudged, and one of reds two apart (each twice) where an odd red is equally
// near two entries. Their fourth bytes are set, which SDL ignores.
std::vector<Palette> test_palettes()
{
    std::vector<Palette> palettes(3);
    int read = 0, r, g, b;
    if (std::FILE *file = std::fopen(data_path("krvcolor.ini").c_str(), "r")) {
        for (; read < 256 && std::fscanf(file, "%d %d %d", &r, &g, &b) == 3; read++)
            palettes[0].set(read, r, g, b, 0);
        std::fclose(file);
    }
    EXPECT_EQ(read, 256);
    for (int i = 0; i < 256; i++) {
        const Colour &c = palettes[0].soft[(i * 97 + 31) % 256];
        palettes[1].set(i, c.r ^ (i & 1), c.g, c.b, i);
        palettes[2].set(i, (i * 2) & 0xFF, 0, 0, 255 - i);
    }
    return palettes;
}

uint32_t next_random(uint32_t &seed) { return seed = seed * 1664525u + 1013904223u; }

// The same noise over all 256 indices in an SDL surface and in a soft one of its size.
void fill_noise(SDL_Surface *sdl, SoftSurface &soft, uint32_t seed)
{
    for (int y = 0; y < soft.h; y++)
        for (int x = 0; x < soft.w; x++)
            static_cast<uint8_t *>(sdl->pixels)[y * sdl->pitch + x] = soft.pixels[y * soft.w + x] =
                uint8_t(next_random(seed) >> 24);
}

void put(Bytes &bytes, size_t at, uint32_t value, int count)
{
    for (int k = 0; k < count; k++)
        bytes[at + k] = uint8_t(value >> (8 * k));
}

// A crafted BMP: palette entries with set fourth bytes (or the first of 'colours'), pixel values
// below 'values' (for 8 bits and fewer), padding bytes that are not zero. A negative height is top down.
struct CraftedBmp {
    const char *name;
    int depth, info_size, compression, colours_used;
    uint32_t masks[4];
    int w, h, values;
    const Colour *colours = nullptr;
};

Bytes make_bmp(const CraftedBmp &bmp)
{
    int entries = bmp.depth > 8 ? 0 : (bmp.colours_used != 0 ? bmp.colours_used : 1 << bmp.depth);
    size_t entry_size = bmp.info_size == 12 ? 3 : 4;
    size_t masks = bmp.compression == 3 && bmp.info_size == 40 ? 12 : 0;
    size_t offset = 14 + bmp.info_size + masks + entries * entry_size;
    size_t stride = (size_t(bmp.w) * bmp.depth + 31) / 32 * 4, rows = size_t(bmp.h < 0 ? -bmp.h : bmp.h);
    Bytes bytes(offset + stride * rows, 0);
    uint32_t seed = uint32_t(bmp.depth * 1000 + bmp.w);
    for (size_t i = 14; i < bytes.size(); i++)
        bytes[i] = uint8_t(next_random(seed) >> 24);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, uint32_t(bytes.size()), 4);
    put(bytes, 10, uint32_t(offset), 4);
    put(bytes, 14, uint32_t(bmp.info_size), 4);
    for (int i = 0; bmp.colours != nullptr && i < entries; i++)
        put(bytes, 14 + bmp.info_size + masks + i * entry_size,
            uint32_t(bmp.colours[i].b | bmp.colours[i].g << 8 | bmp.colours[i].r << 16), 3);
    if (bmp.info_size == 12) {
        put(bytes, 18, uint32_t(bmp.w) | uint32_t(bmp.h) << 16, 4);
        put(bytes, 22, 1 | uint32_t(bmp.depth) << 16, 4); // one plane
    } else {
        put(bytes, 18, uint32_t(bmp.w), 4);
        put(bytes, 22, uint32_t(bmp.h), 4);
        put(bytes, 26, 1 | uint32_t(bmp.depth) << 16, 4);
        put(bytes, 30, uint32_t(bmp.compression), 4);
        put(bytes, 46, uint32_t(bmp.colours_used), 4);
        // Bit fields follow the 40 bytes every header has; alpha's only in a header of 56 or more.
        for (int k = 0; bmp.compression == 3 && k < (bmp.info_size >= 56 ? 4 : 3); k++)
            put(bytes, 54 + 4 * k, bmp.masks[k], 4);
    }
    for (size_t row = 0; bmp.depth <= 8 && row < rows; row++)
        for (int x = 0; x < bmp.w; x++) {
            size_t bit = size_t(x) * bmp.depth, shift = 8 - bmp.depth - bit % 8;
            uint8_t &byte = bytes[offset + row * stride + bit / 8];
            uint32_t value = (next_random(seed) >> 16) % uint32_t(bmp.values);
            byte = uint8_t((byte & ~(((1u << bmp.depth) - 1) << shift)) | value << shift);
        }
    return bytes;
}

std::string text(std::initializer_list<int> values)
{
    std::string joined;
    for (int value : values)
        joined += (joined.empty() ? "" : ",") + std::to_string(value);
    return joined;
}

// Where an SDL surface and a soft one first differ; empty when they are the same size and pixels.
std::string difference(SDL_Surface *sdl, const SoftSurface &soft)
{
    if (sdl == nullptr || sdl->w != soft.w || sdl->h != soft.h)
        return "sizes differ";
    const auto *pixels = static_cast<const uint8_t *>(sdl->pixels);
    for (int y = 0; y < sdl->h; y++) {
        const uint8_t *want = pixels + y * sdl->pitch, *got = soft.pixels + y * soft.w;
        if (std::memcmp(want, got, soft.w) == 0)
            continue;
        int x = 0;
        while (want[x] == got[x])
            x++;
        return "at " + text({x, y}) + ": SDL " + text({want[x]}) + ", soft " + text({got[x]});
    }
    return "";
}

SDL_Surface *load(const Bytes &bytes) { return SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1); }

class SoftSurfaceTest : public SdlScreenTest {};

TEST_F(SoftSurfaceTest, DecodingAndBothConversionsGiveWhatSdlGives)
{
    std::vector<Palette> palettes = test_palettes();
    const CraftedBmp crafted[] = {
        // 1 and 4 bits without a colour count: SDL reads 256 entries, past the file's own into white.
        {"1-bit", 1, 40, 0, 0, {}, 37, 9, 2},
        {"4-bit, old header", 4, 12, 0, 0, {}, 13, 6, 16},
        {"4-bit, 5 colours, top down", 4, 40, 0, 5, {}, 13, -6, 5},
        {"4-bit, value past its 5 colours", 4, 40, 0, 5, {}, 13, 6, 16},
        {"8-bit, old header", 8, 12, 0, 0, {}, 21, 7, 256},
        {"8-bit, 40 colours, v5 header, top down", 8, 124, 0, 40, {}, 19, -5, 40},
        {"8-bit, value past its 40 colours", 8, 40, 0, 40, {}, 19, 5, 256},
        {"8-bit, the game's first 40 colours", 8, 40, 0, 40, {}, 19, 5, 40, palettes[0].soft},
        {"16-bit 5-5-5", 16, 40, 0, 0, {}, 40, 24, 0},
        {"16-bit 5-6-5 fields after the header", 16, 40, 3, 0, {0xF800, 0x07E0, 0x001F, 0}, 40, 24, 0},
        {"16-bit 4-4-4-4 in a v3 header", 16, 56, 3, 0, {0x0F00, 0x00F0, 0x000F, 0xF000}, 40, 24, 0},
        {"16-bit red mask 0, read as 5-6-5", 16, 52, 3, 0, {0, 0x03E0, 0x001F, 0}, 40, 24, 0},
        {"16-bit 6-5-5 reversed, read as 5-6-5", 16, 52, 3, 0, {0x003F, 0x07C0, 0xF800, 0}, 40, 24, 0},
        {"16-bit 4-4-4 without alpha: unknown", 16, 40, 3, 0, {0x0F00, 0x00F0, 0x000F, 0}, 40, 24, 0},
        {"24-bit, old header", 24, 12, 0, 0, {}, 40, 24, 0},
        {"24-bit, 256 colours counted, top down", 24, 40, 0, 256, {}, 39, -24, 0},
        {"32-bit", 32, 40, 0, 0, {}, 40, 24, 0},
        {"32-bit red mask 0, read as 8-8-8", 32, 40, 3, 0, {0, 0xFF, 0xFF00, 0}, 40, 24, 0},
        {"32-bit BGRA in a v4 header", 32, 108, 3, 0, {0xFF00, 0xFF0000, 0xFF000000, 0xFF}, 40, 24, 0},
        {"32-bit 10-bit fields: all index 0", 32, 124, 3, 0, {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}, 40, 24, 0},
        {"32-bit 11-10-10: unknown", 32, 56, 3, 0, {0xFFE00000, 0x1FF800, 0x7FF, 0}, 40, 24, 0},
    };
    std::vector<std::pair<std::string, Bytes>> files;
    for (const char *name : {"font.bmp", "actors.bmp", "ship.bmp", "cursor.bmp"})
        files.emplace_back(name, read_file(name));
    for (const CraftedBmp &bmp : crafted)
        files.emplace_back(bmp.name, make_bmp(bmp));

    int loaded_count = 0;
    for (size_t p = 0; p < palettes.size(); p++)
        for (auto &[name, bytes] : files) {
            SCOPED_TRACE(name + " with palette " + std::to_string(p));
            ASSERT_EQ(check_bitmap_header(bytes.data(), bytes.size(), bytes.size()), BITMAP_OK);
            SDL_SetColors(back_buffer, palettes[p].sdl, 0, 256);
            SDL_Surface *loaded = load(bytes);
            SoftSurface decoded, by_colour, by_index;
            ASSERT_EQ(decode_bmp(bytes.data(), bytes.size(), palettes[p].soft, decoded), loaded != nullptr);
            if (loaded == nullptr)
                continue;
            loaded_count++;
            const SDL_Palette *file_palette = loaded->format->palette;
            if (file_palette != nullptr) {
                ASSERT_EQ(decoded.colours, file_palette->ncolors);
                for (int i = 0; i < decoded.colours; i++) {
                    const SDL_Color &c = file_palette->colors[i];
                    ASSERT_TRUE(c.r == decoded.palette[i].r && c.g == decoded.palette[i].g &&
                                c.b == decoded.palette[i].b)
                        << "entry " << i;
                }
                EXPECT_EQ(difference(loaded, decoded), "");
                // Values past a short palette can't come from a file but can be drawn into one.
                for (int k = 0; k < 40 && file_palette->ncolors < 256; k++) {
                    int x = k * 7 % loaded->w, y = k % loaded->h, value = 255 - k * 3;
                    static_cast<uint8_t *>(loaded->pixels)[y * loaded->pitch + x] = uint8_t(value);
                    decoded.pixels[y * decoded.w + x] = uint8_t(value);
                }
            }
            SDL_Surface *font_way = SDL_ConvertSurface(loaded, back_buffer->format, SDL_SRCCOLORKEY);
            convert_soft_by_colour(decoded, palettes[p].soft, by_colour);
            EXPECT_EQ(difference(font_way, by_colour), "") << "by colour";
            SDL_SetColors(loaded, palettes[p].sdl, 0, 256);
            SDL_Surface *sheet_way = SDL_ConvertSurface(loaded, back_buffer->format, SDL_SRCCOLORKEY);
            convert_soft_by_index(decoded, palettes[p].soft, by_index);
            EXPECT_EQ(difference(sheet_way, by_index), "") << "by index";
            for (SDL_Surface *surface : {loaded, font_way, sheet_way})
                SDL_FreeSurface(surface);
            for (SoftSurface *surface : {&decoded, &by_colour, &by_index})
                free_soft_surface(*surface);
        }
    EXPECT_EQ(loaded_count, 3 * 21); // four files of the 25 are refused by SDL
}

TEST_F(SoftSurfaceTest, FillsAndBlitsMatchSdlAtEveryEdge)
{
    Palette game = test_palettes()[0];
    SDL_SetColors(back_buffer, game.sdl, 0, 256);
    // The font as the game converts it (keyed by the conversion itself), a sheet keyed afterwards
    // as the game keys it, and a picture larger than the screen without a key.
    Bytes font_file = read_file("font.bmp"), sheet_file = read_file("actors.bmp");
    SDL_Surface *loaded_font = load(font_file), *loaded_sheet = load(sheet_file);
    ASSERT_TRUE(loaded_font != nullptr && loaded_sheet != nullptr);
    SDL_SetColors(loaded_sheet, game.sdl, 0, 256);
    SDL_Surface *sources[3] = {SDL_ConvertSurface(loaded_font, back_buffer->format, SDL_SRCCOLORKEY),
                               SDL_ConvertSurface(loaded_sheet, back_buffer->format, SDL_SRCCOLORKEY),
                               SDL_CreateRGBSurface(SDL_SWSURFACE, 700, 500, 8, 0, 0, 0, 0)};
    SoftSurface soft[3], decoded, screen;
    ASSERT_TRUE(decode_bmp(font_file.data(), font_file.size(), game.soft, decoded));
    convert_soft_by_colour(decoded, game.soft, soft[0]);
    ASSERT_TRUE(decode_bmp(sheet_file.data(), sheet_file.size(), game.soft, decoded));
    convert_soft_by_index(decoded, game.soft, soft[1]);
    SDL_SetColorKey(sources[1], SDL_SRCCOLORKEY | SDL_RLEACCEL, 0);
    soft[1].keyed = true;
    SDL_SetColors(sources[2], game.sdl, 0, 256);
    ASSERT_TRUE(make_soft_surface(soft[2], 700, 500) && make_soft_surface(screen, 640, 480));
    fill_noise(sources[2], soft[2], 7);

    const int16_t places[] = {-32768, -700, -8, -1, 0, 1, 630, 639, 640, 700, 32767};
    const uint16_t sizes[] = {0, 1, 8, 641, 65535};
    int step = 0;
    // Compares the whole back buffer after each drawing call and stops at the first difference.
    auto same_screen = [&](const std::string &what) {
        std::string found = difference(back_buffer, screen);
        EXPECT_EQ(found, "") << "after " << what;
        return found.empty();
    };
    for (int16_t x : places)
        for (int16_t y : places)
            for (uint16_t w : sizes)
                for (uint16_t h : sizes) {
                    auto colour = uint8_t(++step % 255 + 1);
                    SDL_Rect area = {x, y, w, h};
                    SDL_FillRect(back_buffer, &area, colour);
                    soft_fill(screen, Rect{x, y, w, h}, colour);
                    if (!same_screen("fill " + text({x, y, w, h})))
                        return;
                }
    for (int s = 0; s < 3; s++) {
        auto sw = int16_t(soft[s].w), sh = int16_t(soft[s].h);
        // A glyph cell, corners before, at and past the source's edges, and the widest rectangles.
        const Rect froms[] = {{72, 32, 8, 8}, {-3, -9, 8, 8},    {int16_t(sw - 4), int16_t(sh - 2), 8, 8},
                              {sw, 0, 8, 8},  {0, sh, 8, 8},     {0, 0, 65535, 65535},
                              {5, -1, 0, 8},  {-1, 3, 641, 481}, {-32768, -32768, 65535, 65535}};
        for (int16_t x : places)
            for (int16_t y : places)
                for (const Rect &from : froms) {
                    SDL_Rect sdl_from = {from.x, from.y, from.w, from.h}, to = {x, y, 0, 0};
                    EXPECT_EQ(SDL_BlitSurface(sources[s], &sdl_from, back_buffer, &to), 0);
                    EXPECT_EQ(soft_blit(soft[s], from, screen, x, y), 0);
                    if (!same_screen("blit of source " + text({s, from.x, from.y, from.w, from.h, x, y})))
                        return;
                }
    }
    for (SDL_Surface *surface : {loaded_font, loaded_sheet, sources[0], sources[1], sources[2]})
        SDL_FreeSurface(surface);
    for (SoftSurface *surface : {&soft[0], &soft[1], &soft[2], &decoded, &screen})
        free_soft_surface(*surface);
}

TEST_F(SoftSurfaceTest, EncodedBackBufferIsTheFileSdlSaves)
{
    Palette palette = test_palettes()[1];
    SDL_SetColors(back_buffer, palette.sdl, 0, 256);
    SoftSurface screen, reread;
    ASSERT_TRUE(make_soft_surface(screen, 640, 480));
    fill_noise(back_buffer, screen, 11);
    Bytes saved(400000, 0xEE), encoded(soft_bmp_size(screen), 0xEE);
    SDL_RWops *file = SDL_RWFromMem(saved.data(), int(saved.size()));
    ASSERT_EQ(SDL_SaveBMP_RW(back_buffer, file, 0), 0);
    saved.resize(size_t(SDL_RWtell(file)));
    SDL_RWclose(file);
    ASSERT_EQ(encode_bmp(screen, palette.soft, encoded.data()), encoded.size());
    EXPECT_EQ(encoded, saved);
    // And the file SDL saved decodes to the pixels it was saved from.
    ASSERT_TRUE(decode_bmp(saved.data(), saved.size(), palette.soft, reread));
    EXPECT_EQ(difference(back_buffer, reread), "");
    free_soft_surface(screen);
    free_soft_surface(reread);
}

} // namespace
