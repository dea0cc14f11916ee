// gamepad_test.cpp: a pad's hat, axes and buttons as snapshot keys, and what the input record makes of them.
#include <gtest/gtest.h>

#include "runtime/gamepad.h"
#include "runtime/input.h"

namespace {

GamepadReading hat(uint8_t bits)
{
    GamepadReading reading;
    reading.hat = bits;
    return reading;
}

GamepadReading stick(int16_t x, int16_t y)
{
    GamepadReading reading;
    reading.axis_x = x;
    reading.axis_y = y;
    return reading;
}

GamepadReading buttons(uint8_t bits)
{
    GamepadReading reading;
    reading.buttons = bits;
    return reading;
}

constexpr uint16_t up = SNAPSHOT_UP, down = SNAPSHOT_DOWN, left = SNAPSHOT_LEFT, right = SNAPSHOT_RIGHT;

TEST(GamepadKeys, TheHatStepsIncludingDiagonals)
{
    EXPECT_EQ(gamepad_keys(hat(0)), 0);
    EXPECT_EQ(gamepad_keys(hat(GAMEPAD_HAT_UP)), up);
    EXPECT_EQ(gamepad_keys(hat(GAMEPAD_HAT_DOWN)), down);
    EXPECT_EQ(gamepad_keys(hat(GAMEPAD_HAT_LEFT)), left);
    EXPECT_EQ(gamepad_keys(hat(GAMEPAD_HAT_RIGHT)), right);
    EXPECT_EQ(gamepad_keys(hat(GAMEPAD_HAT_UP | GAMEPAD_HAT_RIGHT)), up | right);
    EXPECT_EQ(gamepad_keys(hat(GAMEPAD_HAT_DOWN | GAMEPAD_HAT_LEFT)), down | left);
    EXPECT_EQ(gamepad_keys(hat(0xF0)), 0) << "bits above the four directions mean nothing";
}

TEST(GamepadKeys, AnAxisSteersOnlyPastAThirdOfItsRange)
{
    // 10922 is the edge of the dead zone: it and everything inside rest, one step further steers.
    EXPECT_EQ(gamepad_dead_zone, 10922);
    EXPECT_EQ(gamepad_keys(stick(0, 0)), 0);
    EXPECT_EQ(gamepad_keys(stick(10922, -10922)), 0);
    EXPECT_EQ(gamepad_keys(stick(-10922, 10922)), 0);
    EXPECT_EQ(gamepad_keys(stick(10923, 0)), right);
    EXPECT_EQ(gamepad_keys(stick(-10923, 0)), left);
    EXPECT_EQ(gamepad_keys(stick(0, -10923)), up);
    EXPECT_EQ(gamepad_keys(stick(0, 10923)), down);
    EXPECT_EQ(gamepad_keys(stick(-32768, -32768)), up | left);
    EXPECT_EQ(gamepad_keys(stick(32767, 32767)), down | right);
    EXPECT_EQ(gamepad_keys(stick(32767, 5000)), right) << "a lean of the other axis stays in its dead zone";
}

TEST(GamepadKeys, ButtonsZeroToFiveAreButtonsOneToSix)
{
    for (int k = 0; k < 6; k++)
        EXPECT_EQ(gamepad_keys(buttons(static_cast<uint8_t>(1 << k))), SNAPSHOT_BUTTON_1 << k) << "button " << k;
    EXPECT_EQ(gamepad_keys(buttons(0xC0)), 0) << "buttons 6 and 7";
    EXPECT_EQ(gamepad_keys(buttons(0xFF)), 0x3F * SNAPSHOT_BUTTON_1);
}

// poll_input on the snapshot that build_key_snapshot makes of the keyboard's bound keys and a pad's
// reading together, as it does for every platform: the record's direction, held buttons and press edges.
class PadAndKeysTest : public testing::Test {
  protected:
    void SetUp() override { init_input(records); }

    // 'keyboard' holds SnapshotKey bits: each stands for the key number bound to it being down.
    void poll(uint16_t keyboard, const GamepadReading &pad)
    {
        uint8_t key_states[key_code_count] = {};
        uint16_t bound[10];
        bound_keys(records[0], bound);
        for (int k = 0; k < 10; k++)
            if (keyboard & (1 << k))
                key_states[bound[k]] = 1;
        RawInput raw;
        raw.key_states = key_states;
        raw.has_gamepad = true;
        raw.gamepad = pad;
        uint8_t quit = 0;
        poll_input(records[0], build_key_snapshot(records[0], raw), &quit);
        EXPECT_EQ(quit, 0) << "nothing on a pad quits";
    }

    InputState records[input_records];
    const InputState &s = records[0];
};

TEST_F(PadAndKeysTest, OppositeDirectionsCancelWhereverTheyComeFrom)
{
    GamepadReading hat_up_stick_down = stick(0, 32767);
    hat_up_stick_down.hat = GAMEPAD_HAT_UP;
    poll(0, hat_up_stick_down);
    EXPECT_EQ(s.dir_latch, 5);
    poll(left, hat(GAMEPAD_HAT_RIGHT | GAMEPAD_HAT_UP));
    EXPECT_EQ(s.dir_latch, 8) << "the left key against the hat's right";
    poll(0, stick(-20000, 20000));
    EXPECT_EQ(s.dir_latch, 1);
}

TEST_F(PadAndKeysTest, AButtonHeldOnKeyThenPadIsOnePress)
{
    poll(SNAPSHOT_BUTTON_1, buttons(0));
    EXPECT_EQ(s.pressed_1, 1);
    poll(SNAPSHOT_BUTTON_1, buttons(1));
    poll(0, buttons(1)); // the key let go while the pad's button is down
    EXPECT_EQ(s.held_1, 1);
    EXPECT_EQ(s.pressed_1, 0);
    poll(0, buttons(0));
    EXPECT_EQ(s.held_1, 0);
    poll(0, buttons(1));
    EXPECT_EQ(s.pressed_1, 1) << "pressed again after a poll with neither";
}

} // namespace
