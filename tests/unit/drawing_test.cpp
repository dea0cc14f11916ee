// drawing_test.cpp: rectangles, sprite frames (clipping, colour key, unloaded sheets) and the present.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/back_buffer.h"
#include "runtime/drawing.h"
#include "runtime/platform.h"
#include "runtime/sprite_sheets.h"
#include "sdl_screen.h"

namespace {

constexpr uint8_t test_sheet = 200;     // a slot the game never loads
constexpr uint8_t unloaded_sheet = 201; // stays without a surface

// Sheet 200 is a 32x16 bitmap whose pixel (x, y) holds index 50 + x, except (0, 0), which is 0 (the
// colour key). Frame 3 is its left 16x16 square, frame 4 the right one, frame 5 stays 0,0,0,0.
class DrawingTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        saved_sheet = sprite_sheets[test_sheet];
        saved_unloaded = sprite_sheets[unloaded_sheet];
        SDL_Surface *bitmap = make_indexed_surface(32, 16);
        ASSERT_NE(bitmap, nullptr);
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 32; x++)
                set_pixel(bitmap, x, y, static_cast<uint8_t>(50 + x));
        set_pixel(bitmap, 0, 0, 0);
        SDL_SetColorKey(bitmap, SDL_SRCCOLORKEY, 0);
        SpriteSheet &sheet = sprite_sheets[test_sheet];
        sheet = SpriteSheet{};
        sheet.image = image_of_surface(bitmap);
        sheet.frames[3] = Rect{0, 0, 16, 16};
        sheet.frames[4] = Rect{16, 0, 16, 16};
        sprite_sheets[unloaded_sheet] = SpriteSheet{};
        sprite_sheets[unloaded_sheet].frames[3] = Rect{0, 0, 16, 16};
    }

    void TearDown() override
    {
        free_image(sprite_sheets[test_sheet].image);
        sprite_sheets[test_sheet] = saved_sheet;
        sprite_sheets[unloaded_sheet] = saved_unloaded;
        SdlScreenTest::TearDown();
    }

    static int count_nonzero()
    {
        int n = 0;
        for (int y = 0; y < screen_height; y++)
            for (int x = 0; x < screen_width; x++)
                n += pixel(x, y) != 0;
        return n;
    }

    static void record(void *context, const DrawCall &call)
    {
        static_cast<std::vector<DrawCall> *>(context)->push_back(call);
    }

    DrawTarget target = back_buffer_target();
    std::vector<DrawCall> calls;

  private:
    SpriteSheet saved_sheet{};
    SpriteSheet saved_unloaded{};
};

TEST_F(DrawingTest, SpriteCopiesItsFrameAndLeavesColourKeyPixels)
{
    fill_rect(target, 100, 50, 1, 1, 7);
    draw_sprite(target, 100, 50, test_sheet, 3);
    EXPECT_EQ(pixel(100, 50), 7) << "index 0 is not drawn";
    EXPECT_EQ(pixel(101, 50), 51);
    EXPECT_EQ(pixel(115, 65), 65);
    EXPECT_EQ(pixel(116, 50), 0);
    EXPECT_EQ(pixel(101, 66), 0);

    draw_sprite(target, 300, 200, test_sheet, 4);
    EXPECT_EQ(pixel(300, 200), 66);
    EXPECT_EQ(pixel(315, 215), 81);
}

TEST_F(DrawingTest, SpriteAtTheRightEdgeShowsOnlyItsLeftColumns)
{
    draw_sprite(target, 630, 10, test_sheet, 3);
    for (int j = 1; j < 10; j++)
        EXPECT_EQ(pixel(630 + j, 11), 50 + j) << "column " << j;
    EXPECT_EQ(count_nonzero(), 10 * 16 - 1);
    const Rect &frame = sprite_sheets[test_sheet].frames[3];
    EXPECT_EQ(frame.w, 16) << "the clipping must not shrink the stored frame";
    draw_sprite(target, 0, 100, test_sheet, 3);
    EXPECT_EQ(pixel(15, 101), 65);
}

TEST_F(DrawingTest, NegativePositionsClipAtTheLeftAndTop)
{
    // -4 as a 16-bit position: the frame's first four columns and rows lie off the screen.
    draw_sprite(target, static_cast<uint16_t>(-4), static_cast<uint16_t>(-4), test_sheet, 3);
    EXPECT_EQ(pixel(0, 0), 54);
    EXPECT_EQ(pixel(11, 11), 65);
    EXPECT_EQ(pixel(12, 0), 0);
    EXPECT_EQ(count_nonzero(), 12 * 12);
}

TEST_F(DrawingTest, UnloadedSheetAndEmptyFrameDrawNothing)
{
    draw_sprite(target, 100, 100, unloaded_sheet, 3);
    draw_sprite(target, 100, 100, test_sheet, 5);
    EXPECT_EQ(count_nonzero(), 0);
}

TEST_F(DrawingTest, FillTakesSixteenBitPositionsAndClips)
{
    EXPECT_EQ(fill_rect(target, static_cast<uint16_t>(-2), 0, 4, 1, 9), 0);
    EXPECT_EQ(pixel(0, 0), 9);
    EXPECT_EQ(pixel(1, 0), 9);
    EXPECT_EQ(pixel(2, 0), 0);
    fill_rect(target, 636, 476, 100, 100, 12);
    EXPECT_EQ(pixel(639, 479), 12);
    EXPECT_EQ(count_nonzero(), 2 + 16);
}

TEST_F(DrawingTest, ObserverSeesFillsAndSpritesAsCalled)
{
    target.observer = record;
    target.observer_context = &calls;
    fill_rect(target, static_cast<uint16_t>(-3), 4, 5, 6, 7);
    draw_sprite(target, static_cast<uint16_t>(-8), 9, unloaded_sheet, 3);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].type, DRAW_FILL);
    EXPECT_EQ(calls[0].x, -3);
    EXPECT_EQ(calls[0].y, 4);
    EXPECT_EQ(calls[0].w, 5);
    EXPECT_EQ(calls[0].h, 6);
    EXPECT_EQ(calls[0].colour, 7);
    EXPECT_EQ(calls[1].type, DRAW_SPRITE);
    EXPECT_EQ(calls[1].x, -8);
    EXPECT_EQ(calls[1].y, 9);
    EXPECT_EQ(calls[1].sheet, unloaded_sheet);
    EXPECT_EQ(calls[1].frame, 3);
    EXPECT_EQ(target.calls, 2u);
    // A target that only counts makes no pixels, and its calls reach no other target's observer.
    DrawTarget counting = counting_target();
    fill_rect(counting, 0, 0, 640, 480, 5);
    EXPECT_EQ(counting.calls, 1u);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(pixel(100, 100), 0);
}

TEST_F(DrawingTest, PresentCopiesTheBackBufferToTheScreen)
{
    fill_rect(target, 0, 0, 640, 480, 3);
    fill_rect(target, 10, 20, 1, 1, 200);
    EXPECT_EQ(present_frame(target), 0);
    ASSERT_EQ(SDL_LockSurface(screen_surface), 0);
    const auto *screen = static_cast<const uint8_t *>(screen_surface->pixels);
    EXPECT_EQ(screen[20 * screen_surface->pitch + 10], 200);
    EXPECT_EQ(screen[479 * screen_surface->pitch + 639], 3);
    SDL_UnlockSurface(screen_surface);
}

} // namespace
