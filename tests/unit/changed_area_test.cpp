// changed_area_test.cpp: a present of the changes only: every changed pixel inside a rectangle, rows
// near each other in one, their sides on whole words, and the shown copy and its colours equal to the
// new picture afterwards.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/changed_area.h"

namespace {

constexpr int width = 64, height = 20;

struct Case {
    const char *what;
    std::vector<std::pair<int, int>> changed; // pixels (x, y) of the new picture that differ
    std::vector<Rect> expected;
    int max_areas = 16;
};

TEST(PresentChanges, CoversEveryChangedPixelInBandsOfWholeWords)
{
    static_assert(changed_rows_joined == 8, "the cases below join rows fewer than 8 apart");
    const Case cases[] = {
        {"nothing changed", {}, {}},
        {"the first pixel", {{0, 0}}, {{0, 0, 8, 1}}},
        {"the last pixel", {{63, 19}}, {{56, 19, 8, 1}}},
        {"the last of a word and the first of the next", {{7, 5}, {8, 5}}, {{0, 5, 16, 1}}},
        {"rows 7 apart: one rectangle", {{9, 2}, {50, 9}}, {{8, 2, 48, 8}}},
        {"rows 8 apart: two", {{9, 2}, {50, 11}}, {{8, 2, 8, 1}, {48, 11, 8, 1}}},
        {"a column's ends", {{30, 0}, {30, 19}}, {{24, 0, 8, 1}, {24, 19, 8, 1}}},
        {"the wider row below", {{20, 3}, {10, 12}, {45, 12}}, {{16, 3, 8, 1}, {8, 12, 40, 1}}},
        {"more bands than rectangles: the last takes the rest", {{0, 0}, {20, 9}, {60, 19}},
         {{0, 0, 8, 1}, {16, 9, 48, 11}}, 2},
    };
    uint32_t palette[256];
    for (int i = 0; i < 256; i++)
        palette[i] = 0xff000000u | static_cast<uint32_t>(i * 0x010203);
    for (const Case &c : cases) {
        std::vector<uint8_t> shown(width * height, 7), now(width * height, 7);
        std::vector<uint32_t> rgba(width * height, palette[7]);
        for (auto [x, y] : c.changed)
            now[y * width + x] = static_cast<uint8_t>(100 + x + y);
        Rect areas[16];
        int count = present_changes(now.data(), shown.data(), rgba.data(), palette, width, height, areas, c.max_areas);
        ASSERT_EQ(count, static_cast<int>(c.expected.size())) << c.what;
        for (int i = 0; i < count; i++) {
            const Rect &seen = areas[i], &wanted = c.expected[i];
            EXPECT_TRUE(seen.x == wanted.x && seen.y == wanted.y && seen.w == wanted.w && seen.h == wanted.h)
                << c.what << ": rectangle " << i << " is " << seen.x << "," << seen.y << " " << seen.w << "x" << seen.h;
        }
        EXPECT_EQ(shown, now) << c.what << ": the shown copy was not brought up to date";
        for (int i = 0; i < width * height; i++)
            ASSERT_EQ(rgba[i], palette[now[i]]) << c.what << ": pixel " << i << " has the wrong colour";
        EXPECT_EQ(present_changes(now.data(), shown.data(), rgba.data(), palette, width, height, areas, 16), 0)
            << c.what << ": a second look still finds a change";
    }
}

} // namespace
