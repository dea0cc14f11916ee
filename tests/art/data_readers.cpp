// data_readers.cpp: parsing BMP headers and pixels, frame lists and the palette file for the art test.
#include "data_readers.hpp"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace art_test {
namespace {

std::uint32_t u16_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return u16_at(b, at) | u16_at(b, at + 2) << 16;
}

int strict_decimal(const std::string& text) {
    if (text.empty() || text.size() > 6) {
        throw std::runtime_error("bad number '" + text + "'");
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            throw std::runtime_error("bad number '" + text + "'");
        }
        value = value * 10 + (c - '0');
    }
    if (text.size() > 1 && text[0] == '0') {
        throw std::runtime_error("leading zero in '" + text + "'");
    }
    return value;
}

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(separator, start);
        parts.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

std::filesystem::path data_dir() { return VORPALINE_DATA_DIR; }
std::filesystem::path art_dir() { return VORPALINE_ART_DIR; }

const std::vector<std::string>& generated_file_names() {
    static const std::vector<std::string> names = {
        "krvcolor.ini", "font.bmp", "icon.bmp", "kvs.ini",    "cursor.kvs",
        "cursor.bmp",   "ship.kvs", "ship.bmp", "actors.kvs", "actors.bmp",
    };
    return names;
}

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path.string());
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> read_lines(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = read_bytes(path);
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t byte : bytes) {
        if (byte == '\r') {
            throw std::runtime_error(path.string() + " has a carriage return");
        }
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(byte);
        }
    }
    if (!line.empty()) {
        throw std::runtime_error(path.string() + " does not end with a newline");
    }
    return lines;
}

BmpFile parse_bmp(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        throw std::runtime_error("not a BMP file");
    }
    BmpFile bmp;
    bmp.actual_file_size = bytes.size();
    bmp.file_size_field = u32_at(bytes, 2);
    bmp.pixel_offset = u32_at(bytes, 10);
    bmp.header_size = u32_at(bytes, 14);
    bmp.width = static_cast<std::int32_t>(u32_at(bytes, 18));
    bmp.height = static_cast<std::int32_t>(u32_at(bytes, 22));
    bmp.planes = static_cast<std::uint16_t>(u16_at(bytes, 26));
    bmp.bits_per_pixel = static_cast<std::uint16_t>(u16_at(bytes, 28));
    bmp.compression = u32_at(bytes, 30);
    bmp.image_size = u32_at(bytes, 34);
    bmp.colours_used = u32_at(bytes, 46);
    if (bmp.bits_per_pixel != 8 || bmp.compression != 0 || bmp.width <= 0 || bmp.height == 0) {
        return bmp;  // headers only; the test rejects such a file
    }

    const std::size_t table_start = 14 + static_cast<std::size_t>(bmp.header_size);
    const std::size_t entries = bmp.colours_used == 0 ? 256 : bmp.colours_used;
    if (entries > 256 || table_start + entries * 4 > bytes.size()) {
        throw std::runtime_error("colour table runs past the end of the file");
    }
    for (std::size_t e = 0; e < entries; ++e) {
        const std::size_t at = table_start + e * 4;
        bmp.colour_table.push_back({bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]});
    }

    const std::size_t width = static_cast<std::size_t>(bmp.width);
    const std::size_t height = static_cast<std::size_t>(bmp.height < 0 ? -bmp.height : bmp.height);
    const std::size_t stride = (width + 3) / 4 * 4;
    if (bmp.pixel_offset + stride * height > bytes.size()) {
        throw std::runtime_error("pixel rows run past the end of the file");
    }
    bmp.pixels.resize(width * height);
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t stored = bmp.height > 0 ? height - 1 - row : row;
        for (std::size_t x = 0; x < width; ++x) {
            bmp.pixels[row * width + x] = bytes[bmp.pixel_offset + stored * stride + x];
        }
    }
    return bmp;
}

BmpFile load_bmp(const std::filesystem::path& path) { return parse_bmp(read_bytes(path)); }

std::vector<Rect> parse_kvs(const std::vector<std::string>& lines) {
    std::vector<Rect> rects;
    for (const std::string& line : lines) {
        const std::vector<std::string> parts = split(line, ',');
        if (parts.size() != 4) {
            throw std::runtime_error("frame line '" + line + "' is not x,y,w,h");
        }
        rects.push_back({strict_decimal(parts[0]), strict_decimal(parts[1]), strict_decimal(parts[2]),
                         strict_decimal(parts[3])});
    }
    return rects;
}

std::vector<std::array<int, 3>> parse_colour_ini(const std::vector<std::string>& lines) {
    std::vector<std::array<int, 3>> colours;
    for (const std::string& line : lines) {
        const std::vector<std::string> parts = split(line, ' ');
        if (parts.size() != 3) {
            throw std::runtime_error("colour line '" + line + "' is not 'R G B'");
        }
        std::array<int, 3> rgb{};
        for (int c = 0; c < 3; ++c) {
            rgb[c] = strict_decimal(parts[c]);
            if (rgb[c] > 255) {
                throw std::runtime_error("colour line '" + line + "' has a channel above 255");
            }
        }
        colours.push_back(rgb);
    }
    return colours;
}

double luminance(const std::array<int, 3>& rgb) {
    return 0.2126 * linear(rgb[0]) + 0.7152 * linear(rgb[1]) + 0.0722 * linear(rgb[2]);
}

double contrast_ratio(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

}  // namespace art_test
