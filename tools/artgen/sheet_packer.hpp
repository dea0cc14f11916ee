// sheet_packer.hpp: laying a sheet's frames out in one bitmap and listing their rectangles.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "indexed_image.hpp"

namespace artgen {

struct FrameRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

struct PackedSheet {
    IndexedImage image;
    std::vector<FrameRect> rects;  // one per frame; unused frames get 0,0,0,0
};

// Places frames in number order, left to right in shelves no wider than `max_width`,
// with `gap` transparent pixels between neighbours.
PackedSheet pack_sheet(const std::vector<std::optional<IndexedImage>>& frames, int max_width = 128,
                       int gap = 1);

// The .kvs text: one "x,y,w,h" line per frame.
std::string kvs_text(const std::vector<FrameRect>& rects);

}  // namespace artgen
