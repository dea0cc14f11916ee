// palette_test.cpp: the krvcolor.ini reader and the grey ramp used without it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/palette.h"
#include "test_support.h"

namespace {

// Every test starts from an all-black table and leaves the table as it found it.
class PaletteTest : public testing::Test {
  protected:
    void SetUp() override
    {
        std::memcpy(saved, palette, sizeof palette);
        std::memset(palette, 0, sizeof palette);
    }
    void TearDown() override { std::memcpy(palette, saved, sizeof palette); }

    static std::string read(const std::string &text)
    {
        std::FILE *file = text_stream(text);
        std::string out = capture_stdout([&] { read_palette(file); });
        std::fclose(file);
        return out;
    }

    static void expect_entry(int i, int r, int g, int b)
    {
        EXPECT_EQ(palette[i].r, r) << "entry " << i;
        EXPECT_EQ(palette[i].g, g) << "entry " << i;
        EXPECT_EQ(palette[i].b, b) << "entry " << i;
        EXPECT_EQ(palette[i].unused, 0) << "entry " << i << ": the fourth byte is never written";
    }

  private:
    Colour saved[256];
};

TEST_F(PaletteTest, EchoesEachLineAsReadThenTheStoredValues)
{
    EXPECT_EQ(read("1 2 3\n  40   50 60  \n"), "1 2 3\n1,2,3\n\n  40   50 60  \n40,50,60\n\n");
    expect_entry(0, 1, 2, 3);
    expect_entry(1, 40, 50, 60);
    expect_entry(2, 0, 0, 0);
}

TEST_F(PaletteTest, EmptyFilePrintsNothingAndLeavesAllBlack)
{
    EXPECT_EQ(read(""), "");
    for (int i = 0; i < 256; i++)
        expect_entry(i, 0, 0, 0);
}

TEST_F(PaletteTest, MissingValuesCarryOverFromThePreviousLine)
{
    EXPECT_EQ(read("10 20 30\n\n1 2 3\n255 0\nred\n"),
              "10 20 30\n10,20,30\n\n\n10,20,30\n\n1 2 3\n1,2,3\n\n255 0\n255,0,3\n\n"
              "red\n255,0,3\n\n");
    expect_entry(1, 10, 20, 30);
    expect_entry(3, 255, 0, 3);
    expect_entry(4, 255, 0, 3);
}

TEST_F(PaletteTest, FirstLineWithoutThreeNumbersStartsFromBlack)
{
    EXPECT_EQ(read("7\n"), "7\n7,0,0\n\n");
    expect_entry(0, 7, 0, 0);
}

TEST_F(PaletteTest, CommasStopTheScanAfterTheFirstNumber)
{
    read("1 2 3\n10,20,30\n");
    expect_entry(1, 10, 2, 3);
}

TEST_F(PaletteTest, ValuesKeepTheirLowEightBits)
{
    EXPECT_EQ(read("300 -1 256\n4294967297 -255 99999999999\n"),
              "300 -1 256\n44,255,0\n\n4294967297 -255 99999999999\n1,1,255\n\n");
    expect_entry(0, 44, 255, 0);
    // 4294967297 wraps to 1 in 32 bits; 99999999999 is 0x174876E7FF, low byte 0xFF.
    expect_entry(1, 1, 1, 255);
}

TEST_F(PaletteTest, LinesBeyondThe256thAreNeitherReadNorEchoed)
{
    std::string text;
    for (int i = 0; i < 257; i++)
        text += std::to_string(i) + " 1 2\n";
    std::string out = read(text);
    EXPECT_NE(out.find("255 1 2\n255,1,2\n\n"), std::string::npos);
    EXPECT_EQ(out.find("256 1 2"), std::string::npos);
    expect_entry(255, 255, 1, 2);
    expect_entry(0, 0, 1, 2);
}

TEST_F(PaletteTest, RestOfAnOverLongLineFillsTheNextEntry)
{
    // 1023 characters are read at a time: "9 8 7" followed by blanks, then "6 5 4" on its own.
    std::string line = "9 8 7" + std::string(1023 - 5, ' ') + "6 5 4\n";
    read(line);
    expect_entry(0, 9, 8, 7);
    expect_entry(1, 6, 5, 4);
}

TEST_F(PaletteTest, DefaultTableIsAGreyRamp)
{
    fill_default_palette();
    for (int i = 0; i < 256; i++)
        expect_entry(i, i, i, i);
    expect_entry(16, 16, 16, 16); // the text background
}

} // namespace
