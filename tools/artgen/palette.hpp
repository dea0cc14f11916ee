// palette.hpp: the game's 256-colour palette, read from art/palette.txt and written as krvcolor.ini.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>

#include "source_text.hpp"

namespace artgen {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    auto operator<=>(const Rgb&) const = default;
};

using Palette = std::array<Rgb, 256>;

// Each non-comment line lists one or more stops "INDEX (R G B)"; entries between two
// stops on the same line are interpolated linearly. Every index must be given exactly once,
// entry 0 must be black, no other entry may be black, and all entries must differ.
Palette parse_palette(const SourceText& source);

// krvcolor.ini: 256 lines "R G B".
std::string palette_ini_text(const Palette& palette);

}  // namespace artgen
