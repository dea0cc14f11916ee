// sheet_packer.cpp: shelf packing of frames and the .kvs rectangle list.
#include "sheet_packer.hpp"

#include <algorithm>
#include <stdexcept>

namespace artgen {

PackedSheet pack_sheet(const std::vector<std::optional<IndexedImage>>& frames, int max_width, int gap) {
    PackedSheet sheet;
    int x = 0;
    int shelf_y = 0;
    int shelf_height = 0;
    int sheet_width = 1;
    for (const std::optional<IndexedImage>& frame : frames) {
        if (!frame) {
            sheet.rects.push_back({0, 0, 0, 0});
            continue;
        }
        if (frame->width > max_width) {
            throw std::invalid_argument("frame wider than the sheet");
        }
        if (x > 0 && x + frame->width > max_width) {
            shelf_y += shelf_height + gap;
            x = 0;
            shelf_height = 0;
        }
        sheet.rects.push_back({x, shelf_y, frame->width, frame->height});
        sheet_width = std::max(sheet_width, x + frame->width);
        shelf_height = std::max(shelf_height, frame->height);
        x += frame->width + gap;
    }
    sheet.image = IndexedImage(sheet_width, std::max(1, shelf_y + shelf_height));
    for (std::size_t k = 0; k < frames.size(); ++k) {
        if (frames[k]) {
            blit(sheet.image, *frames[k], sheet.rects[k].x, sheet.rects[k].y);
        }
    }
    return sheet;
}

std::string kvs_text(const std::vector<FrameRect>& rects) {
    std::string text;
    for (const FrameRect& r : rects) {
        text += std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.w) + "," +
                std::to_string(r.h) + "\n";
    }
    return text;
}

}  // namespace artgen
