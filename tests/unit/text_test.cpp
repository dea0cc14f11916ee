// text_test.cpp: bitmap text: which glyph cell a byte draws, where each character lands, and its cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/back_buffer.h"
#include "runtime/drawing.h"
#include "runtime/platform.h"
#include "sdl_screen.h"

namespace {

TEST(GlyphCell, PrintableBytesAndTheirHighTwins)
{
    struct Case {
        uint8_t byte, column, row;
    };
    const Case cases[] = {
        {0x41, 1, 2},  {0xC1, 1, 2}, {0x20, 0, 0}, {0xA0, 0, 0}, {0x7F, 15, 5},
        {0xDF, 15, 3}, {0x30, 0, 1}, {0x73, 3, 5}, {0xB3, 3, 1},
    };
    for (const Case &c : cases) {
        GlyphCell cell = glyph_cell(c.byte);
        EXPECT_EQ(cell.column, c.column) << "byte 0x" << std::hex << int{c.byte};
        EXPECT_EQ(cell.row, c.row) << "byte 0x" << std::hex << int{c.byte};
    }
    for (int b = 0xA0; b <= 0xDF; b++) {
        EXPECT_EQ(glyph_cell(static_cast<uint8_t>(b)).column, glyph_cell(static_cast<uint8_t>(b - 0x80)).column);
        EXPECT_EQ(glyph_cell(static_cast<uint8_t>(b)).row, glyph_cell(static_cast<uint8_t>(b - 0x80)).row);
    }
}

TEST(GlyphCell, EveryOtherByteDrawsTheFixedCell)
{
    for (int b : {0x01, 0x0A, 0x1F, 0x80, 0x9F, 0xE0, 0xFF}) {
        GlyphCell cell = glyph_cell(static_cast<uint8_t>(b));
        EXPECT_EQ(cell.column, 7) << "byte 0x" << std::hex << b;
        EXPECT_EQ(cell.row, 7) << "byte 0x" << std::hex << b;
    }
}

// A font of the test's own: every pixel of cell (c, r) holds index 32 + c + 16 r, except the cell's
// top-left pixel, which is 0 (the colour key) so that the text background shows through it.
class TextTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        saved_font = font_image;
        SDL_Surface *font = make_indexed_surface(128, 64);
        ASSERT_NE(font, nullptr);
        for (int y = 0; y < 64; y++)
            for (int x = 0; x < 128; x++)
                set_pixel(font, x, y, (x % 8 == 0 && y % 8 == 0) ? 0 : cell_index(x / 8, y / 8));
        SDL_SetColorKey(font, SDL_SRCCOLORKEY, 0);
        font_image = image_of_surface(font);
    }

    void TearDown() override
    {
        free_image(font_image);
        font_image = saved_font;
        SdlScreenTest::TearDown();
    }

    static uint8_t cell_index(int column, int row) { return static_cast<uint8_t>(32 + column + 16 * row); }

    // Expects the 8x8 cell at (x, y) to show glyph cell (column, row) over the text background.
    static void expect_glyph_at(int x, int y, int column, int row)
    {
        EXPECT_EQ(pixel(x, y), text_bg_colour) << "at " << x << "," << y;
        EXPECT_EQ(pixel(x + 1, y), cell_index(column, row)) << "at " << x << "," << y;
        EXPECT_EQ(pixel(x + 7, y + 7), cell_index(column, row)) << "at " << x << "," << y;
    }

    // Each call, and its text, which is valid only during the call.
    struct Seen {
        std::vector<DrawCall> calls;
        std::vector<std::string> texts;
    };
    static void record(void *context, const DrawCall &call)
    {
        Seen &seen = *static_cast<Seen *>(context);
        seen.calls.push_back(call);
        seen.texts.emplace_back(call.type == DRAW_TEXT ? call.text : "");
    }

    DrawTarget target = back_buffer_target();

  private:
    Image *saved_font = nullptr;
};

TEST_F(TextTest, EmptyTextDrawsNothingAndReturnsZero)
{
    EXPECT_EQ(draw_text(target, 100, 100, ""), 0);
    for (int y = 96; y < 112; y++)
        for (int x = 96; x < 112; x++)
            ASSERT_EQ(pixel(x, y), 0);
}

TEST_F(TextTest, EachByteIsAnEightPixelCellFromX)
{
    EXPECT_EQ(draw_text(target, 0, 0, "start"), 5);
    const char *text = "start";
    for (int i = 0; i < 5; i++) {
        GlyphCell cell = glyph_cell(static_cast<uint8_t>(text[i]));
        expect_glyph_at(8 * i, 0, cell.column, cell.row);
    }
    EXPECT_EQ(pixel(40, 0), 0) << "nothing beyond the fifth cell";
    EXPECT_EQ(pixel(0, 8), 0) << "nothing below the cells";
}

TEST_F(TextTest, GlyphCellsOfLettersHighBytesAndControlBytes)
{
    EXPECT_EQ(draw_text(target, 16, 24, "A\xC1\n\x80\xFF"), 5);
    expect_glyph_at(16, 24, 1, 2);
    expect_glyph_at(24, 24, 1, 2);
    expect_glyph_at(32, 24, 7, 7); // a line feed is just another byte
    expect_glyph_at(40, 24, 7, 7);
    expect_glyph_at(48, 24, 7, 7);
}

TEST_F(TextTest, WithoutAFontOnlyTheBackgroundCellsAreDrawn)
{
    Image *font = font_image;
    font_image = nullptr;
    EXPECT_EQ(draw_text(target, 8, 8, "ab"), 2);
    font_image = font;
    for (int y = 8; y < 16; y++)
        for (int x = 8; x < 24; x++)
            ASSERT_EQ(pixel(x, y), text_bg_colour) << x << "," << y;
    EXPECT_EQ(pixel(24, 8), 0);
}

TEST_F(TextTest, PositionsAreSixteenBitAndClippedBySdl)
{
    // -8: the first cell lies wholly beyond the left edge; 65536 + 40 is 40.
    EXPECT_EQ(draw_text(target, -8, 0, "AB"), 2);
    expect_glyph_at(0, 0, 2, 2);
    EXPECT_EQ(pixel(8, 0), 0);
    EXPECT_EQ(draw_text(target, 65536 + 40, static_cast<uint16_t>(-4), "A"), 1);
    EXPECT_EQ(pixel(41, 3), cell_index(1, 2)); // the glyph's bottom half, from y -4
    EXPECT_EQ(pixel(41, 4), 0);
}

TEST_F(TextTest, CharactersBeyondThe256thStartOverAtX)
{
    std::string text(256, 'A');
    text += "BC";
    EXPECT_EQ(draw_text(target, 0, 100, text.c_str()), 258);
    expect_glyph_at(0, 100, 2, 2); // 'B', character 256, drawn over the first 'A'
    expect_glyph_at(8, 100, 3, 2); // 'C'
    expect_glyph_at(16, 100, 1, 2);
}

TEST_F(TextTest, ObserverSeesOneTextCallAndNoInnerFills)
{
    Seen seen;
    target.observer = record;
    target.observer_context = &seen;
    draw_text(target, -8, 30, "hi!");
    ASSERT_EQ(seen.calls.size(), 1u);
    EXPECT_EQ(seen.calls[0].type, DRAW_TEXT);
    EXPECT_EQ(seen.calls[0].x, -8);
    EXPECT_EQ(seen.calls[0].y, 30);
    EXPECT_EQ(seen.texts[0], "hi!");
}

} // namespace
