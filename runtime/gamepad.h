// gamepad.h: what a gamepad's reading holds down, as the keys of a snapshot. The desktop platform
// reads its first joystick once per tick and ORs these keys into the keyboard's, so the input record,
// recordings and replays see a pad exactly as keys.
#pragma once

#include <cstdint>

// The bits of a hat's position, numbered as SDL numbers them; a diagonal sets two.
enum GamepadHat : uint8_t {
    GAMEPAD_HAT_UP = 1 << 0,
    GAMEPAD_HAT_RIGHT = 1 << 1,
    GAMEPAD_HAT_DOWN = 1 << 2,
    GAMEPAD_HAT_LEFT = 1 << 3,
};

// An axis steers only beyond a third of its range either way: a stick at rest rarely reads 0, and a
// slight lean should not move the ship.
constexpr int16_t gamepad_dead_zone = 32767 / 3;

// The pad's buttons 0 to 5 are buttons 1 to 6; the platform reads the first eight, the rest do nothing.
constexpr int gamepad_read_buttons = 8;

struct GamepadReading {
    uint8_t hat = 0;     // GamepadHat bits of the first hat (0 when centred, or when the pad has none)
    int16_t axis_x = 0;  // the first axis: negative to the left (0 when the pad has fewer than two)
    int16_t axis_y = 0;  // the second axis: negative upward
    uint8_t buttons = 0; // bit k: button k is down
};

// The SnapshotKey bits that a reading holds down. Hat and axes both steer: a hat pushed one way and a
// stick pushed the other set both bits, which then cancel as two opposite keys do.
uint16_t gamepad_keys(const GamepadReading &reading);
