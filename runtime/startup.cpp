// startup.cpp: runtime_init and runtime_shutdown.
#include "runtime/startup.h"

#include <cstdio>

#include "actors/angle_math.h"
#include "runtime/back_buffer.h"
#include "runtime/palette.h"
#include "runtime/platform.h"
#include "runtime/settings.h"
#include "runtime/sprite_sheets.h"

namespace {

// The start-up has always begun with this check of the fixed-point rounding that all movement uses:
// round_shift halves away from zero, which the sixteen lines show for 0 down to -15.
void print_rounding_listing()
{
    for (int32_t i = 0; i > -16; i--)
        std::printf("%d:%d\n", i, round_shift(i, 2));
}

void load_icon()
{
    // Without icon.bmp the window simply has no icon of ours. The icon is kept for the whole run.
    Image *icon = load_bitmap("icon.bmp");
    if (icon != nullptr)
        set_window_icon(icon);
}

} // namespace

uint8_t runtime_init()
{
    print_rounding_listing();
    std::printf("Korvane on SDL Ver %s\n", runtime_version);

    if (!platform_init()) {
        std::printf("SDL_Init fault:%s\n", platform_error());
        return 1;
    }

    default_settings();
    load_settings();
    load_icon();

    if (!open_display(fullscreen)) {
        std::printf("Display Setting...%dx%dx8 ERROR!: %s\n", screen_width, screen_height, platform_error());
        return 1;
    }
    std::printf("Display Setting...%dx%dx8 Done.\n", screen_width, screen_height);

    if (!create_back_buffer()) {
        std::printf("ERROR! Failed to create Surface on System Memory \n");
        return 1;
    }

    // The palette must be on the back buffer before the font and the sheets are converted to it.
    load_palette();
    hide_mouse_cursor();
    load_font();
    load_sprite_sheets();
    open_keyboard();
    return 0;
}

int runtime_shutdown()
{
    platform_quit();
    std::printf("Quit krv...bye.\n");
    return 0;
}
