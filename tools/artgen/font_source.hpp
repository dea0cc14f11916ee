// font_source.hpp: the 8x8 font, read from '#'/'.' glyph grids and laid out as the font bitmap.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "indexed_image.hpp"
#include "source_text.hpp"

namespace artgen {

// Eight rows of eight cells; true where the glyph is inked.
using Glyph = std::array<std::array<bool, 8>, 8>;

struct FontSource {
    std::uint8_t ink = 15;
    std::array<Glyph, 96> glyphs{};  // characters 0x20..0x7F
    Glyph unknown{};                 // drawn for every other byte
};

// Source layout:
//   ink N               palette index of the glyph pixels
//   char 0xHH [name]    followed by eight rows of eight '#' (ink) or '.' (clear)
//   char unknown        the glyph for bytes outside 0x20..0x7F
// A one-character name must be the character itself. All 96 glyphs and the unknown glyph
// are required, each once.
FontSource parse_font_source(const SourceText& source);

// The 128x64 font bitmap: byte b sits in column b%16, row (b-0x20)/16 of 8x8 cells;
// the unknown glyph sits in the cell at column 7, row 7. Clear pixels are index 0.
IndexedImage build_font_image(const FontSource& font);

}  // namespace artgen
