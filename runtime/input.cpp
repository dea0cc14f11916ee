// input.cpp: the bindings applied to the platform's raw key states, and the input record refreshed
// once per tick from the snapshot.
#include "runtime/input.h"

void init_input(InputState (&records)[input_records])
{
    for (InputState &state : records) {
        state.dir = 0;
        state.dir_latch = 0;
        state.held_1 = state.held_2 = state.held_3 = state.held_4 = state.held_5 = state.held_6 = 0;
        state.prev_1 = state.prev_2 = state.prev_3 = state.prev_4 = state.prev_5 = state.prev_6 = 0;
        state.pressed_1 = state.pressed_2 = state.pressed_3 = 0;
        state.pressed_4 = state.pressed_5 = state.pressed_6 = 0;
    }
    InputState &first = records[0];
    first.key_up = KEYCODE_UP;
    first.key_down = KEYCODE_DOWN;
    first.key_right = KEYCODE_RIGHT;
    first.key_left = KEYCODE_LEFT;
    first.key_1 = KEYCODE_Z;
    first.key_2 = KEYCODE_X;
    first.key_3 = KEYCODE_C;
    first.key_4 = KEYCODE_A;
    first.key_5 = KEYCODE_S;
    first.key_6 = KEYCODE_D;
}

void bound_keys(const InputState &bindings, uint16_t keys[10])
{
    const uint16_t bound[10] = {bindings.key_up, bindings.key_down, bindings.key_left, bindings.key_right,
                                bindings.key_1,  bindings.key_2,    bindings.key_3,    bindings.key_4,
                                bindings.key_5,  bindings.key_6};
    for (int k = 0; k < 10; k++)
        keys[k] = bound[k];
}

uint8_t keypad_direction(int up, int down, int left, int right)
{
    return static_cast<uint8_t>(1 + (1 - left) + right + 3 * up + 3 * (1 - down));
}

KeySnapshot build_key_snapshot(const InputState &bindings, const RawInput &raw)
{
    KeySnapshot snapshot;
    snapshot.close_requested = raw.close_requested;
    if (raw.key_states != nullptr) {
        uint16_t keys[10];
        bound_keys(bindings, keys);
        const uint8_t *state = raw.key_states;
        snapshot.held = state[KEYCODE_ESCAPE] != 0 ? SNAPSHOT_ESCAPE : 0;
        for (int k = 0; k < 4; k++)
            if (state[keys[k]] != 0)
                snapshot.held |= static_cast<uint16_t>(1 << k);
        for (int k = 4; k < 10; k++)
            if (state[keys[k]] & 1)
                snapshot.held |= static_cast<uint16_t>(1 << k);
    }
    if (raw.has_gamepad)
        snapshot.held |= gamepad_keys(raw.gamepad);
    return snapshot;
}

void poll_input(InputState &s, const KeySnapshot &keys, uint8_t *quit)
{
    if (keys.close_requested)
        *quit = 1;
    if (keys.held & SNAPSHOT_ESCAPE)
        *quit = 1;

    s.prev_1 = s.held_1;
    s.prev_2 = s.held_2;
    s.prev_3 = s.held_3;
    s.prev_4 = s.held_4;
    s.prev_5 = s.held_5;
    s.prev_6 = s.held_6;

    auto down = [&keys](uint16_t bit) { return (keys.held & bit) != 0 ? 1 : 0; };
    s.dir = keypad_direction(down(SNAPSHOT_UP), down(SNAPSHOT_DOWN), down(SNAPSHOT_LEFT), down(SNAPSHOT_RIGHT));

    s.held_1 = down(SNAPSHOT_BUTTON_1 << 0);
    s.held_2 = down(SNAPSHOT_BUTTON_1 << 1);
    s.held_3 = down(SNAPSHOT_BUTTON_1 << 2);
    s.held_4 = down(SNAPSHOT_BUTTON_1 << 3);
    s.held_5 = down(SNAPSHOT_BUTTON_1 << 4);
    s.held_6 = down(SNAPSHOT_BUTTON_1 << 5);

    if (s.dir_latch != s.dir)
        s.dir_latch = s.dir;

    s.pressed_1 = s.held_1 && !s.prev_1;
    s.pressed_2 = s.held_2 && !s.prev_2;
    s.pressed_3 = s.held_3 && !s.prev_3;
    s.pressed_4 = s.held_4 && !s.prev_4;
    s.pressed_5 = s.held_5 && !s.prev_5;
    s.pressed_6 = s.held_6 && !s.prev_6;
}
