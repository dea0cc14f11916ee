// sprite_source.hpp: reading a sprite sheet source, a legend plus one text pixel grid per frame.
#pragma once

#include <optional>
#include <vector>

#include "indexed_image.hpp"
#include "source_text.hpp"

namespace artgen {

// The frames of one sheet in frame-number order; an unused frame has no image.
struct SpriteSheetSource {
    std::vector<std::optional<IndexedImage>> frames;
};

// Source layout:
//   c = N                 legend: grid character c stands for palette index N (before any frame)
//   frame K WxH [text]    frame K, followed by exactly H rows of W legend characters
//   frame K unused        frame K exists for numbering but is never drawn
// Lines starting with '#' between blocks are comments, so '#' cannot be a legend character
// (inside a grid every character is a pixel). Frames must be numbered 0, 1, 2, ...
SpriteSheetSource parse_sprite_source(const SourceText& source);

}  // namespace artgen
