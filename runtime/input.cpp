// input.cpp: polls SDL once per tick into the first InputState.
#include "runtime/input.h"

#include <SDL.h>

#include "runtime/startup.h"

InputState input_states[input_records];
InputState *input = nullptr;

InputState *init_input()
{
    for (InputState &state : input_states) {
        state.dir = 0;
        state.dir_latch = 0;
        state.held_1 = state.held_2 = state.held_3 = state.held_4 = state.held_5 = state.held_6 = 0;
        state.prev_1 = state.prev_2 = state.prev_3 = state.prev_4 = state.prev_5 = state.prev_6 = 0;
        state.pressed_1 = state.pressed_2 = state.pressed_3 = 0;
        state.pressed_4 = state.pressed_5 = state.pressed_6 = 0;
    }
    InputState &first = input_states[0];
    first.key_up = SDLK_UP;
    first.key_down = SDLK_DOWN;
    first.key_right = SDLK_RIGHT;
    first.key_left = SDLK_LEFT;
    first.key_1 = SDLK_z;
    first.key_2 = SDLK_x;
    first.key_3 = SDLK_c;
    first.key_4 = SDLK_a;
    first.key_5 = SDLK_s;
    first.key_6 = SDLK_d;
    input = &first;
    return &first;
}

uint8_t keypad_direction(int up, int down, int left, int right)
{
    return static_cast<uint8_t>(1 + (1 - left) + right + 3 * up + 3 * (1 - down));
}

void poll_input(uint8_t *quit)
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT)
            *quit = 1;
    if (key_state[SDLK_ESCAPE] != 0)
        *quit = 1;

    InputState &s = input_states[0];
    s.prev_1 = s.held_1;
    s.prev_2 = s.held_2;
    s.prev_3 = s.held_3;
    s.prev_4 = s.held_4;
    s.prev_5 = s.held_5;
    s.prev_6 = s.held_6;

    auto down = [](unsigned key) { return key_state[key] != 0 ? 1 : 0; };
    s.dir = keypad_direction(down(s.key_up), down(s.key_down), down(s.key_left), down(s.key_right));

    s.held_1 = key_state[s.key_1] & 1;
    s.held_2 = key_state[s.key_2] & 1;
    s.held_3 = key_state[s.key_3] & 1;
    s.held_4 = key_state[s.key_4] & 1;
    s.held_5 = key_state[s.key_5] & 1;
    s.held_6 = key_state[s.key_6] & 1;

    if (s.dir_latch != s.dir)
        s.dir_latch = s.dir;

    s.pressed_1 = s.held_1 && !s.prev_1;
    s.pressed_2 = s.held_2 && !s.prev_2;
    s.pressed_3 = s.held_3 && !s.prev_3;
    s.pressed_4 = s.held_4 && !s.prev_4;
    s.pressed_5 = s.held_5 && !s.prev_5;
    s.pressed_6 = s.held_6 && !s.prev_6;
}
