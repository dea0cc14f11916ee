// startup.cpp: runtime_init and runtime_shutdown.
#include "runtime/startup.h"

#include <cstdio>

#include "actors/angle_math.h"
#include "runtime/bitmap.h"
#include "runtime/drawing.h"
#include "runtime/palette.h"
#include "runtime/settings.h"
#include "runtime/sprite_sheets.h"

const char runtime_version[] = "0.8";

SDL_Surface *icon_surface = nullptr;
SDL_Surface *screen_surface = nullptr;
SDL_Surface *back_buffer = nullptr;
Uint8 *key_state = nullptr;

namespace {

void print_rounding_listing()
{
    for (int32_t i = 0; i > -16; i--)
        std::printf("%d:%d\n", i, round_shift(i, 2));
}

void load_icon()
{
    // Without icon.bmp the window simply has no icon of ours.
    icon_surface = load_bitmap("icon.bmp");
    if (icon_surface == nullptr)
        return;
    SDL_SetColorKey(icon_surface, SDL_SRCCOLORKEY, 0);
    SDL_WM_SetIcon(icon_surface, nullptr);
}

Uint32 video_flags()
{
    Uint32 flags = SDL_HWSURFACE | SDL_HWPALETTE | SDL_DOUBLEBUF;
    return fullscreen ? flags | SDL_FULLSCREEN : flags;
}

} // namespace

uint8_t runtime_init()
{
    print_rounding_listing();
    std::printf("Korvane on SDL Ver %s\n", runtime_version);

    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) == -1) {
        std::printf("SDL_Init fault:%s\n", SDL_GetError());
        return 1;
    }

    default_settings();
    load_settings();
    load_icon();

    screen_surface = SDL_SetVideoMode(screen_width, screen_height, screen_depth, video_flags());
    if (screen_surface == nullptr) {
        std::printf("Display Setting...%dx%dx8 ERROR!: %s\n", screen_width, screen_height, SDL_GetError());
        return 1;
    }
    std::printf("Display Setting...%dx%dx8 Done.\n", screen_width, screen_height);

    back_buffer = SDL_CreateRGBSurface(SDL_SWSURFACE, screen_width, screen_height, screen_depth, 0, 0, 0, 0);
    if (back_buffer == nullptr) {
        std::printf("ERROR! Failed to create Surface on System Memory \n");
        return 1;
    }

    // The palette must be on the back buffer before the font and the sheets are converted to it.
    load_palette();
    SDL_ShowCursor(SDL_DISABLE);
    load_font();
    load_sprite_sheets();
    key_state = SDL_GetKeyState(nullptr);
    build_trig_tables();
    return 0;
}

int runtime_shutdown()
{
    SDL_Quit();
    std::printf("Quit krv...bye.\n");
    return 0;
}
