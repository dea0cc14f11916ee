// bitmap_check_test.cpp: the BMP header check in front of SDL's loader, on crafted files: every header
// it refuses, and the ordinary bitmaps (1 to 32 bits, 12-, 40- and 124-byte headers) that it lets
// through and SDL then loads at the size the header gives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/bitmap.h"
#include "runtime/platform.h"
#include "sdl_screen.h"
#include "test_support.h"

namespace {

struct BmpSpec {
    uint32_t info_size = 40;
    int32_t width = 4;
    int32_t height = 4; // negative: rows stored top down
    uint16_t planes = 1;
    uint16_t depth = 8;
    uint32_t compression = 0;
    uint32_t colours_used = 0;
    bool bit_fields = false; // compression 3 with masks for 5-6-5 (16 bits) or 8-8-8-8 (32 bits)
};

void put_u16(std::vector<uint8_t> &out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put_u32(std::vector<uint8_t> &out, uint32_t value)
{
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

void set_u32(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A whole, consistent BMP file: file header, info header, masks, palette, then every row, padded to
// four bytes. Each test then breaks the one thing it is about.
std::vector<uint8_t> make_bmp(const BmpSpec &spec)
{
    uint32_t compression = spec.bit_fields ? 3 : spec.compression;
    std::vector<uint32_t> masks;
    if (spec.bit_fields)
        masks = spec.depth == 16 ? std::vector<uint32_t>{0xF800, 0x07E0, 0x001F}
                                 : std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF, 0xFF000000};

    std::vector<uint8_t> info;
    if (spec.info_size == 12) {
        put_u32(info, 12);
        put_u16(info, static_cast<uint16_t>(spec.width));
        put_u16(info, static_cast<uint16_t>(spec.height));
        put_u16(info, spec.planes);
        put_u16(info, spec.depth);
    } else {
        put_u32(info, spec.info_size);
        put_u32(info, static_cast<uint32_t>(spec.width));
        put_u32(info, static_cast<uint32_t>(spec.height));
        put_u16(info, spec.planes);
        put_u16(info, spec.depth);
        put_u32(info, compression);
        put_u32(info, 0);    // image size: may be 0 without compression
        put_u32(info, 2835); // 72 dots per inch
        put_u32(info, 2835);
        put_u32(info, spec.colours_used);
        put_u32(info, 0);
        // From 52 bytes on, the masks are part of the info header; with 40 bytes they follow it.
        size_t in_header = 0;
        if (spec.info_size >= 52)
            for (uint32_t mask : masks)
                if (info.size() + 4 <= spec.info_size && in_header < 4) {
                    put_u32(info, mask);
                    in_header++;
                }
        masks.erase(masks.begin(), masks.begin() + static_cast<long>(in_header));
        info.resize(spec.info_size, 0);
    }
    std::vector<uint8_t> after_info;
    if (spec.info_size == 40)
        for (size_t i = 0; i < masks.size() && i < 3; i++)
            put_u32(after_info, masks[i]);
    uint32_t entries = spec.depth <= 8 ? (spec.colours_used != 0 ? spec.colours_used : 1u << spec.depth) : 0;
    for (uint32_t i = 0; i < entries; i++) {
        after_info.push_back(static_cast<uint8_t>(i));
        after_info.push_back(static_cast<uint8_t>(255 - i));
        after_info.push_back(static_cast<uint8_t>(i * 3));
        if (spec.info_size != 12)
            after_info.push_back(0);
    }

    uint32_t rows = static_cast<uint32_t>(spec.height < 0 ? -int64_t{spec.height} : spec.height);
    uint32_t row_bytes = spec.width > 0 ? ((static_cast<uint32_t>(spec.width) * spec.depth + 31) / 32) * 4 : 0;
    uint32_t offset = static_cast<uint32_t>(14 + info.size() + after_info.size());
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put_u32(out, offset + row_bytes * rows);
    put_u32(out, 0);
    put_u32(out, offset);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), after_info.begin(), after_info.end());
    for (uint64_t i = 0; i < uint64_t{row_bytes} * rows; i++)
        out.push_back(static_cast<uint8_t>(i % 7)); // small values: valid indices at every depth
    return out;
}

BitmapVerdict check(const std::vector<uint8_t> &file)
{
    return check_bitmap_header(file.data(), file.size() < 138 ? file.size() : 138, file.size());
}

// Loads 'bytes' through load_bitmap from a file of a test folder of its own.
class BitmapLoadTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        char dir[] = "/tmp/vorpaline-bitmap-test-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
        path = folder + "/sheet.bmp";
    }

    void TearDown() override
    {
        unlink(path.c_str());
        rmdir(path.c_str());
        rmdir(folder.c_str());
        SdlScreenTest::TearDown();
    }

    void write(const std::vector<uint8_t> &bytes)
    {
        std::FILE *file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
        ASSERT_EQ(std::fclose(file), 0);
        ASSERT_EQ(written, bytes.size());
    }

    // The file is refused with the one line naming it, and SDL's loader is never reached.
    void expect_refused(const std::vector<uint8_t> &bytes)
    {
        EXPECT_EQ(check(bytes), BITMAP_CORRUPT);
        write(bytes);
        Image *image = nullptr;
        std::string out = capture_stdout([&] { image = load_bitmap(path.c_str()); });
        EXPECT_EQ(image, nullptr);
        free_image(image);
        EXPECT_EQ(out, "ERROR! " + path + " is not a usable bitmap.\n");
    }

    // The file passes, loads silently, and SDL's surface has the header's size.
    void expect_loaded(const std::vector<uint8_t> &bytes, int width, int height)
    {
        EXPECT_EQ(check(bytes), BITMAP_OK);
        write(bytes);
        Image *image = nullptr;
        std::string out = capture_stdout([&] { image = load_bitmap(path.c_str()); });
        EXPECT_EQ(out, "");
        ASSERT_NE(image, nullptr) << SDL_GetError();
        EXPECT_EQ(image->surface->w, width);
        EXPECT_EQ(image->surface->h, height);
        free_image(image);
    }

    std::string folder, path;
};

// The refusals: each header is a whole file with one thing wrong.

TEST(BitmapCheck, RefusesWhatIsNoBitmap)
{
    std::vector<uint8_t> good = make_bmp({});
    EXPECT_EQ(check_bitmap_header(good.data(), 0, 0), BITMAP_CORRUPT);
    std::vector<uint8_t> wrong_magic = good;
    wrong_magic[1] = 'A';
    EXPECT_EQ(check(wrong_magic), BITMAP_CORRUPT);
    // The file header and the first 12 bytes of an info header are the least there is.
    EXPECT_EQ(check_bitmap_header(good.data(), 25, 25), BITMAP_CORRUPT);
    std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', '\n'};
    EXPECT_EQ(check(text), BITMAP_CORRUPT);
}

TEST(BitmapCheck, RefusesUnknownAndTruncatedInfoHeaders)
{
    for (uint32_t size : {0u, 11u, 16u, 39u, 41u, 64u, 100u, 125u, 1000000u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> file = make_bmp({});
        set_u32(file, 14, size);
        EXPECT_EQ(check(file), BITMAP_CORRUPT) << "info header of " << size << " bytes";
    }
    // A 124-byte header in a file that ends inside it.
    std::vector<uint8_t> file = make_bmp({.info_size = 124});
    EXPECT_EQ(check_bitmap_header(file.data(), 100, 100), BITMAP_CORRUPT);
}

TEST(BitmapCheck, RefusesSizesSdlWouldAllocateGigabytesFor)
{
    for (auto [w, h] : {std::pair{0, 4},
                        {4, 0},
                        {-4, 4},
                        {8193, 1},
                        {1, 8193},
                        {1, -8193},
                        {4097, 4097},
                        {0x7FFFFFFF, 0x7FFFFFFF},
                        {1, INT32_MIN},
                        {INT32_MIN, 1},
                        {65535, 65535}}) {
        // Only the header: the rows a real file of that size would need are not there either.
        std::vector<uint8_t> file = make_bmp({.width = 4, .height = 4});
        set_u32(file, 18, static_cast<uint32_t>(w));
        set_u32(file, 22, static_cast<uint32_t>(h));
        file.resize(file.size() + 1024);
        EXPECT_EQ(check(file), BITMAP_CORRUPT) << w << "x" << h;
        // Nor does a file of that length make it acceptable.
        EXPECT_EQ(check_bitmap_header(file.data(), 138, uint64_t{1} << 40), BITMAP_CORRUPT) << w << "x" << h;
    }
    // The 12-byte header's sizes are 16-bit: 65535 is a size, never -1.
    std::vector<uint8_t> core = make_bmp({.info_size = 12, .width = 4, .height = 4});
    core[18] = core[19] = 0xFF;
    EXPECT_EQ(check_bitmap_header(core.data(), core.size(), uint64_t{1} << 40), BITMAP_CORRUPT);
}

TEST(BitmapCheck, RefusesPlanesDepthsAndCompressions)
{
    EXPECT_EQ(check(make_bmp({.planes = 0})), BITMAP_CORRUPT);
    EXPECT_EQ(check(make_bmp({.planes = 2})), BITMAP_CORRUPT);
    for (uint16_t depth : {0, 2, 3, 7, 12, 15, 48, 64, 0xFFFF}) {
        std::vector<uint8_t> file = make_bmp({});
        file[28] = static_cast<uint8_t>(depth);
        file[29] = static_cast<uint8_t>(depth >> 8);
        EXPECT_EQ(check(file), BITMAP_CORRUPT) << depth << " bits";
    }
    // Run lengths (1, 2), bit fields below 16 bits or at 24, JPEG and PNG inside (4, 5), alpha bit
    // fields (6) and nonsense: SDL's decoders of those are not ours to trust with any file.
    for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u, 11u, 0xFFFFFFFFu})
        EXPECT_EQ(check(make_bmp({.compression = compression})), BITMAP_CORRUPT) << "compression " << compression;
    EXPECT_EQ(check(make_bmp({.depth = 4, .compression = 2})), BITMAP_CORRUPT);
    EXPECT_EQ(check(make_bmp({.depth = 24, .compression = 3})), BITMAP_CORRUPT);
}

TEST(BitmapCheck, RefusesPalettesLargerThanTheDepthCanIndex)
{
    EXPECT_EQ(check(make_bmp({.colours_used = 256})), BITMAP_OK);
    EXPECT_EQ(check(make_bmp({.colours_used = 257})), BITMAP_CORRUPT);
    EXPECT_EQ(check(make_bmp({.depth = 4, .colours_used = 17})), BITMAP_CORRUPT);
    EXPECT_EQ(check(make_bmp({.depth = 1, .colours_used = 3})), BITMAP_CORRUPT);
    std::vector<uint8_t> huge = make_bmp({});
    set_u32(huge, 46, 0xFFFFFFFF);
    EXPECT_EQ(check(huge), BITMAP_CORRUPT);
}

TEST(BitmapCheck, RefusesFilesShorterThanTheirHeaderPromises)
{
    std::vector<uint8_t> file = make_bmp({.width = 5, .height = 3});
    EXPECT_EQ(check(file), BITMAP_OK);
    // One byte short of the last row (its padding included).
    EXPECT_EQ(check_bitmap_header(file.data(), 138, file.size() - 1), BITMAP_CORRUPT);
    std::vector<uint8_t> cut = file;
    cut.pop_back();
    EXPECT_EQ(check(cut), BITMAP_CORRUPT);
    // The same for a top-down bitmap, whose height is negative.
    std::vector<uint8_t> top_down = make_bmp({.width = 5, .height = -3});
    EXPECT_EQ(check(top_down), BITMAP_OK);
    top_down.pop_back();
    EXPECT_EQ(check(top_down), BITMAP_CORRUPT);
    // Cut inside the palette.
    std::vector<uint8_t> no_palette(file.begin(), file.begin() + 60);
    EXPECT_EQ(check(no_palette), BITMAP_CORRUPT);
}

TEST(BitmapCheck, RefusesPixelOffsetsOutsideTheFileOrInsideTheHeaders)
{
    std::vector<uint8_t> file = make_bmp({});
    for (uint32_t offset : {0u, 14u, 53u, 54u + 1023u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<uint8_t> moved = file;
        set_u32(moved, 10, offset);
        EXPECT_EQ(check(moved), BITMAP_CORRUPT) << "pixels at " << offset;
    }
    // Past the rows: the offset plus the rows overruns the file by the shift.
    std::vector<uint8_t> late = file;
    set_u32(late, 10, 54 + 1024 + 4);
    EXPECT_EQ(check(late), BITMAP_CORRUPT);
    // Bit fields with a 40-byte header: the three masks sit between the header and the pixels.
    std::vector<uint8_t> masked = make_bmp({.depth = 16, .bit_fields = true});
    EXPECT_EQ(check(masked), BITMAP_OK);
    set_u32(masked, 10, 54);
    EXPECT_EQ(check(masked), BITMAP_CORRUPT);
}

TEST(BitmapCheck, AcceptsTheOrdinaryFormats)
{
    for (uint16_t depth : {1, 4, 8, 24, 32})
        for (uint32_t info_size : {12u, 40u, 124u})
            EXPECT_EQ(check(make_bmp({.info_size = info_size, .width = 13, .height = 5, .depth = depth})), BITMAP_OK)
                << depth << " bits, " << info_size << "-byte header";
    EXPECT_EQ(check(make_bmp({.depth = 16, .bit_fields = true})), BITMAP_OK);
    EXPECT_EQ(check(make_bmp({.info_size = 124, .depth = 32, .bit_fields = true})), BITMAP_OK);
    EXPECT_EQ(check(make_bmp({.width = 8192, .height = 1})), BITMAP_OK);
    EXPECT_EQ(check(make_bmp({.width = 4096, .height = -4096, .depth = 1})), BITMAP_OK);
}

// Loading: what the check refuses never reaches SDL, and what it lets through SDL loads at its size.

TEST_F(BitmapLoadTest, LoadsEveryAcceptedKindAtTheSizeOfItsHeader)
{
    for (uint16_t depth : {1, 4, 8, 24, 32})
        for (uint32_t info_size : {12u, 40u, 124u}) {
            SCOPED_TRACE(std::to_string(depth) + " bits, " + std::to_string(info_size) + "-byte header");
            expect_loaded(make_bmp({.info_size = info_size, .width = 13, .height = 5, .depth = depth}), 13, 5);
        }
    expect_loaded(make_bmp({.width = 7, .height = -3}), 7, 3);
    expect_loaded(make_bmp({.width = 3, .height = 2, .colours_used = 16}), 3, 2);
    expect_loaded(make_bmp({.width = 9, .height = 2, .depth = 16, .bit_fields = true}), 9, 2);
    for (uint32_t info_size : {52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(std::to_string(info_size) + "-byte header with bit fields");
        expect_loaded(make_bmp({.info_size = info_size, .width = 5, .height = 6, .depth = 32, .bit_fields = true}), 5,
                      6);
        expect_loaded(make_bmp({.info_size = info_size, .width = 5, .height = 6, .depth = 16, .bit_fields = true}), 5,
                      6);
    }
}

TEST_F(BitmapLoadTest, RefusedFilesPrintOneLineAndGiveNoSurface)
{
    expect_refused({});
    expect_refused({'B', 'M'});
    std::vector<uint8_t> big = make_bmp({});
    set_u32(big, 18, 65535);
    set_u32(big, 22, 65535);
    expect_refused(big);
    std::vector<uint8_t> past_end = make_bmp({});
    set_u32(past_end, 10, 0x7FFFFFFF);
    expect_refused(past_end);
    std::vector<uint8_t> cut = make_bmp({.width = 64, .height = 64});
    cut.resize(cut.size() / 2);
    expect_refused(cut);
    expect_refused(make_bmp({.compression = 1}));
}

TEST_F(BitmapLoadTest, MissingFilesAndFoldersAreSilentlyAbsent)
{
    Image *image = nullptr;
    std::string out = capture_stdout([&] { image = load_bitmap(path.c_str()); });
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(out, "");
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    out = capture_stdout([&] { image = load_bitmap(path.c_str()); });
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(out, "");
}

TEST(BitmapCheck, AcceptsTheShippedBitmaps)
{
    for (const char *name : {"icon.bmp", "font.bmp", "cursor.bmp", "ship.bmp", "actors.bmp"}) {
        std::string path = std::string(VORPALINE_SOURCE_DIR) + "/data/" + name;
        std::FILE *file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr) << path;
        std::vector<uint8_t> bytes;
        int c;
        while ((c = std::fgetc(file)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(file);
        EXPECT_EQ(check(bytes), BITMAP_OK) << name;
    }
}

} // namespace
