// bmp_to_png.cpp: turns the game's square 8-bit icon.bmp into a palette PNG of EDGE x EDGE pixels for the
// desktop, scaled up by a whole factor (nearest neighbour) when EDGE is larger than the icon. Palette index
// 0, the game's colour key, becomes transparent. The PNG's image data is a zlib stream of stored
// (uncompressed) deflate blocks, so no library is needed.
//
//   vorpaline-bmp-to-png INPUT.bmp OUTPUT.png EDGE
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct IndexedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb_palette; // three bytes per entry
    Bytes pixels;                     // palette indices, rows top to bottom
};

Bytes read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": cannot open");
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error(path + ": cannot write");
}

uint32_t le_u32(const Bytes &b, size_t at)
{
    if (at + 4 > b.size())
        throw std::runtime_error("truncated BMP header");
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t le_u16(const Bytes &b, size_t at)
{
    if (at + 2 > b.size())
        throw std::runtime_error("truncated BMP header");
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// An uncompressed 8-bit BMP: bottom-up rows unless the height is negative, each row padded to 4 bytes,
// the palette as blue, green, red, unused right after the info header.
IndexedImage decode_bmp(const Bytes &bmp)
{
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M')
        throw std::runtime_error("not a BMP file");
    const uint32_t pixel_offset = le_u32(bmp, 10);
    const uint32_t info_size = le_u32(bmp, 14);
    const int32_t width = static_cast<int32_t>(le_u32(bmp, 18));
    const int32_t signed_height = static_cast<int32_t>(le_u32(bmp, 22));
    const uint16_t bits = le_u16(bmp, 28);
    const uint32_t compression = le_u32(bmp, 30);
    uint32_t colours = le_u32(bmp, 46);
    if (info_size < 40)
        throw std::runtime_error("unsupported BMP info header");
    if (bits != 8 || compression != 0)
        throw std::runtime_error("only uncompressed 8-bit BMP files are converted");
    if (width <= 0 || signed_height == 0 || signed_height == INT32_MIN || width > 4096 || signed_height > 4096 ||
        signed_height < -4096)
        throw std::runtime_error("unsupported BMP size");
    if (colours == 0)
        colours = 256;
    if (colours > 256)
        throw std::runtime_error("BMP palette too long");

    IndexedImage image;
    image.width = static_cast<uint32_t>(width);
    image.height = static_cast<uint32_t>(signed_height < 0 ? -signed_height : signed_height);
    const size_t palette_at = 14 + static_cast<size_t>(info_size);
    if (palette_at + 4 * static_cast<size_t>(colours) > bmp.size())
        throw std::runtime_error("truncated BMP palette");
    for (uint32_t i = 0; i < colours; i++) {
        const size_t at = palette_at + 4 * i;
        image.rgb_palette.insert(image.rgb_palette.end(), {bmp[at + 2], bmp[at + 1], bmp[at]});
    }

    const size_t stride = (image.width + 3) / 4 * 4;
    if (pixel_offset + stride * image.height > bmp.size())
        throw std::runtime_error("truncated BMP pixels");
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (uint32_t y = 0; y < image.height; y++) {
        const uint32_t file_row = signed_height > 0 ? image.height - 1 - y : y;
        const uint8_t *row = bmp.data() + pixel_offset + stride * file_row;
        for (uint32_t x = 0; x < image.width; x++) {
            if (row[x] >= colours)
                throw std::runtime_error("BMP pixel outside its palette");
            image.pixels[static_cast<size_t>(y) * image.width + x] = row[x];
        }
    }
    return image;
}

IndexedImage scale_up(const IndexedImage &image, uint32_t factor)
{
    IndexedImage scaled = image;
    scaled.width = image.width * factor;
    scaled.height = image.height * factor;
    scaled.pixels.resize(static_cast<size_t>(scaled.width) * scaled.height);
    for (uint32_t y = 0; y < scaled.height; y++)
        for (uint32_t x = 0; x < scaled.width; x++)
            scaled.pixels[static_cast<size_t>(y) * scaled.width + x] =
                image.pixels[static_cast<size_t>(y / factor) * image.width + x / factor];
    return scaled;
}

uint32_t crc32(const uint8_t *data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; i++) {
        crc ^= data[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t adler32(const Bytes &data)
{
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void put_be32(Bytes &out, uint32_t v)
{
    out.insert(out.end(), {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                           static_cast<uint8_t>(v)});
}

// A zlib stream (no preset dictionary) of stored blocks of at most 65535 bytes each.
Bytes zlib_stored(const Bytes &raw)
{
    Bytes out{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool final_block = at + length == raw.size();
        out.push_back(final_block ? 1 : 0);
        const uint16_t len = static_cast<uint16_t>(length);
        const uint16_t nlen = static_cast<uint16_t>(~len);
        out.insert(out.end(), {static_cast<uint8_t>(len), static_cast<uint8_t>(len >> 8), static_cast<uint8_t>(nlen),
                               static_cast<uint8_t>(nlen >> 8)});
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    put_be32(out, adler32(raw));
    return out;
}

void put_chunk(Bytes &png, const char type[4], const Bytes &data)
{
    put_be32(png, static_cast<uint32_t>(data.size()));
    const size_t type_at = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put_be32(png, crc32(png.data() + type_at, png.size() - type_at));
}

Bytes encode_png(const IndexedImage &image)
{
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put_be32(header, image.width);
    put_be32(header, image.height);
    header.insert(header.end(), {8, 3, 0, 0, 0}); // 8-bit palette indices, no interlace
    put_chunk(png, "IHDR", header);
    put_chunk(png, "PLTE", image.rgb_palette);
    put_chunk(png, "tRNS", Bytes{0}); // index 0 fully transparent, the others opaque

    Bytes raw;
    raw.reserve((static_cast<size_t>(image.width) + 1) * image.height);
    for (uint32_t y = 0; y < image.height; y++) {
        raw.push_back(0); // filter: none
        const auto row = image.pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * image.width);
        raw.insert(raw.end(), row, row + image.width);
    }
    put_chunk(png, "IDAT", zlib_stored(raw));
    put_chunk(png, "IEND", Bytes{});
    return png;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INPUT.bmp OUTPUT.png EDGE\n", argv[0]);
        return 2;
    }
    try {
        char *end = nullptr;
        const long edge = std::strtol(argv[3], &end, 10);
        if (*end != '\0' || edge < 1 || edge > 4096)
            throw std::runtime_error(std::string("EDGE must be a whole number of pixels: ") + argv[3]);
        IndexedImage image = decode_bmp(read_file(argv[1]));
        // The icon folders are named by size: a picture of another size must not land in them.
        if (image.width != image.height || static_cast<uint32_t>(edge) % image.width != 0)
            throw std::runtime_error("a " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                                     " picture does not scale to " + argv[3] + "x" + argv[3]);
        const uint32_t factor = static_cast<uint32_t>(edge) / image.width;
        if (factor > 1)
            image = scale_up(image, factor);
        write_file(argv[2], encode_png(image));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
