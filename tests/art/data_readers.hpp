// data_readers.hpp: the art test's own readers for the files in data/ (BMP, .kvs, krvcolor.ini).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace art_test {

std::filesystem::path data_dir();
std::filesystem::path art_dir();

// The files the generator owns in data/.
const std::vector<std::string>& generated_file_names();

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path);

// Lines of a text file; every line must end in '\n' (throws otherwise, or on a '\r').
std::vector<std::string> read_lines(const std::filesystem::path& path);

struct BmpFile {
    std::uint32_t file_size_field = 0;
    std::uint32_t pixel_offset = 0;
    std::uint32_t header_size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bits_per_pixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t image_size = 0;
    std::uint32_t colours_used = 0;
    std::size_t actual_file_size = 0;
    std::vector<std::array<std::uint8_t, 4>> colour_table;  // B, G, R, reserved
    std::vector<std::uint8_t> pixels;                       // top row first, width*|height|

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Reads the headers of any BMP, and the pixels of an 8-bit uncompressed one.
// Throws std::runtime_error when the bytes are too short for what the headers claim.
BmpFile parse_bmp(const std::vector<std::uint8_t>& bytes);
BmpFile load_bmp(const std::filesystem::path& path);

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// Strict "x,y,w,h" decimal lines; throws on anything else.
std::vector<Rect> parse_kvs(const std::vector<std::string>& lines);

// Strict "R G B" decimal lines, each channel 0..255; throws on anything else.
std::vector<std::array<int, 3>> parse_colour_ini(const std::vector<std::string>& lines);

// Relative luminance (0..1) of an sRGB colour, and the contrast ratio of two colours (>= 1).
double luminance(const std::array<int, 3>& rgb);
double contrast_ratio(const std::array<int, 3>& a, const std::array<int, 3>& b);

}  // namespace art_test
