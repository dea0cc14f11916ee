// bmp_writer.hpp: encoding an indexed image as an 8-bit uncompressed Windows BMP.
#pragma once

#include <cstdint>
#include <vector>

#include "indexed_image.hpp"
#include "palette.hpp"

namespace artgen {

// 14-byte file header, 40-byte BITMAPINFOHEADER, the full 256-entry colour table (B,G,R,0),
// then bottom-up rows padded to four bytes. The same input always gives the same bytes.
std::vector<std::uint8_t> encode_bmp(const IndexedImage& image, const Palette& palette);

}  // namespace artgen
