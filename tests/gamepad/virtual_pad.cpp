// virtual_pad.cpp: SDL 2's virtual joystick, reached through the SDL 2 library that sdl12-compat runs on.
//
// The game's SDL 1.2 functions and SDL 2's share their names, so SDL 2 is not linked: its functions are
// looked up in the library by dlsym. dlopen gives the copy that sdl12-compat loads (or will load) itself,
// so the pad attached here is the one the game's SDL 1.2 calls see.
#include "virtual_pad.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <cstdio>

namespace {

struct Sdl2 {
    decltype(&SDL_SetHint) set_hint;
    decltype(&SDL_InitSubSystem) init_subsystem;
    decltype(&SDL_GetError) get_error;
    decltype(&SDL_JoystickAttachVirtual) attach_virtual;
    decltype(&SDL_JoystickOpen) open;
    decltype(&SDL_JoystickSetVirtualAxis) set_axis;
    decltype(&SDL_JoystickSetVirtualButton) set_button;
    decltype(&SDL_JoystickSetVirtualHat) set_hat;
};
Sdl2 sdl2;
SDL_Joystick *pad = nullptr;

template <typename Function> bool look_up(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr)
        std::fprintf(stderr, "virtual pad: SDL 2 has no %s\n", name);
    return function != nullptr;
}

} // namespace

bool attach_virtual_pad()
{
    void *library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "virtual pad: %s\n", dlerror());
        return false;
    }
    if (!look_up(library, "SDL_SetHint", sdl2.set_hint) || !look_up(library, "SDL_InitSubSystem", sdl2.init_subsystem) ||
        !look_up(library, "SDL_GetError", sdl2.get_error) ||
        !look_up(library, "SDL_JoystickAttachVirtual", sdl2.attach_virtual) ||
        !look_up(library, "SDL_JoystickOpen", sdl2.open) ||
        !look_up(library, "SDL_JoystickSetVirtualAxis", sdl2.set_axis) ||
        !look_up(library, "SDL_JoystickSetVirtualButton", sdl2.set_button) ||
        !look_up(library, "SDL_JoystickSetVirtualHat", sdl2.set_hat))
        return false;
    // The library stays loaded: sdl12-compat holds it too, and the pad lives until the game's SDL_Quit.
    // SDL 2 drops a pad's input while no window of the program has the keyboard focus, and the window of
    // the dummy video driver never has it; the hint is read when the joysticks start.
    sdl2.set_hint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (sdl2.init_subsystem(SDL_INIT_JOYSTICK) != 0) {
        std::fprintf(stderr, "virtual pad: SDL 2's joysticks: %s\n", sdl2.get_error());
        return false;
    }
    int device = sdl2.attach_virtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, gamepad_read_buttons, 1);
    if (device >= 0)
        pad = sdl2.open(device);
    if (pad == nullptr) {
        std::fprintf(stderr, "virtual pad: attaching it failed: %s\n", sdl2.get_error());
        return false;
    }
    return true;
}

bool set_virtual_pad(const GamepadReading &reading)
{
    bool ok = sdl2.set_hat(pad, 0, reading.hat) == 0 && sdl2.set_axis(pad, 0, reading.axis_x) == 0 &&
              sdl2.set_axis(pad, 1, reading.axis_y) == 0;
    for (int k = 0; k < gamepad_read_buttons; k++)
        ok = ok && sdl2.set_button(pad, k, (reading.buttons >> k) & 1) == 0;
    return ok;
}
