// platform_sdl.h: the desktop platform's SDL objects, for the desktop's own tests and tools. The game
// and the portable runtime never include it.
#pragma once

#include <SDL.h>

// An image of the desktop platform is an SDL surface, kept in a fixed table (image_table.h).
struct Image {
    SDL_Surface *surface;
    bool in_use;
};

extern SDL_Surface *screen_surface;
extern SDL_Surface *back_buffer; // 640x480, 8 bits, system memory: all drawing goes here
extern Uint8 *key_state;         // SDL's keyboard state array

// Puts a surface of the caller's into a free slot of the table (the slot then owns it), or frees it
// and gives none when the table is full.
Image *image_of_surface(SDL_Surface *surface);
