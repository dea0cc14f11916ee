// virtual_pad.h: a gamepad made by SDL 2's virtual joystick driver, for tests that play the real game
// through the real library stack (SDL 1.2 over SDL 2) with a pad. Plain functions, so that the callers
// need no SDL 2 header: SDL 1.2's and SDL 2's headers cannot meet in one file.
#pragma once

#include "runtime/gamepad.h"

// Attaches a pad with two axes, eight buttons and one hat, centred and released. Call it before the
// runtime starts SDL: the pad is then SDL 1.2's first joystick. False, with a line on standard error,
// when SDL 2 or its virtual joysticks are not to be had.
bool attach_virtual_pad();

// Puts the pad in the state of 'reading'; the game sees it at its next poll.
bool set_virtual_pad(const GamepadReading &reading);
