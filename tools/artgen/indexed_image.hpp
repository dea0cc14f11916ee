// indexed_image.hpp: a rectangle of palette indices, the common currency of the generator.
#pragma once

#include <cstdint>
#include <vector>

namespace artgen {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // row-major, top row first

    IndexedImage() = default;
    IndexedImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0) {}

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, std::uint8_t index) { pixels[static_cast<std::size_t>(y) * width + x] = index; }
};

// Copies all of `source` into `target` with its top-left corner at (x, y).
void blit(IndexedImage& target, const IndexedImage& source, int x, int y);

}  // namespace artgen
