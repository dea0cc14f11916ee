// angle_math_test.cpp: the cosine and arctangent tables, round_shift, angle_of and the movement rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "actors/angle_math.h"
#include "runtime/trig_tables.h"

namespace {

// The tables are built before main.
using AngleMathTest = testing::Test;

TEST_F(AngleMathTest, CosineTableTellingEntries)
{
    const int keys[] = {0, 1, 64, 128, 171, 256, 512, 683, 768, 1023};
    const int32_t values[] = {65536, 65534, 60547, 46340, 32651, 0, -65536, -32651, 0, 65534};
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(trig_tables.cos_table[keys[i]], values[i]) << "entry " << keys[i];
}

TEST_F(AngleMathTest, CosineTableIsSymmetric)
{
    for (int k = 1; k < 1024; k++)
        ASSERT_EQ(trig_tables.cos_table[k], trig_tables.cos_table[1024 - k]) << "entry " << k;
    for (int k = 0; k < 512; k++)
        ASSERT_EQ(trig_tables.cos_table[k + 512], -trig_tables.cos_table[k]) << "entry " << k;
}

TEST_F(AngleMathTest, ArctangentTableTellingEntries)
{
    const int keys[] = {0, 1, 2, 64, 128, 192, 255};
    const uint16_t values[] = {0, 40, 81, 2555, 4836, 6711, 8171};
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(trig_tables.atan_table[keys[i]], values[i]) << "entry " << keys[i];
    for (int k = 1; k < 256; k++)
        ASSERT_GT(trig_tables.atan_table[k], trig_tables.atan_table[k - 1]) << "entry " << k;
}

TEST_F(AngleMathTest, LookupsWrapTheHeading)
{
    EXPECT_EQ(sin_lookup(256), 65536);
    EXPECT_EQ(sin_lookup(768), -65536);
    EXPECT_EQ(sin_lookup(0), 0);
    EXPECT_EQ(cos_lookup(512), -65536);
    for (int k = 0; k < 1024; k++) {
        ASSERT_EQ(cos_lookup(static_cast<uint16_t>(1024 + k)), cos_lookup(static_cast<uint16_t>(k)));
        ASSERT_EQ(cos_lookup(static_cast<uint16_t>(64512 + k)), cos_lookup(static_cast<uint16_t>(k)));
        ASSERT_EQ(sin_lookup(static_cast<uint16_t>(k)), trig_tables.cos_table[(k + 768) % 1024]);
    }
}

TEST(RoundShift, StartUpListingAndItsMirror)
{
    const int32_t expected[16] = {0, 0, -1, -1, -1, -1, -2, -2, -2, -2, -3, -3, -3, -3, -4, -4};
    for (int32_t i = 0; i < 16; i++) {
        EXPECT_EQ(round_shift(-i, 2), expected[i]) << -i;
        EXPECT_EQ(round_shift(i, 2), -expected[i]) << i;
    }
}

TEST(RoundShift, HalvesRoundAwayFromZero)
{
    EXPECT_EQ(round_shift(32768, 16), 1);
    EXPECT_EQ(round_shift(-32768, 16), -1);
    EXPECT_EQ(round_shift(32767, 16), 0);
    EXPECT_EQ(round_shift(-32767, 16), 0);
    EXPECT_EQ(round_shift(3, 1), 2);
    EXPECT_EQ(round_shift(-3, 1), -2);
    for (int32_t v = -5000; v <= 5000; v++)
        for (uint8_t n : {1, 2, 6, 16})
            ASSERT_EQ(round_shift(-v, n), -round_shift(v, n)) << v << " >> " << int{n};
}

TEST(RoundShift, EndsOfTheRangeDoNotOverflow)
{
    EXPECT_EQ(round_shift(INT32_MAX, 16), 32768);
    EXPECT_EQ(round_shift(INT32_MIN, 16), -32768);
    EXPECT_EQ(round_shift(INT32_MAX, 31), 1);
    EXPECT_EQ(round_shift(INT32_MIN, 31), -1);
    EXPECT_EQ(round_shift(65504, 6), 1024); // a heading equal to 0
}

// A vector and its full-circle angle.
struct AngleCase {
    int32_t dx, dy;
    uint16_t angle;
};

void expect_angles(std::initializer_list<AngleCase> cases)
{
    for (const AngleCase &c : cases)
        EXPECT_EQ(angle_of(c.dx, c.dy), c.angle) << "(" << c.dx << ", " << c.dy << ")";
}

TEST_F(AngleMathTest, AngleOfAxesAndDiagonals)
{
    expect_angles({{1, 0, 0},
                   {0, 1, 16384},
                   {-1, 0, 32768},
                   {0, -1, 49152},
                   {1, 1, 8192},
                   {0, 0, 8192},
                   {-3, -3, 40960},
                   {-5, 5, 24576},
                   {7, -7, 57344}});
}

TEST_F(AngleMathTest, AngleOfWorkedValues)
{
    expect_angles({{2, 1, 4836}, {1, 2, 11548}, {-2, 1, 27932}, {3, -1, 62193}, {100, 1, 81}});
    EXPECT_EQ(round_shift(angle_of(100, -1), 6), 1023);
    // Large screen differences: the ratio index stays below 256.
    EXPECT_EQ(angle_of(32767, 32766), trig_tables.atan_table[(32766 * 256) / 32767]);
    EXPECT_EQ(angle_of(-65535, 1), 32768);
}

TEST_F(AngleMathTest, MovementRule)
{
    EXPECT_EQ(100 + step_x(256, 10), 100);
    EXPECT_EQ(100 + step_y(256, 10), 90);
    EXPECT_EQ(100 + step_x(768, 10), 100);
    EXPECT_EQ(100 + step_y(768, 10), 110);
    EXPECT_EQ(step_x(0, 10), 10);
    EXPECT_EQ(step_y(0, 10), 0);
    EXPECT_EQ(step_x(512, 10), -10);
    // Heading 128 at distance 10: 46340 * 10 / 65536 = 7.07 rounds to 7 both ways.
    EXPECT_EQ(step_x(128, 10), 7);
    EXPECT_EQ(step_y(128, 10), -7);
    EXPECT_EQ(step_x(1024 + 128, -10), -7);
    EXPECT_EQ(step_x(0, 32767), 32767);
    EXPECT_EQ(step_y(768, -32767), -32767);
}

TEST_F(AngleMathTest, AimRuleUsesScreenCoordinates)
{
    // A target straight below on the screen is heading 768; straight above, 256.
    EXPECT_EQ(heading_toward(100, 100, 100, 200), 768);
    EXPECT_EQ(heading_toward(100, 100, 100, 0), 256);
    EXPECT_EQ(heading_toward(100, 100, 0, 100), 512);
    EXPECT_EQ(heading_toward(100, 100, 200, 100), 0);
    EXPECT_EQ(heading_toward(0, 0, 100, 1), 1023);
}

} // namespace
