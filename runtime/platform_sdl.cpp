// platform_sdl.cpp: the desktop platform, over SDL 1.2.
#include "runtime/platform_sdl.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "runtime/bitmap.h"
#include "runtime/gamepad.h"
#include "runtime/image_table.h"
#include "runtime/platform.h"
#include "runtime/startup.h"

SDL_Surface *screen_surface = nullptr;
SDL_Surface *back_buffer = nullptr;
Uint8 *key_state = nullptr;

// The key numbers are SDL's own.
constexpr bool same_key(KeyCode ours, SDLKey sdl) { return static_cast<int>(ours) == static_cast<int>(sdl); }
static_assert(same_key(KEYCODE_ESCAPE, SDLK_ESCAPE) && same_key(KEYCODE_UP, SDLK_UP) &&
              same_key(KEYCODE_DOWN, SDLK_DOWN) && same_key(KEYCODE_LEFT, SDLK_LEFT) &&
              same_key(KEYCODE_RIGHT, SDLK_RIGHT) && same_key(KEYCODE_Z, SDLK_z) && same_key(KEYCODE_X, SDLK_x) &&
              same_key(KEYCODE_C, SDLK_c) && same_key(KEYCODE_A, SDLK_a) && same_key(KEYCODE_S, SDLK_s) &&
              same_key(KEYCODE_D, SDLK_d) && SDLK_LAST <= key_code_count);
static_assert(sizeof(Colour) == sizeof(SDL_Color) && sizeof(Rect) == sizeof(SDL_Rect));
static_assert(GAMEPAD_HAT_UP == SDL_HAT_UP && GAMEPAD_HAT_RIGHT == SDL_HAT_RIGHT && GAMEPAD_HAT_DOWN == SDL_HAT_DOWN &&
              GAMEPAD_HAT_LEFT == SDL_HAT_LEFT);

namespace {

ImageTable<Image> images;

// The colours last given to set_palette, imposed on each sheet before its conversion.
SDL_Color palette_colours[256];

// The first joystick, opened at start-up when there is one; none otherwise.
SDL_Joystick *gamepad = nullptr;

SDL_Rect sdl_rect(const Rect &rect) { return SDL_Rect{rect.x, rect.y, rect.w, rect.h}; }

// SDL_FillRect writes rows of 64 bytes and more with non-temporal stores, which bypass the cache: the
// blits and the present that read the back buffer next then wait on memory. An 8-bit surface is
// filled here with ordinary stores instead, clipped to its clip rectangle as SDL_FillRect clips, so
// the same pixels change. It is locked around the fill rather than asked whether it needs locking:
// the libraries answer that question differently. Returns false for any other surface.
bool fill_8bit_surface(SDL_Surface *surface, const SDL_Rect &area, uint8_t colour)
{
    if (surface == nullptr || surface->format->BytesPerPixel != 1 || SDL_LockSurface(surface) != 0)
        return false;
    if (surface->pixels == nullptr) {
        SDL_UnlockSurface(surface);
        return false;
    }
    const SDL_Rect &clip = surface->clip_rect;
    int left = std::max<int>(area.x, clip.x), right = std::min<int>(area.x + area.w, clip.x + clip.w);
    int top = std::max<int>(area.y, clip.y), bottom = std::min<int>(area.y + area.h, clip.y + clip.h);
    if (left < right && top < bottom) {
        auto *row = static_cast<Uint8 *>(surface->pixels) + static_cast<ptrdiff_t>(top) * surface->pitch + left;
        for (int y = top; y < bottom; y++, row += surface->pitch)
            std::memset(row, colour, static_cast<size_t>(right - left));
    }
    SDL_UnlockSurface(surface);
    return true;
}

// The converted surface in the back buffer's format, keyed on index 0 with run-length acceleration.
Image *converted(Image *loaded)
{
    SDL_Surface *surface = SDL_ConvertSurface(loaded->surface, back_buffer->format, SDL_SRCCOLORKEY);
    if (surface == nullptr)
        return nullptr;
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0);
    return image_of_surface(surface);
}

// The pad's state at this moment. Its events are ignored (they would only be drained unread), so SDL
// is asked to bring the state up to date here.
GamepadReading read_gamepad()
{
    GamepadReading reading;
    SDL_JoystickUpdate();
    if (SDL_JoystickNumHats(gamepad) > 0)
        reading.hat = SDL_JoystickGetHat(gamepad, 0);
    if (SDL_JoystickNumAxes(gamepad) >= 2) {
        reading.axis_x = SDL_JoystickGetAxis(gamepad, 0);
        reading.axis_y = SDL_JoystickGetAxis(gamepad, 1);
    }
    int buttons = std::min(SDL_JoystickNumButtons(gamepad), gamepad_read_buttons);
    for (int k = 0; k < buttons; k++)
        if (SDL_JoystickGetButton(gamepad, k) != 0)
            reading.buttons |= static_cast<uint8_t>(1 << k);
    return reading;
}

} // namespace

Image *image_of_surface(SDL_Surface *surface)
{
    if (surface == nullptr)
        return nullptr;
    Image *image = take_image(images);
    if (image == nullptr) {
        SDL_FreeSurface(surface);
        return nullptr;
    }
    image->surface = surface;
    return image;
}

bool platform_init()
{
    return SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) != -1;
}

const char *platform_name() { return "the desktop (SDL 1.2)"; }

const char *platform_error() { return SDL_GetError(); }

void set_window_icon(Image *icon)
{
    SDL_SetColorKey(icon->surface, SDL_SRCCOLORKEY, 0);
    SDL_WM_SetIcon(icon->surface, nullptr);
}

bool open_display(uint8_t fullscreen)
{
    // Given before the window exists, so that it is created with its name.
    SDL_WM_SetCaption("vorpaline", "vorpaline");
    Uint32 flags = SDL_HWSURFACE | SDL_HWPALETTE | SDL_DOUBLEBUF;
    if (fullscreen)
        flags |= SDL_FULLSCREEN;
    screen_surface = SDL_SetVideoMode(screen_width, screen_height, screen_depth, flags);
    return screen_surface != nullptr;
}

bool create_back_buffer()
{
    back_buffer = SDL_CreateRGBSurface(SDL_SWSURFACE, screen_width, screen_height, screen_depth, 0, 0, 0, 0);
    return back_buffer != nullptr;
}

void set_palette(const Colour colours[256])
{
    for (int i = 0; i < 256; i++)
        palette_colours[i] = SDL_Color{colours[i].r, colours[i].g, colours[i].b, colours[i].unused};
    // The result is not an error code in every implementation of the library: never read it.
    SDL_SetColors(screen_surface, palette_colours, 0, 256);
    SDL_SetColors(back_buffer, palette_colours, 0, 256);
}

void hide_mouse_cursor() { SDL_ShowCursor(SDL_DISABLE); }

void open_keyboard()
{
    key_state = SDL_GetKeyState(nullptr);
    // Silently: without a pad, or when it can't be opened, the keyboard alone plays.
    if (SDL_NumJoysticks() > 0)
        gamepad = SDL_JoystickOpen(0);
    if (gamepad != nullptr)
        SDL_JoystickEventState(SDL_IGNORE);
}

void platform_quit()
{
    if (gamepad != nullptr)
        SDL_JoystickClose(gamepad);
    gamepad = nullptr;
    SDL_Quit();
}

Image *load_bitmap(const char *path)
{
    uint64_t size = 0;
    std::FILE *file = open_checked_bitmap(path, &size);
    if (file == nullptr)
        return nullptr;
    SDL_RWops *source = SDL_RWFromFP(file, 1);
    if (source == nullptr) {
        std::fclose(file);
        return nullptr;
    }
    return image_of_surface(SDL_LoadBMP_RW(source, 1));
}

Image *convert_by_colour(Image *loaded) { return converted(loaded); }

Image *convert_by_index(Image *loaded)
{
    // Imposing the palette first makes the conversion keep every index as it is.
    SDL_SetColors(loaded->surface, palette_colours, 0, 256);
    return converted(loaded);
}

void free_image(Image *image)
{
    if (image == nullptr)
        return;
    SDL_FreeSurface(image->surface);
    *image = Image{};
}

int fill_back_buffer(const Rect &area, uint8_t colour)
{
    SDL_Rect rect = sdl_rect(area);
    if (fill_8bit_surface(back_buffer, rect, colour))
        return 0; // what SDL_FillRect returns for a fill that succeeded or was clipped away
    return SDL_FillRect(back_buffer, &rect, colour);
}

int blit_to_back_buffer(Image *source, const Rect &from, int16_t x, int16_t y)
{
    SDL_Rect source_rect = sdl_rect(from);
    SDL_Rect target_rect = SDL_Rect{x, y, from.w, from.h};
    return SDL_UpperBlit(source->surface, &source_rect, back_buffer, &target_rect);
}

void present_back_buffer()
{
    SDL_UpperBlit(back_buffer, nullptr, screen_surface, nullptr);
    SDL_Flip(screen_surface);
}

bool save_back_buffer(const char *path) { return SDL_SaveBMP(back_buffer, path) == 0; }

uint32_t clock_ms() { return SDL_GetTicks(); }

void delay_ms(uint32_t ms) { SDL_Delay(ms); }

void read_raw_input(RawInput &raw)
{
    // Draining the queue also brings SDL's key state array up to date.
    raw.close_requested = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT)
            raw.close_requested = 1;
    raw.key_states = key_state;
    raw.has_gamepad = gamepad != nullptr;
    if (raw.has_gamepad)
        raw.gamepad = read_gamepad();
}

FramePacing frame_pacing() { return FRAMES_BACK_TO_BACK; }

void run_frames(bool (*frame)(uint32_t now))
{
    while (frame(clock_ms())) {
    }
}
