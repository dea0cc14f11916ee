// font_test.cpp: font.bmp has the 128x64 cell layout, every printable glyph, and readable ink on the text background.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "data_readers.hpp"

namespace art_test {
namespace {

struct Cell {
    int x = 0;
    int y = 0;
};

Cell cell_of(int code) { return {8 * (code % 16), 8 * ((code - 0x20) / 16)}; }
constexpr Cell unknown_cell{56, 56};

using CellPixels = std::array<std::uint8_t, 64>;

CellPixels cell_pixels(const BmpFile& font, Cell cell) {
    CellPixels pixels{};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            pixels[8 * y + x] = font.at(cell.x + x, cell.y + y);
        }
    }
    return pixels;
}

int inked(const CellPixels& pixels) {
    int count = 0;
    for (std::uint8_t p : pixels) {
        count += p != 0 ? 1 : 0;
    }
    return count;
}

BmpFile load_font() {
    BmpFile font = load_bmp(data_dir() / "font.bmp");
    if (font.width != 128 || font.height != 64 || font.pixels.size() != 128u * 64u) {
        ADD_FAILURE() << "font.bmp is " << font.width << "x" << font.height << ", must be 128x64";
    }
    return font;
}

TEST(Font, Is128x64) {
    const BmpFile font = load_bmp(data_dir() / "font.bmp");
    EXPECT_EQ(font.width, 128);
    EXPECT_EQ(font.height, 64);
}

TEST(Font, SpaceIsEmptyAndEveryOtherGlyphIsInked) {
    const BmpFile font = load_font();
    ASSERT_EQ(font.pixels.size(), 128u * 64u);
    EXPECT_EQ(inked(cell_pixels(font, cell_of(0x20))), 0) << "space";
    for (int code = 0x21; code <= 0x7F; ++code) {
        EXPECT_GT(inked(cell_pixels(font, cell_of(code))), 0) << "glyph 0x" << std::hex << code;
    }
    EXPECT_GT(inked(cell_pixels(font, unknown_cell)), 0) << "the unknown-character cell";
}

TEST(Font, PrintableGlyphsAreAllDifferent) {
    const BmpFile font = load_font();
    ASSERT_EQ(font.pixels.size(), 128u * 64u);
    std::set<CellPixels> seen;
    for (int code = 0x21; code <= 0x7E; ++code) {
        EXPECT_TRUE(seen.insert(cell_pixels(font, cell_of(code))).second) << "glyph 0x" << std::hex << code;
    }
    EXPECT_TRUE(seen.insert(cell_pixels(font, unknown_cell)).second) << "the unknown-character glyph repeats one";
}

TEST(Font, CellsTheGameNeverDrawsAreEmpty) {
    const BmpFile font = load_font();
    ASSERT_EQ(font.pixels.size(), 128u * 64u);
    for (int row = 6; row < 8; ++row) {
        for (int col = 0; col < 16; ++col) {
            if (row == 7 && col == 7) {
                continue;
            }
            EXPECT_EQ(inked(cell_pixels(font, {8 * col, 8 * row})), 0) << "cell " << col << "," << row;
        }
    }
}

TEST(Font, InkContrastsStronglyWithTheTextBackground) {
    const BmpFile font = load_font();
    ASSERT_EQ(font.pixels.size(), 128u * 64u);
    const auto palette = parse_colour_ini(read_lines(data_dir() / "krvcolor.ini"));
    ASSERT_EQ(palette.size(), 256u);
    std::set<std::uint8_t> inks(font.pixels.begin(), font.pixels.end());
    inks.erase(0);
    ASSERT_FALSE(inks.empty());
    for (std::uint8_t ink : inks) {
        EXPECT_GE(contrast_ratio(palette[ink], palette[16]), 7.0) << "ink index " << int(ink);
    }
}

}  // namespace
}  // namespace art_test
