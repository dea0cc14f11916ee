// gamepad.cpp: a gamepad's reading turned into the keys of a snapshot.
#include "runtime/gamepad.h"

#include "runtime/input.h"

uint16_t gamepad_keys(const GamepadReading &reading)
{
    uint16_t held = 0;
    if ((reading.hat & GAMEPAD_HAT_UP) != 0 || reading.axis_y < -gamepad_dead_zone)
        held |= SNAPSHOT_UP;
    if ((reading.hat & GAMEPAD_HAT_DOWN) != 0 || reading.axis_y > gamepad_dead_zone)
        held |= SNAPSHOT_DOWN;
    if ((reading.hat & GAMEPAD_HAT_LEFT) != 0 || reading.axis_x < -gamepad_dead_zone)
        held |= SNAPSHOT_LEFT;
    if ((reading.hat & GAMEPAD_HAT_RIGHT) != 0 || reading.axis_x > gamepad_dead_zone)
        held |= SNAPSHOT_RIGHT;
    for (int k = 0; k < 6; k++)
        if ((reading.buttons & (1 << k)) != 0)
            held |= static_cast<uint16_t>(SNAPSHOT_BUTTON_1 << k);
    return held;
}
