// art_sources_test.cpp: the generator's source parsers, sheet packer and BMP encoder on small inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bmp_writer.hpp"
#include "data_readers.hpp"
#include "font_source.hpp"
#include "palette.hpp"
#include "sheet_packer.hpp"
#include "sprite_source.hpp"

namespace art_test {
namespace {

using artgen::source_from_string;
using artgen::SourceError;

// A valid palette: black key plus a 255-step ramp that never repeats a colour.
const std::string ramp_to_red = "1 (1 0 0) 255 (255 0 0)\n";
const std::string valid_palette = "0 (0 0 0)  # key\n" + ramp_to_red;

artgen::Palette parse_palette_text(const std::string& text) {
    return artgen::parse_palette(source_from_string("palette.txt", text));
}

TEST(PaletteSource, InterpolatesRampsBetweenStops) {
    const auto palette = parse_palette_text("0 (0 0 0)\n1 (10 20 30) 5 (50 60 70)\n6 (1 1 1) 255 (250 250 250)\n");
    EXPECT_EQ(palette[1], (artgen::Rgb{10, 20, 30}));
    EXPECT_EQ(palette[3], (artgen::Rgb{30, 40, 50}));
    EXPECT_EQ(palette[5], (artgen::Rgb{50, 60, 70}));
    EXPECT_EQ(palette[6], (artgen::Rgb{1, 1, 1}));
    EXPECT_EQ(palette[255], (artgen::Rgb{250, 250, 250}));
}

TEST(PaletteSource, WritesOneLinePerEntry) {
    const std::string ini = artgen::palette_ini_text(parse_palette_text(valid_palette));
    EXPECT_EQ(ini.substr(0, 12), "0 0 0\n1 0 0\n");
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 256);
    EXPECT_EQ(ini.substr(ini.size() - 8), "255 0 0\n");
}

TEST(PaletteSource, RejectsBrokenPalettes) {
    EXPECT_NO_THROW(parse_palette_text(valid_palette));
    EXPECT_THROW(parse_palette_text(ramp_to_red), SourceError) << "index 0 missing";
    EXPECT_THROW(parse_palette_text("0 (0 0 1)\n" + ramp_to_red), SourceError) << "key not black";
    EXPECT_THROW(parse_palette_text(valid_palette + "7 (9 9 9)\n"), SourceError) << "index given twice";
    EXPECT_THROW(parse_palette_text("0 (0 0 0)\n1 (0 0 0)\n2 (2 0 0) 255 (255 0 0)\n"), SourceError)
        << "a second black";
    EXPECT_THROW(parse_palette_text("0 (0 0 0)\n1 (1 0 0) 254 (254 0 0)\n255 (9 0 0)\n"), SourceError)
        << "a repeated colour";
    EXPECT_THROW(parse_palette_text("0 (0 0 0)\n1 (1 0 300) 255 (255 0 0)\n"), SourceError) << "channel > 255";
    EXPECT_THROW(parse_palette_text("0 (0 0 0)\n1 1 0 0 255 (255 0 0)\n"), SourceError) << "missing brackets";
}

artgen::SpriteSheetSource parse_sprites(const std::string& text) {
    return artgen::parse_sprite_source(source_from_string("sheet.txt", text));
}

const std::string legend = ". = 0   clear\nr = 40  red\nw = 15  white\n";

TEST(SpriteSource, ReadsLegendFramesAndUnusedFrames) {
    const auto sheet = parse_sprites(legend + "# a comment\nframe 0 3x2 first\n.rw\nww.\n\nframe 1 unused\n"
                                              "frame 2 1x1\nr\n");
    ASSERT_EQ(sheet.frames.size(), 3u);
    ASSERT_TRUE(sheet.frames[0].has_value());
    EXPECT_EQ(sheet.frames[0]->width, 3);
    EXPECT_EQ(sheet.frames[0]->height, 2);
    EXPECT_EQ(sheet.frames[0]->pixels, (std::vector<std::uint8_t>{0, 40, 15, 15, 15, 0}));
    EXPECT_FALSE(sheet.frames[1].has_value());
    ASSERT_TRUE(sheet.frames[2].has_value());
    EXPECT_EQ(sheet.frames[2]->pixels, (std::vector<std::uint8_t>{40}));
}

TEST(SpriteSource, RejectsMalformedFrames) {
    EXPECT_THROW(parse_sprites(legend + "frame 0 3x1\n.r\n"), SourceError) << "row too narrow";
    EXPECT_THROW(parse_sprites(legend + "frame 0 2x2\n.r\n"), SourceError) << "too few rows";
    EXPECT_THROW(parse_sprites(legend + "frame 0 2x1\n.x\n"), SourceError) << "character not in legend";
    EXPECT_THROW(parse_sprites(legend + "frame 1 1x1\nr\n"), SourceError) << "frame 0 missing";
    EXPECT_THROW(parse_sprites(legend + "frame 0 1x1\nr\nframe 0 1x1\nr\n"), SourceError) << "frame twice";
    EXPECT_THROW(parse_sprites(legend + "r = 41\nframe 0 1x1\nr\n"), SourceError) << "legend char twice";
    EXPECT_THROW(parse_sprites(legend + "frame 0 1x1\nr\nq = 3\n"), SourceError) << "legend after frames";
    EXPECT_THROW(parse_sprites(legend + "frame 0 1x1\nr\nbogus line\n"), SourceError) << "unknown line";
}

std::string glyph_rows(char fill) {
    std::string rows;
    for (int row = 0; row < 8; ++row) {
        rows += std::string(8, fill) + "\n";
    }
    return rows;
}

// A font source with every glyph; code 0x41 gets `a_rows`, every other printable glyph is solid.
std::string font_text(const std::string& a_rows, const std::string& a_name = "A") {
    std::string text = "ink 15\n";
    for (int code = 0x20; code <= 0x7F; ++code) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", code);
        text += std::string("char ") + hex + (code == 0x41 ? " " + a_name : std::string()) + "\n";
        text += code == 0x41 ? a_rows : glyph_rows(code == 0x20 ? '.' : '#');
    }
    return text + "char unknown\n" + glyph_rows('#');
}

TEST(FontSource, PlacesGlyphsInTheirCells) {
    const std::string a_rows = "#.......\n" + std::string("........\n") + glyph_rows('.').substr(18);
    const auto font = artgen::parse_font_source(source_from_string("font.txt", font_text(a_rows)));
    const artgen::IndexedImage image = artgen::build_font_image(font);
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 64);
    EXPECT_EQ(image.at(8, 16), 15) << "top-left of 'A' (column 1, row 2)";
    EXPECT_EQ(image.at(9, 16), 0);
    EXPECT_EQ(image.at(0, 0), 0) << "space";
    EXPECT_EQ(image.at(56, 56), 15) << "unknown glyph";
    EXPECT_EQ(image.at(48, 56), 0) << "cells outside the layout stay clear";
}

TEST(FontSource, RejectsIncompleteOrMislabelledFonts) {
    EXPECT_NO_THROW(artgen::parse_font_source(source_from_string("font.txt", font_text(glyph_rows('#')))));
    EXPECT_THROW(artgen::parse_font_source(source_from_string("font.txt", font_text(glyph_rows('#'), "B"))),
                 SourceError);
    EXPECT_THROW(artgen::parse_font_source(source_from_string("font.txt", font_text("#.#.#.#.\n"))), SourceError);
    std::string no_unknown = font_text(glyph_rows('#'));
    no_unknown = no_unknown.substr(0, no_unknown.find("char unknown"));
    EXPECT_THROW(artgen::parse_font_source(source_from_string("font.txt", no_unknown)), SourceError);
}

TEST(SheetPacker, PlacesFramesWithoutOverlapAndZeroesUnusedOnes) {
    // Seven frames of 40 pixels wide: only three fit on a 128-pixel shelf; frame 2 is unused.
    std::vector<std::optional<artgen::IndexedImage>> frames(7);
    for (int k = 0; k < 7; ++k) {
        if (k == 2) {
            continue;
        }
        artgen::IndexedImage frame(40, 10 + k);
        std::fill(frame.pixels.begin(), frame.pixels.end(), static_cast<std::uint8_t>(k + 1));
        frames[k] = std::move(frame);
    }
    const artgen::PackedSheet sheet = artgen::pack_sheet(frames, 128, 1);
    ASSERT_EQ(sheet.rects.size(), 7u);
    EXPECT_EQ(sheet.rects[2].w, 0);
    EXPECT_EQ(artgen::kvs_text({sheet.rects[2]}), "0,0,0,0\n");
    for (std::size_t a = 0; a < frames.size(); ++a) {
        if (!frames[a]) {
            continue;
        }
        const artgen::FrameRect& r = sheet.rects[a];
        EXPECT_LE(r.x + r.w, sheet.image.width);
        EXPECT_LE(r.y + r.h, sheet.image.height);
        EXPECT_EQ(sheet.image.at(r.x, r.y), frames[a]->at(0, 0));
        EXPECT_EQ(sheet.image.at(r.x + r.w - 1, r.y + r.h - 1), frames[a]->at(0, 0));
        for (std::size_t b = 0; b < a; ++b) {
            const artgen::FrameRect& o = sheet.rects[b];
            if (frames[b]) {
                EXPECT_FALSE(r.x < o.x + o.w && o.x < r.x + r.w && r.y < o.y + o.h && o.y < r.y + r.h)
                    << a << " overlaps " << b;
            }
        }
    }
    EXPECT_LE(sheet.image.width, 128);
}

TEST(BmpWriter, RoundTripsPixelsWithRowPadding) {
    const auto palette = parse_palette_text(valid_palette);
    artgen::IndexedImage image(3, 2);
    image.pixels = {1, 2, 3, 4, 5, 6};
    const std::vector<std::uint8_t> bytes = artgen::encode_bmp(image, palette);
    EXPECT_EQ(bytes.size(), 14u + 40u + 1024u + 2u * 4u);
    const BmpFile bmp = parse_bmp(bytes);
    EXPECT_EQ(bmp.width, 3);
    EXPECT_EQ(bmp.height, 2);
    EXPECT_EQ(bmp.pixels, image.pixels);
    ASSERT_EQ(bmp.colour_table.size(), 256u);
    EXPECT_EQ(bmp.colour_table[200], (std::array<std::uint8_t, 4>{0, 0, 200, 0}));
    EXPECT_EQ(bytes[1078 + 3], 0) << "padding after the bottom row";
    EXPECT_EQ(bytes[1078], 4) << "bottom row stored first";
}

}  // namespace
}  // namespace art_test
