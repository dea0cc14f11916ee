// indexed_image.cpp: copying one indexed image into another.
#include "indexed_image.hpp"

#include <stdexcept>

namespace artgen {

void blit(IndexedImage& target, const IndexedImage& source, int x, int y) {
    if (x < 0 || y < 0 || x + source.width > target.width || y + source.height > target.height) {
        throw std::logic_error("blit outside the target image");
    }
    for (int row = 0; row < source.height; ++row) {
        for (int col = 0; col < source.width; ++col) {
            target.set(x + col, y + row, source.at(col, row));
        }
    }
}

}  // namespace artgen
