// pad_replay.cpp: pad_replay MODE SCRIPT TRACE [--draws] — the replay tool's run of SCRIPT in the
// current folder, with every key of an entry pressed on a virtual gamepad (or on the keyboard) and read
// back by the desktop platform's own key snapshot, through SDL 1.2 and the SDL 2 beneath it. Its trace
// must equal the trace of the keys themselves.
//
// MODE says where the script's keys go:
//   hat    directions on the pad's hat, buttons 1 to 6 on its buttons 0 to 5
//   axes   directions on its first two axes, pushed well past the dead zone, buttons as for hat
//   mixed  each held key, tick by tick, in turn on the keyboard, the hat or the axes (buttons on the
//          keyboard or the pad), so a held button passes between key and pad without being let go
// In every mode, the parts of the pad that mean nothing move: buttons 6 and 7 are down, and an axis
// that is not steering rests at the edge of its dead zone. Opposite directions held together (which
// one hat or one axis cannot show) go one on the hat and one on an axis. Escape is always the key, and
// the script's close event is a real SDL_QUIT event.
//
// Exit status: 0 after a complete run; 2 for a usage error; 1 when the pad or start-up failed.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "replay.h"
#include "runtime/program.h"
#include "runtime/platform_sdl.h"
#include "runtime/startup.h"
#include "trace.h"
#include "virtual_pad.h"

namespace {

Replay replay;

enum Mode { MODE_HAT, MODE_AXES, MODE_MIXED };
Mode mode = MODE_HAT;

// Where one held key goes this tick.
enum Place { PLACE_KEYBOARD, PLACE_HAT, PLACE_AXIS };

const SDLKey keys_of_bits[11] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_z, SDLK_x,
                                 SDLK_c,  SDLK_a,    SDLK_s,    SDLK_d,     SDLK_ESCAPE};

struct Direction {
    uint16_t bit;
    uint8_t hat;
    int16_t GamepadReading::*axis;
    int sign; // of the axis value that means this direction
};
const Direction directions[4] = {
    {SNAPSHOT_UP, GAMEPAD_HAT_UP, &GamepadReading::axis_y, -1},
    {SNAPSHOT_DOWN, GAMEPAD_HAT_DOWN, &GamepadReading::axis_y, 1},
    {SNAPSHOT_LEFT, GAMEPAD_HAT_LEFT, &GamepadReading::axis_x, -1},
    {SNAPSHOT_RIGHT, GAMEPAD_HAT_RIGHT, &GamepadReading::axis_x, 1},
};

// The edge of the dead zone, a third of the range: this and less is at rest. Written out here, so that
// a different dead zone in the game shows as a different trace.
constexpr int16_t dead_zone_edge = 10922;

// The axis value for a direction: from just past the dead zone to the end of the range, varying by tick.
int16_t pushed(int sign, uint32_t tick)
{
    const int16_t strengths[3] = {dead_zone_edge + 1, 20000, 32767};
    int16_t strength = strengths[tick % 3];
    return static_cast<int16_t>(sign < 0 ? (tick % 2 == 0 ? -32768 : -strength) : strength);
}

Place preferred_place(int bit, uint32_t tick)
{
    switch (mode) {
    case MODE_HAT:
        return PLACE_HAT;
    case MODE_AXES:
        return PLACE_AXIS;
    case MODE_MIXED:
        break;
    }
    return static_cast<Place>((tick + static_cast<uint32_t>(bit)) % 3);
}

// Presses the script's keys for this tick: on the keyboard state, on the pad and in the event queue.
bool press(const KeySnapshot &wanted, uint32_t tick)
{
    for (SDLKey key : keys_of_bits)
        key_state[key] = 0;
    GamepadReading pad;
    pad.buttons = 0xC0; // buttons 6 and 7 do nothing
    bool axis_used[2] = {false, false}, hat_used[2] = {false, false};
    for (int d = 0; d < 4; d++) {
        const Direction &direction = directions[d];
        if ((wanted.held & direction.bit) == 0)
            continue;
        int pair = d / 2; // 0 vertical, 1 horizontal
        Place place = preferred_place(d, tick);
        if (place == PLACE_AXIS && axis_used[pair])
            place = PLACE_HAT;
        else if (place == PLACE_HAT && hat_used[pair])
            place = PLACE_AXIS;
        if (place == PLACE_KEYBOARD) {
            key_state[keys_of_bits[d]] = 1;
        } else if (place == PLACE_HAT) {
            pad.hat |= direction.hat;
            hat_used[pair] = true;
        } else {
            pad.*direction.axis = pushed(direction.sign, tick);
            axis_used[pair] = true;
        }
    }
    // An axis that is not steering rests at the very edge of the dead zone, on alternate sides.
    int16_t rest = static_cast<int16_t>(tick % 2 == 0 ? dead_zone_edge : -dead_zone_edge);
    if (!axis_used[0])
        pad.axis_y = rest;
    if (!axis_used[1])
        pad.axis_x = rest;

    for (int k = 0; k < 6; k++) {
        if ((wanted.held & (SNAPSHOT_BUTTON_1 << k)) == 0)
            continue;
        if (mode == MODE_MIXED && (tick + static_cast<uint32_t>(k)) % 2 == 0)
            key_state[keys_of_bits[4 + k]] = 1;
        else
            pad.buttons |= static_cast<uint8_t>(1 << k);
    }
    if (wanted.held & SNAPSHOT_ESCAPE)
        key_state[SDLK_ESCAPE] = 1;
    if (wanted.close_requested) {
        SDL_Event event{};
        event.type = SDL_QUIT;
        if (SDL_PushEvent(&event) != 0)
            return false;
    }
    return set_virtual_pad(pad);
}

bool pressing_failed = false;

KeySnapshot read_keys_through_pad(Run &run, uint16_t entry_keys)
{
    if (!press(script_snapshot(entry_keys), run.frame_clock.ticks))
        pressing_failed = true;
    KeySnapshot snapshot;
    read_player_keys(run, snapshot);
    return snapshot;
}

int usage()
{
    std::fprintf(stderr, "usage: pad_replay hat|axes|mixed SCRIPT TRACE [--draws]\n");
    return 2;
}

bool read_script(const char *path, InputScript &script)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    ScriptError error;
    if (!file || !parse_input_script(text.str(), script, error)) {
        std::fprintf(stderr, "pad_replay: can't read the script %s (line %u: %s)\n", path, error.line,
                     error.message.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4 || argc > 5 || (argc == 5 && std::strcmp(argv[4], "--draws") != 0))
        return usage();
    if (std::strcmp(argv[1], "hat") == 0)
        mode = MODE_HAT;
    else if (std::strcmp(argv[1], "axes") == 0)
        mode = MODE_AXES;
    else if (std::strcmp(argv[1], "mixed") == 0)
        mode = MODE_MIXED;
    else
        return usage();
    InputScript script;
    if (!read_script(argv[2], script))
        return 2;
    std::FILE *trace = std::fopen(argv[3], "w");
    if (trace == nullptr) {
        std::fprintf(stderr, "pad_replay: can't write %s\n", argv[3]);
        return 2;
    }

    if (!attach_virtual_pad())
        return 1;
    select_headless_drivers();
    if (runtime_init() != 0) {
        runtime_shutdown();
        return 1;
    }
    // The pad must be the joystick that start-up opened, or the keys would come from nowhere.
    if (SDL_NumJoysticks() != 1 || SDL_JoystickOpened(0) != 1) {
        std::fprintf(stderr, "pad_replay: start-up did not open the virtual pad (%d joysticks)\n", SDL_NumJoysticks());
        runtime_shutdown();
        return 1;
    }
    ReplayOptions options;
    options.trace = trace;
    options.draws = argc == 5;
    options.read_keys = read_keys_through_pad;
    run_replay(replay, script, options);
    runtime_shutdown();
    if (std::fclose(trace) != 0 || pressing_failed) {
        std::fprintf(stderr, "pad_replay: %s\n", pressing_failed ? "setting the pad failed" : "writing the trace failed");
        return 1;
    }
    return 0;
}
