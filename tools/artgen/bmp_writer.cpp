// bmp_writer.cpp: the byte layout of the 8-bit BMP files the game loads.
#include "bmp_writer.hpp"

#include <stdexcept>

namespace artgen {
namespace {

constexpr std::uint32_t file_header_size = 14;
constexpr std::uint32_t info_header_size = 40;
constexpr std::uint32_t colour_table_size = 256 * 4;

void put_u16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> encode_bmp(const IndexedImage& image, const Palette& palette) {
    if (image.width <= 0 || image.height <= 0) {
        throw std::invalid_argument("cannot write an empty bitmap");
    }
    const std::uint32_t width = static_cast<std::uint32_t>(image.width);
    const std::uint32_t height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t stride = (width + 3) / 4 * 4;
    const std::uint32_t pixel_bytes = stride * height;
    const std::uint32_t pixel_offset = file_header_size + info_header_size + colour_table_size;

    std::vector<std::uint8_t> out;
    out.reserve(pixel_offset + pixel_bytes);

    out.push_back('B');
    out.push_back('M');
    put_u32(out, pixel_offset + pixel_bytes);  // bfSize
    put_u16(out, 0);                           // bfReserved1
    put_u16(out, 0);                           // bfReserved2
    put_u32(out, pixel_offset);                // bfOffBits

    put_u32(out, info_header_size);  // biSize
    put_u32(out, width);             // biWidth
    put_u32(out, height);            // biHeight: positive, rows stored bottom-up
    put_u16(out, 1);                 // biPlanes
    put_u16(out, 8);                 // biBitCount
    put_u32(out, 0);                 // biCompression: BI_RGB
    put_u32(out, pixel_bytes);       // biSizeImage
    put_u32(out, 2835);              // biXPelsPerMeter (72 dpi)
    put_u32(out, 2835);              // biYPelsPerMeter
    put_u32(out, 256);               // biClrUsed
    put_u32(out, 0);                 // biClrImportant: all

    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }

    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            out.push_back(image.at(x, y));
        }
        for (std::uint32_t pad = width; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

}  // namespace artgen
