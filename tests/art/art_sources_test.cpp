// art_sources_test.cpp: the generator's source parsers, sheet packer and BMP encoder on small inputs.
#include <gtest/gtest.h>

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
std::string small_palette_text() { return "0 (0 0 0)  # key\n1 (1 0 0) 255 (255 0 0)\n"; }

TEST(PaletteSource, InterpolatesRampsBetweenStops) {
    const auto palette = artgen::parse_palette(source_from_string("p", "0 (0 0 0)\n1 (10 20 30) 5 (50 60 70)\n"
                                                                       "6 (1 1 1) 255 (250 250 250)\n"));
    EXPECT_EQ(palette[1], (artgen::Rgb{10, 20, 30}));
    EXPECT_EQ(palette[3], (artgen::Rgb{30, 40, 50}));
    EXPECT_EQ(palette[5], (artgen::Rgb{50, 60, 70}));
    EXPECT_EQ(palette[255], (artgen::Rgb{250, 250, 250}));
}

TEST(PaletteSource, WritesOneLinePerEntry) {
    const auto palette = artgen::parse_palette(source_from_string("p", small_palette_text()));
    const std::string ini = artgen::palette_ini_text(palette);
    EXPECT_EQ(ini.substr(0, 12), "0 0 0\n1 0 0\n");
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 256);
}

TEST(PaletteSource, RejectsRepeatedColourMissingIndexAndColouredKey) {
    EXPECT_THROW(artgen::parse_palette(source_from_string("p", small_palette_text() + "")), std::exception)
        << "sanity: valid input must not throw";
}

}  // namespace
}  // namespace art_test
