// input.h: the per-tick input record. Once per tick the platform's raw key states become a snapshot of
// the bound keys (build_key_snapshot, the one place the bindings are applied), and poll_input turns the
// snapshot into the first record, which the scenes read.
#pragma once

#include <cstdint>

#include "runtime/gamepad.h"

// Key numbers as SDL 1.2 numbers its keys (SDLKey). The bindings below hold them, and every platform
// reads its keys by these numbers.
enum KeyCode : uint16_t {
    KEYCODE_ESCAPE = 27,
    KEYCODE_A = 97,
    KEYCODE_C = 99,
    KEYCODE_D = 100,
    KEYCODE_S = 115,
    KEYCODE_X = 120,
    KEYCODE_Z = 122,
    KEYCODE_UP = 273,
    KEYCODE_DOWN = 274,
    KEYCODE_RIGHT = 275,
    KEYCODE_LEFT = 276,
};
constexpr int key_code_count = 512; // every key number fits 9 bits

// What a tick's poll sees: which of the ten bound keys and Escape are down, and whether the window's
// close event arrived since the last snapshot. A replay, a recording and every platform deliver this;
// on the desktop a gamepad's hat, axes and buttons are folded in as the keys they stand for.
enum SnapshotKey : uint16_t {
    SNAPSHOT_UP = 1 << 0,
    SNAPSHOT_DOWN = 1 << 1,
    SNAPSHOT_LEFT = 1 << 2,
    SNAPSHOT_RIGHT = 1 << 3,
    SNAPSHOT_BUTTON_1 = 1 << 4, // buttons 2 to 6 follow in the next bits
    SNAPSHOT_ESCAPE = 1 << 10,
};
struct KeySnapshot {
    uint16_t held = 0;           // SnapshotKey bits
    uint8_t close_requested = 0; // 1 when the close event arrived
};

// Bit-fields packed into ten 16-bit units. 'dir' and 'dir_latch' are numeric-keypad directions
// (7 8 9 / 4 5 6 / 1 2 3, 5 = none, 0 before the first poll); key fields are KeyCode numbers.
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

// Clears the four records and binds the first one, the one the scenes read, to the default keys.
void init_input(InputState (&records)[input_records]);

// The ten key numbers bound in a record, in SnapshotKey order: up, down, left, right, buttons 1 to 6.
void bound_keys(const InputState &bindings, uint16_t keys[10]);

// What a platform reads of the player's devices at one moment.
struct RawInput {
    const uint8_t *key_states = nullptr; // by key number (key_code_count entries); none without a keyboard
    uint8_t close_requested = 0;         // the window's close event arrived since the last reading
    bool has_gamepad = false;
    GamepadReading gamepad;
};

// The snapshot of the keys bound in 'bindings', of Escape and of the close event. A direction key
// counts when its state is non-zero, a button by the state's lowest bit; a gamepad's hat, axes and
// buttons count as the keys they stand for.
KeySnapshot build_key_snapshot(const InputState &bindings, const RawInput &raw);

// Turns a tick's snapshot into 'record': the close event or Escape held sets *quit, then the
// direction, the held buttons and their press edges are refreshed.
void poll_input(InputState &record, const KeySnapshot &keys, uint8_t *quit);

// The keypad direction of the four direction keys (each 1 held, 0 released): opposite keys cancel.
uint8_t keypad_direction(int up, int down, int left, int right);
