// bmp_palette_test.cpp: every BMP in data/ is 8-bit BI_RGB with the game palette, and the palette obeys its rules.
#include <gtest/gtest.h>

#include <set>

#include "data_readers.hpp"

namespace art_test {
namespace {

const std::vector<std::string> bmp_names = {"font.bmp", "icon.bmp", "cursor.bmp", "ship.bmp", "actors.bmp"};

std::vector<std::array<int, 3>> game_palette() { return parse_colour_ini(read_lines(data_dir() / "krvcolor.ini")); }

TEST(Palette, HasExactly256DistinctEntriesWithUniqueBlackKey) {
    const auto palette = game_palette();
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[0], (std::array<int, 3>{0, 0, 0}));
    std::set<std::array<int, 3>> distinct(palette.begin(), palette.end());
    EXPECT_EQ(distinct.size(), 256u);
    for (int i = 1; i < 256; ++i) {
        EXPECT_NE(palette[i], (std::array<int, 3>{0, 0, 0})) << "index " << i << " is black";
    }
}

TEST(Palette, TextRampRisesFromDarkIndex16ToBrightIndex31) {
    const auto palette = game_palette();
    ASSERT_EQ(palette.size(), 256u);
    for (int i = 17; i <= 31; ++i) {
        EXPECT_GT(luminance(palette[i]), luminance(palette[i - 1])) << "index " << i;
    }
    EXPECT_LT(luminance(palette[16]), 0.03) << "the text background must be dark";
    EXPECT_GT(luminance(palette[31]), 0.5) << "the top of the fade must be bright";
}

TEST(Palette, SidePanelColourIsDarkButNotBlack) {
    const auto palette = game_palette();
    ASSERT_EQ(palette.size(), 256u);
    const std::array<int, 3> white{255, 255, 255};
    EXPECT_GT(luminance(palette[255]), luminance(palette[0]));
    EXPECT_GE(contrast_ratio(white, palette[255]), 7.0);
    EXPECT_NE(palette[255], palette[16]);
}

TEST(Bitmaps, AreUncompressed8BitWithClassicHeaderAndFullPalette) {
    for (const std::string& name : bmp_names) {
        SCOPED_TRACE(name);
        const BmpFile bmp = load_bmp(data_dir() / name);
        EXPECT_EQ(bmp.header_size, 40u);
        EXPECT_EQ(bmp.planes, 1u);
        EXPECT_EQ(bmp.bits_per_pixel, 8u);
        EXPECT_EQ(bmp.compression, 0u);
        EXPECT_EQ(bmp.colours_used, 256u);
        EXPECT_GT(bmp.height, 0) << "rows must be stored bottom-up";
        EXPECT_EQ(bmp.pixel_offset, 14u + 40u + 256u * 4u);
        const std::uint32_t stride = (static_cast<std::uint32_t>(bmp.width) + 3) / 4 * 4;
        EXPECT_EQ(bmp.image_size, stride * static_cast<std::uint32_t>(bmp.height));
        EXPECT_EQ(bmp.file_size_field, bmp.actual_file_size);
        EXPECT_EQ(bmp.actual_file_size, bmp.pixel_offset + bmp.image_size);
        ASSERT_EQ(bmp.colour_table.size(), 256u);
        for (std::size_t e = 0; e < 256; ++e) {
            EXPECT_EQ(bmp.colour_table[e][3], 0u) << "reserved byte of entry " << e;
        }
    }
}

TEST(Bitmaps, AllCarryTheGamePalette) {
    const auto palette = game_palette();
    ASSERT_EQ(palette.size(), 256u);
    for (const std::string& name : bmp_names) {
        SCOPED_TRACE(name);
        const BmpFile bmp = load_bmp(data_dir() / name);
        ASSERT_EQ(bmp.colour_table.size(), 256u);
        for (std::size_t e = 0; e < 256; ++e) {
            const std::array<int, 3> rgb{bmp.colour_table[e][2], bmp.colour_table[e][1], bmp.colour_table[e][0]};
            EXPECT_EQ(rgb, palette[e]) << "entry " << e;
        }
    }
}

TEST(SheetList, NamesCursorShipActorsInOrder) {
    const auto lines = read_lines(data_dir() / "kvs.ini");
    EXPECT_EQ(lines, (std::vector<std::string>{"cursor", "ship", "actors"}));
    for (const std::string& name : lines) {
        EXPECT_LE(name.size(), 14u);
    }
}

}  // namespace
}  // namespace art_test
