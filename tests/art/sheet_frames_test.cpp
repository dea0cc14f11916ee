// sheet_frames_test.cpp: every frame the game draws has its hit-box size, lies in its bitmap and shows something.
#include <gtest/gtest.h>

#include <optional>

#include "data_readers.hpp"

namespace art_test {
namespace {

struct Size {
    int w = 0;
    int h = 0;
};

// std::nullopt marks a frame the game never draws; it must be 0,0,0,0.
using FrameTable = std::vector<std::optional<Size>>;

FrameTable repeat(FrameTable table, int count, std::optional<Size> size) {
    table.insert(table.end(), count, size);
    return table;
}

FrameTable cursor_frames() { return repeat({}, 4, Size{8, 8}); }

FrameTable ship_frames() {
    FrameTable t = repeat({}, 5, Size{16, 16});  // 0-4 banking
    t = repeat(t, 4, Size{16, 16});              // 5-8 wreck
    t.push_back(Size{16, 8});                    // 9 grown shot
    t.push_back(Size{10, 5});                    // 10
    t.push_back(Size{6, 3});                     // 11 young shot
    t.push_back(Size{12, 12});                   // 12 burnt-out wreck
    return t;
}

FrameTable actor_frames() {
    FrameTable t = repeat({}, 2, Size{16, 16});  // 0,1 fighter
    t = repeat(t, 2, Size{16, 16});              // 2,3 hunter
    t.push_back(Size{16, 16});                   // 4 debris
    t = repeat(t, 2, Size{6, 7});                // 5,6 aimed shot
    t = repeat(t, 2, Size{2, 16});               // 7,8 beam
    t = repeat(t, 4, Size{26, 32});              // 9-12 boss
    t = repeat(t, 2, Size{3, 3});                // 13,14 boss shots
    t = repeat(t, 2, std::nullopt);              // 15,16 unused
    t.push_back(Size{26, 32});                   // 17 boss drop
    t = repeat(t, 4, Size{10, 10});              // 18-21 explosion
    t.push_back(Size{26, 32});                   // 22 boss sinking
    return t;
}

struct LoadedSheet {
    std::vector<std::string> lines;
    std::vector<Rect> rects;
    BmpFile bmp;
};

LoadedSheet load_sheet(const std::string& name) {
    LoadedSheet sheet;
    sheet.lines = read_lines(data_dir() / (name + ".kvs"));
    sheet.rects = parse_kvs(sheet.lines);
    sheet.bmp = load_bmp(data_dir() / (name + ".bmp"));
    return sheet;
}

bool has_ink(const BmpFile& bmp, const Rect& r) {
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            if (bmp.at(x, y) != 0) {
                return true;
            }
        }
    }
    return false;
}

bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

void check_sheet(const std::string& name, const FrameTable& expected) {
    const LoadedSheet sheet = load_sheet(name);
    ASSERT_EQ(sheet.rects.size(), expected.size()) << name << ".kvs frame count";
    ASSERT_FALSE(sheet.bmp.pixels.empty()) << name << ".bmp has no readable pixels";
    for (const std::string& line : sheet.lines) {
        EXPECT_LT(line.size(), 31u) << name << ".kvs line '" << line << "'";
    }
    for (std::size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(name + " frame " + std::to_string(k));
        const Rect& r = sheet.rects[k];
        if (!expected[k]) {
            EXPECT_TRUE(r.x == 0 && r.y == 0 && r.w == 0 && r.h == 0) << "unused frame must be 0,0,0,0";
            continue;
        }
        EXPECT_EQ(r.w, expected[k]->w);
        EXPECT_EQ(r.h, expected[k]->h);
        ASSERT_TRUE(r.x + r.w <= sheet.bmp.width && r.y + r.h <= sheet.bmp.height) << "frame leaves the bitmap";
        EXPECT_TRUE(has_ink(sheet.bmp, r)) << "frame is fully transparent";
        for (std::size_t other = 0; other < k; ++other) {
            if (expected[other]) {
                EXPECT_FALSE(overlap(r, sheet.rects[other])) << "overlaps frame " << other;
            }
        }
    }
}

TEST(Sheets, CursorFrames) { check_sheet("cursor", cursor_frames()); }
TEST(Sheets, ShipFrames) { check_sheet("ship", ship_frames()); }
TEST(Sheets, ActorFrames) { check_sheet("actors", actor_frames()); }

// The ship's deadly core is 5x7 at (5,5); it must be solid picture in every flying frame.
TEST(Sheets, ShipCoreIsDrawnSolid) {
    const LoadedSheet sheet = load_sheet("ship");
    ASSERT_GE(sheet.rects.size(), 5u);
    for (int k = 0; k <= 4; ++k) {
        const Rect& r = sheet.rects[k];
        ASSERT_TRUE(r.x + 16 <= sheet.bmp.width && r.y + 16 <= sheet.bmp.height);
        for (int y = 5; y < 12; ++y) {
            for (int x = 5; x < 10; ++x) {
                EXPECT_NE(sheet.bmp.at(r.x + x, r.y + y), 0) << "frame " << k << " core pixel " << x << "," << y;
            }
        }
    }
}

TEST(Icon, Is32x32PictureWithTransparentSurround) {
    const BmpFile icon = load_bmp(data_dir() / "icon.bmp");
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    ASSERT_EQ(icon.pixels.size(), 32u * 32u);
    int opaque = 0;
    for (std::uint8_t p : icon.pixels) {
        opaque += p != 0 ? 1 : 0;
    }
    EXPECT_GT(opaque, 100) << "too little picture";
    EXPECT_LT(opaque, 32 * 32 - 100) << "too little transparency around the ship";
    EXPECT_EQ(icon.at(0, 0), 0);
    EXPECT_EQ(icon.at(31, 31), 0);
}

}  // namespace
}  // namespace art_test
