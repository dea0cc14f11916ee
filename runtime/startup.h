// startup.h: bringing the runtime up and down, and the surfaces it creates.
#pragma once

#include <SDL.h>

#include <cstdint>

constexpr int screen_width = 640;
constexpr int screen_height = 480;
constexpr int screen_depth = 8;

extern const char runtime_version[];

extern SDL_Surface *icon_surface;
extern SDL_Surface *screen_surface;
extern SDL_Surface *back_buffer; // 640x480, 8 bits, system memory: all drawing goes here
extern Uint8 *key_state;         // SDL's keyboard state array

// Banner, SDL, settings, icon, video mode, back buffer, palette, font, sheets, keyboard and angle
// tables, in that order. 0 on success; 1 when SDL, the video mode or the back buffer failed.
uint8_t runtime_init();

// SDL_Quit, then the farewell line.
int runtime_shutdown();
