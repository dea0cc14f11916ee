// input.h: the per-tick keyboard record. The scenes read the first record through 'input'; they
// never touch SDL's keyboard state themselves.
#pragma once

#include <cstdint>

// Bit-fields packed into ten 16-bit units. 'dir' and 'dir_latch' are numeric-keypad directions
// (7 8 9 / 4 5 6 / 1 2 3, 5 = none, 0 before the first poll); key fields are SDL key codes.
struct InputState {
    uint16_t dir : 4, key_up : 9, held_1 : 1, held_2 : 1, held_3 : 1;
    uint16_t dir_latch : 4, key_down : 9, held_4 : 1, held_5 : 1, held_6 : 1;
    uint16_t key_left : 9, pressed_1 : 1, pressed_2 : 1, pressed_3 : 1, pressed_4 : 1, pressed_5 : 1,
        pressed_6 : 1, prev_1 : 1;
    uint16_t prev_2 : 1, prev_3 : 1, prev_4 : 1, prev_5 : 1, prev_6 : 1, key_right : 9;
    uint16_t key_1 : 9;
    uint16_t key_2 : 9;
    uint16_t key_3 : 9;
    uint16_t key_4 : 9;
    uint16_t key_5 : 9;
    uint16_t key_6 : 9;
};

constexpr int input_records = 4;
extern InputState input_states[input_records];

// The record the scenes read: the first one, as returned by init_input.
extern InputState *input;

// Clears the four records and binds the first one to the default keys.
InputState *init_input();

// Drains SDL's event queue (a close event sets *quit), sets *quit while Escape is held, and refreshes
// the first record from the keyboard state.
void poll_input(uint8_t *quit);

// The keypad direction of the four direction keys (each 1 held, 0 released): opposite keys cancel.
uint8_t keypad_direction(int up, int down, int left, int right);
