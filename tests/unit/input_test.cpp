// input_test.cpp: the keypad direction, the record's layout and bindings, press edges and the quit flag.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/drawing.h"
#include "runtime/input.h"
#include "runtime/main_loop.h"
#include "runtime/platform.h"
#include "scenes/run.h"
#include "sdl_screen.h"

namespace {

TEST(KeypadDirection, EveryCombinationOfTheFourKeys)
{
    // Each key 1 held, 0 released; opposite keys cancel.
    struct Case {
        int up, down, left, right, dir;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 5}, {1, 0, 0, 0, 8}, {0, 1, 0, 0, 2}, {0, 0, 1, 0, 4}, {0, 0, 0, 1, 6}, {1, 0, 1, 0, 7},
        {1, 0, 0, 1, 9}, {0, 1, 1, 0, 1}, {0, 1, 0, 1, 3}, {1, 1, 0, 0, 5}, {0, 0, 1, 1, 5}, {1, 0, 1, 1, 8},
        {0, 1, 1, 1, 2}, {1, 1, 1, 0, 4}, {1, 1, 0, 1, 6}, {1, 1, 1, 1, 5},
    };
    for (const Case &c : cases)
        EXPECT_EQ(keypad_direction(c.up, c.down, c.left, c.right), c.dir)
            << "up " << c.up << " down " << c.down << " left " << c.left << " right " << c.right;
}

TEST(InputRecord, PacksIntoTenSixteenBitUnits) { EXPECT_EQ(sizeof(InputState), 20u); }

TEST(InputRecord, InitClearsAllRecordsAndBindsTheFirst)
{
    InputState records[input_records];
    std::memset(records, 0xFF, sizeof records);

    init_input(records);
    for (const InputState &s : records) {
        EXPECT_EQ(s.dir, 0);
        EXPECT_EQ(s.dir_latch, 0);
        EXPECT_EQ(s.held_1 | s.held_2 | s.held_3 | s.held_4 | s.held_5 | s.held_6, 0);
        EXPECT_EQ(s.prev_1 | s.prev_2 | s.prev_3 | s.prev_4 | s.prev_5 | s.prev_6, 0);
        EXPECT_EQ(s.pressed_1 | s.pressed_2 | s.pressed_3 | s.pressed_4 | s.pressed_5 | s.pressed_6, 0);
    }
    const InputState &first = records[0];
    EXPECT_EQ(first.key_up, 273);
    EXPECT_EQ(first.key_down, 274);
    EXPECT_EQ(first.key_right, 275);
    EXPECT_EQ(first.key_left, 276);
    EXPECT_EQ(first.key_1, 122);
    EXPECT_EQ(first.key_2, 120);
    EXPECT_EQ(first.key_3, 99);
    EXPECT_EQ(first.key_4, 97);
    EXPECT_EQ(first.key_5, 115);
    EXPECT_EQ(first.key_6, 100);
    EXPECT_EQ(records[1].key_1, 511) << "the other records' keys are left as they were";
}

TEST(InputRecord, ARunReadsItsFirstRecord)
{
    ::Run run; // testing::Test has a member function Run()
    DrawTarget target = counting_target();
    run.input = 3;
    run.input_states[0].key_1 = 0;
    start_run(run, target, 0);
    EXPECT_EQ(&input_of(run), &run.input_states[0]);
    EXPECT_EQ(input_of(run).key_1, 122);
}

// poll_input on the snapshot of the platform's keys and events, as the program reads them with the
// first record's bindings.
class PollInputTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        init_input(records);
    }

    // One poll with the given keys held (every other key released); returns the quit flag.
    uint8_t poll_with(std::initializer_list<SDLKey> held)
    {
        clear_keys();
        for (SDLKey key : held)
            key_state[key] = 1;
        RawInput raw;
        read_raw_input(raw);
        KeySnapshot keys = build_key_snapshot(records[0], raw);
        uint8_t quit = 0;
        poll_input(records[0], keys, &quit);
        return quit;
    }

    InputState records[input_records];
    const InputState &s = records[0];
};

TEST_F(PollInputTest, DirectionIsZeroBeforeTheFirstPollAndFiveWithNoKey)
{
    EXPECT_EQ(s.dir, 0);
    EXPECT_EQ(s.dir_latch, 0);
    poll_with({});
    EXPECT_EQ(s.dir, 5);
    EXPECT_EQ(s.dir_latch, 5);
}

TEST_F(PollInputTest, DirectionFollowsTheBoundCursorKeys)
{
    poll_with({SDLK_UP, SDLK_LEFT});
    EXPECT_EQ(s.dir_latch, 7);
    poll_with({SDLK_DOWN, SDLK_RIGHT});
    EXPECT_EQ(s.dir_latch, 3);
    EXPECT_EQ(s.dir, 3);
    poll_with({SDLK_UP, SDLK_LEFT, SDLK_RIGHT});
    EXPECT_EQ(s.dir_latch, 8);
    poll_with({SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT});
    EXPECT_EQ(s.dir_latch, 5);
}

TEST_F(PollInputTest, PressedOnlyAtTheFirstHeldPollAndAgainAfterARelease)
{
    poll_with({SDLK_z});
    EXPECT_EQ(s.held_1, 1);
    EXPECT_EQ(s.pressed_1, 1);
    for (int tick = 0; tick < 5; tick++) {
        poll_with({SDLK_z});
        EXPECT_EQ(s.held_1, 1);
        EXPECT_EQ(s.prev_1, 1);
        EXPECT_EQ(s.pressed_1, 0) << "held tick " << tick;
    }
    poll_with({});
    EXPECT_EQ(s.held_1, 0);
    EXPECT_EQ(s.pressed_1, 0);
    poll_with({SDLK_z});
    EXPECT_EQ(s.pressed_1, 1);
}

TEST_F(PollInputTest, EachButtonHasItsOwnKey)
{
    poll_with({SDLK_x, SDLK_a, SDLK_d});
    EXPECT_EQ(s.held_1, 0);
    EXPECT_EQ(s.held_2, 1);
    EXPECT_EQ(s.held_3, 0);
    EXPECT_EQ(s.held_4, 1);
    EXPECT_EQ(s.held_5, 0);
    EXPECT_EQ(s.held_6, 1);
    EXPECT_EQ(s.pressed_2 + s.pressed_4 + s.pressed_6, 3);
    poll_with({SDLK_c, SDLK_s, SDLK_d});
    EXPECT_EQ(s.pressed_3, 1);
    EXPECT_EQ(s.pressed_5, 1);
    EXPECT_EQ(s.pressed_6, 0);
    EXPECT_EQ(s.held_2 | s.held_4 | s.pressed_2 | s.pressed_4, 0);
}

TEST_F(PollInputTest, OtherKeysDoNothing)
{
    poll_with({});
    EXPECT_EQ(poll_with({SDLK_SPACE, SDLK_RETURN, SDLK_q, SDLK_w, SDLK_KP8, SDLK_KP2, SDLK_LSHIFT, SDLK_v}), 0);
    EXPECT_EQ(s.dir_latch, 5);
    EXPECT_EQ(s.held_1 | s.held_2 | s.held_3 | s.held_4 | s.held_5 | s.held_6, 0);
    EXPECT_EQ(s.pressed_1 | s.pressed_2 | s.pressed_3 | s.pressed_4 | s.pressed_5 | s.pressed_6, 0);
}

TEST_F(PollInputTest, EscapeHeldSetsQuitAtEveryPoll)
{
    EXPECT_EQ(poll_with({SDLK_ESCAPE}), 1);
    EXPECT_EQ(poll_with({SDLK_ESCAPE}), 1);
    EXPECT_EQ(poll_with({}), 0);
}

TEST_F(PollInputTest, CloseEventSetsQuitAndOtherEventsAreDiscarded)
{
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    EXPECT_EQ(poll_with({}), 0);

    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    EXPECT_EQ(poll_with({}), 1);
    EXPECT_EQ(poll_with({}), 0) << "the queue was drained";
}

} // namespace
