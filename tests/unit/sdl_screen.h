// sdl_screen.h: a test fixture that brings SDL's dummy video up with the game's screen and back buffer.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "runtime/platform_sdl.h"
#include "runtime/startup.h"

// SDL is brought up once per process and never shut down: SDL_Quit of the library we link leaks a few
// blocks, which the leak checker of the sanitizer build would report. Each test gets the screen and a
// cleared back buffer through the runtime's globals, and the globals are put back afterwards.
class SdlScreenTest : public testing::Test {
  protected:
    void SetUp() override
    {
        static SDL_Surface *screen = nullptr;
        static SDL_Surface *buffer = nullptr;
        if (screen == nullptr) {
            ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
            screen = SDL_SetVideoMode(screen_width, screen_height, screen_depth, 0);
            ASSERT_NE(screen, nullptr) << SDL_GetError();
            buffer = SDL_CreateRGBSurface(SDL_SWSURFACE, screen_width, screen_height, screen_depth, 0, 0, 0, 0);
            ASSERT_NE(buffer, nullptr) << SDL_GetError();
        }
        saved_screen = screen_surface;
        saved_back_buffer = back_buffer;
        saved_key_state = key_state;
        screen_surface = screen;
        back_buffer = buffer;
        key_state = SDL_GetKeyState(&key_count);
        clear_keys();
        drain_events();
        SDL_FillRect(back_buffer, nullptr, 0);
        // The same 256 distinct colours on every surface, so that blits between them copy indices.
        SDL_SetColors(screen_surface, ramp(), 0, 256);
        SDL_SetColors(back_buffer, ramp(), 0, 256);
    }

    void TearDown() override
    {
        if (key_state != nullptr)
            clear_keys();
        drain_events();
        screen_surface = saved_screen;
        back_buffer = saved_back_buffer;
        key_state = saved_key_state;
    }

    // The palette index at (x, y) of the back buffer.
    static uint8_t pixel(int x, int y)
    {
        const auto *row = static_cast<const uint8_t *>(back_buffer->pixels) + y * back_buffer->pitch;
        return row[x];
    }

    // An 8-bit surface of the test's own, all index 0, with the colours of the back buffer.
    static SDL_Surface *make_indexed_surface(int w, int h)
    {
        SDL_Surface *surface = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
        if (surface != nullptr) {
            SDL_SetColors(surface, ramp(), 0, 256);
            SDL_FillRect(surface, nullptr, 0);
        }
        return surface;
    }

    static void set_pixel(SDL_Surface *surface, int x, int y, uint8_t index)
    {
        static_cast<uint8_t *>(surface->pixels)[y * surface->pitch + x] = index;
    }

    void clear_keys() { std::memset(key_state, 0, static_cast<size_t>(key_count)); }

    static void drain_events()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
    }

    int key_count = 0;

  private:
    static SDL_Color *ramp()
    {
        static SDL_Color colours[256];
        for (int i = 0; i < 256; i++)
            colours[i] = SDL_Color{static_cast<Uint8>(i), static_cast<Uint8>(255 - i), static_cast<Uint8>(i ^ 0x5A), 0};
        return colours;
    }

    SDL_Surface *saved_screen = nullptr;
    SDL_Surface *saved_back_buffer = nullptr;
    Uint8 *saved_key_state = nullptr;
};
