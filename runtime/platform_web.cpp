// platform_web.cpp: the browser platform, built with Emscripten. It keeps its own 8-bit back buffer,
// draws into it with the software blitter, presents it through the palette into the page's canvas,
// keeps the state of the page's keys, touch controls and first gamepad, and calls the frame function
// from the browser's animation frames. Its JavaScript is web/platform_library.js. Under node (the
// replay tool) there is no page: nothing is presented and no key is ever down.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>

#include "runtime/bitmap.h"
#include "runtime/changed_area.h"
#include "runtime/image_table.h"
#include "runtime/platform.h"
#include "runtime/soft_surface.h"
#include "runtime/startup.h"

// The touch controls as a pad of their own, written by the page as touches come and go: the stick's
// GamepadHat bits, the buttons' bits, the bits pressed since the platform last took them, and the quit
// control held to its end. In the layout web/platform_library.js writes.
struct PageTouch {
    int32_t hat, buttons;
    int32_t hat_pressed, buttons_pressed;
    int32_t quit;
};

// The first pad of the page's Gamepad API at one moment, in the layout web/platform_library.js writes:
// the d-pad as GamepadHat bits, the first two axes in -32767..32767, buttons 0 to 7 as bits.
struct PageGamepad {
    int32_t hat, axis_x, axis_y, buttons;
};

// web/platform_library.js
extern "C" {
int page_has_canvas(const char *selector);
void page_hide_cursor(const char *selector);
void page_open_screen(const char *selector, int width, int height);
void page_present_rgba(const uint32_t *rgba, int x, int y, int width, int height);
void page_program_ended();
void page_frame_cost(double ms);
void page_open_touch_controls(PageTouch *touch);
int page_read_gamepad(PageGamepad *pad, int buttons); // 0 when the page has no pad
}

struct Image {
    SoftSurface surface;
    bool in_use;
};

namespace {

// The page's canvas: the only place its id is written on this side of the page.
constexpr const char *canvas_selector = "#screen";

ImageTable<Image> images;

SoftSurface back_buffer;
Colour palette_colours[256];
uint32_t rgba_of_index[256]; // the palette as the canvas's bytes R, G, B, 255 in memory order
bool has_page = false;

// The picture in the canvas's bytes, and the back buffer as the last present left it: a present converts
// and hands over only what changed since (see changed_area.h).
uint32_t rgba_frame[screen_width * screen_height];
uint8_t shown[screen_width * screen_height];
bool shown_matches = false; // false before the first present and after a new palette
static_assert(screen_width % 8 == 0, "present_changes compares whole words");

// What the player holds. A press shorter than a tick (a tap lasts a few milliseconds) would fall between
// two reads, so each control that went down since the last read counts as down for that read: every
// key by its number, kept by the page's key events; the touch controls; the pad, polled at every
// animation frame and at every read.
uint8_t key_down[key_code_count];
uint8_t key_pressed[key_code_count];
uint8_t key_read[key_code_count];
PageTouch touch;
uint8_t pad_hat_pressed = 0, pad_buttons_pressed = 0;

Image *converted(Image *loaded, void (*convert)(const SoftSurface &, const Colour *, SoftSurface &))
{
    Image *image = take_image(images);
    if (image == nullptr)
        return nullptr;
    convert(loaded->surface, palette_colours, image->surface);
    if (image->surface.pixels == nullptr) {
        image->in_use = false;
        return nullptr;
    }
    image->surface.keyed = true;
    return image;
}

// SDL 1.2's number of a key of the page: letters by the character they type (as SDL's key symbols
// follow the keyboard layout), or by their place when the layout types no Latin letter.
uint16_t key_number(const EmscriptenKeyboardEvent &event)
{
    struct Named {
        const char *name;
        uint16_t number;
    };
    static const Named named[] = {
        {"ArrowUp", KEYCODE_UP}, {"ArrowDown", KEYCODE_DOWN}, {"ArrowLeft", KEYCODE_LEFT},
        {"ArrowRight", KEYCODE_RIGHT}, {"Escape", KEYCODE_ESCAPE}, {" ", 32},
    };
    for (const Named &key : named)
        if (std::strcmp(event.key, key.name) == 0)
            return key.number;
    char c = event.key[0];
    if (c != '\0' && event.key[1] == '\0') {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c >= 'a' && c <= 'z')
            return static_cast<uint16_t>(c);
    }
    if (std::strncmp(event.code, "Key", 3) == 0 && event.code[3] >= 'A' && event.code[3] <= 'Z' &&
        event.code[4] == '\0')
        return static_cast<uint16_t>(event.code[3] - 'A' + 'a');
    return 0;
}

// The page must not scroll or act on the keys the game uses; every other key keeps its meaning.
bool game_uses(uint16_t number)
{
    const uint16_t used[] = {KEYCODE_UP, KEYCODE_DOWN, KEYCODE_LEFT, KEYCODE_RIGHT, KEYCODE_Z, KEYCODE_X,
                             KEYCODE_C,  KEYCODE_A,    KEYCODE_S,    KEYCODE_D,     KEYCODE_ESCAPE, 32};
    for (uint16_t key : used)
        if (key == number)
            return true;
    return false;
}

EM_BOOL on_key(int event_type, const EmscriptenKeyboardEvent *event, void *)
{
    if (event->ctrlKey || event->altKey || event->metaKey)
        return EM_FALSE; // the browser's own shortcuts
    uint16_t number = key_number(*event);
    if (number == 0)
        return EM_FALSE;
    key_down[number] = event_type == EMSCRIPTEN_EVENT_KEYDOWN ? 1 : 0;
    key_pressed[number] |= key_down[number];
    return game_uses(number) ? EM_TRUE : EM_FALSE;
}

// Keys held while the page loses the focus would never see their release.
EM_BOOL on_blur(int, const EmscriptenFocusEvent *, void *)
{
    std::memset(key_down, 0, sizeof key_down);
    std::memset(key_pressed, 0, sizeof key_pressed);
    return EM_FALSE;
}

// The pad now, its presses noted for the next read.
bool poll_gamepad(GamepadReading &reading)
{
    PageGamepad pad = {};
    if (!has_page || page_read_gamepad(&pad, gamepad_read_buttons) == 0)
        return false;
    reading.hat = static_cast<uint8_t>(pad.hat);
    reading.axis_x = static_cast<int16_t>(pad.axis_x);
    reading.axis_y = static_cast<int16_t>(pad.axis_y);
    reading.buttons = static_cast<uint8_t>(pad.buttons);
    pad_hat_pressed |= reading.hat;
    pad_buttons_pressed |= reading.buttons;
    return true;
}

bool (*frame_function)(uint32_t now) = nullptr;

// One animation frame, timed by the frame's own time stamp, which doesn't jitter as the moment the
// callback runs does.
EM_BOOL run_animation_frame(double frame_time, void *)
{
    GamepadReading polled;
    poll_gamepad(polled);
    if (frame_function(static_cast<uint32_t>(static_cast<uint64_t>(frame_time))))
        return EM_TRUE;
    emscripten_html5_remove_all_event_listeners();
    std::fflush(stdout);
    page_program_ended();
    return EM_FALSE;
}

} // namespace

bool platform_init()
{
    has_page = page_has_canvas(canvas_selector) != 0;
    return true;
}

const char *platform_name() { return "a browser (WebAssembly)"; }

const char *platform_error() { return "no page to draw on"; }

// The page has its own icon.
void set_window_icon(Image *) {}

// The page is the window: the picture is always in it, whatever the settings say.
bool open_display(uint8_t)
{
    if (has_page)
        page_open_screen(canvas_selector, screen_width, screen_height);
    return true;
}

bool create_back_buffer() { return make_soft_surface(back_buffer, screen_width, screen_height); }

void set_palette(const Colour colours[256])
{
    for (int i = 0; i < 256; i++) {
        palette_colours[i] = colours[i];
        const uint8_t bytes[4] = {colours[i].r, colours[i].g, colours[i].b, 255};
        std::memcpy(&rgba_of_index[i], bytes, sizeof bytes);
    }
    shown_matches = false;
}

// Over the picture only: the rest of the page keeps its pointer.
void hide_mouse_cursor()
{
    if (has_page)
        page_hide_cursor(canvas_selector);
}

void open_keyboard()
{
    if (!has_page)
        return;
    emscripten_set_keydown_callback(canvas_selector, nullptr, EM_TRUE, on_key);
    emscripten_set_keyup_callback(canvas_selector, nullptr, EM_TRUE, on_key);
    emscripten_set_blur_callback(canvas_selector, nullptr, EM_TRUE, on_blur);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, on_blur);
    page_open_touch_controls(&touch);
}

void platform_quit() {}

Image *load_bitmap(const char *path)
{
    uint64_t size = 0;
    std::FILE *file = open_checked_bitmap(path, &size);
    if (file == nullptr)
        return nullptr;
    // Read once at start-up; the header check has bounded the size.
    auto *bytes = new uint8_t[size];
    bool read = std::fread(bytes, 1, size, file) == size;
    std::fclose(file);
    Image *image = read ? take_image(images) : nullptr;
    if (image != nullptr && !decode_bmp(bytes, size, palette_colours, image->surface)) {
        image->in_use = false;
        image = nullptr;
    }
    delete[] bytes;
    return image;
}

Image *convert_by_colour(Image *loaded) { return converted(loaded, convert_soft_by_colour); }

Image *convert_by_index(Image *loaded) { return converted(loaded, convert_soft_by_index); }

void free_image(Image *image)
{
    if (image == nullptr)
        return;
    free_soft_surface(image->surface);
    *image = Image{};
}

int fill_back_buffer(const Rect &area, uint8_t colour)
{
    soft_fill(back_buffer, area, colour);
    return 0;
}

int blit_to_back_buffer(Image *source, const Rect &from, int16_t x, int16_t y)
{
    return soft_blit(source->surface, from, back_buffer, x, y);
}

namespace {

void present_what_changed()
{
    if (!shown_matches) { // everything is new: make 'shown' differ from the back buffer everywhere
        for (int i = 0; i < screen_width * screen_height; i++)
            shown[i] = static_cast<uint8_t>(~back_buffer.pixels[i]);
        shown_matches = true;
    }
    // A frame rarely has more bands of change than this; more share the last rectangle.
    constexpr int max_areas = 16;
    Rect areas[max_areas];
    int count = present_changes(back_buffer.pixels, shown, rgba_frame, rgba_of_index, screen_width, screen_height,
                                areas, max_areas);
    for (int i = 0; i < count; i++)
        page_present_rgba(rgba_frame, areas[i].x, areas[i].y, areas[i].w, areas[i].h);
}

} // namespace

void present_back_buffer()
{
    if (!has_page)
        return;
    double start = emscripten_get_now();
    present_what_changed();
    page_frame_cost(emscripten_get_now() - start);
}

bool save_back_buffer(const char *path)
{
    static uint8_t bytes[2048 + screen_width * screen_height];
    if (soft_bmp_size(back_buffer) > sizeof bytes)
        return false;
    size_t size = encode_bmp(back_buffer, palette_colours, bytes);
    std::FILE *file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

uint32_t clock_ms() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

// A browser can't sleep; nothing on this platform waits (the animation frames pace the loop).
void delay_ms(uint32_t ms)
{
    uint32_t start = clock_ms();
    while (clock_ms() - start < ms) {
    }
}

void read_raw_input(RawInput &raw)
{
    for (int k = 0; k < key_code_count; k++)
        key_read[k] = key_down[k] | key_pressed[k];
    std::memset(key_pressed, 0, sizeof key_pressed);
    raw.key_states = key_read;
    // A page has no close event: holding the touch controls' quit to its end is the player's way out.
    raw.close_requested = touch.quit != 0 ? 1 : 0;
    touch.quit = 0;

    // The pad and the touch controls are read as one: their hats and buttons both count.
    GamepadReading reading;
    raw.has_gamepad = poll_gamepad(reading);
    reading.hat = static_cast<uint8_t>(pad_hat_pressed | touch.hat | touch.hat_pressed);
    reading.buttons = static_cast<uint8_t>(pad_buttons_pressed | touch.buttons | touch.buttons_pressed);
    pad_hat_pressed = pad_buttons_pressed = 0;
    touch.hat_pressed = touch.buttons_pressed = 0;
    raw.has_gamepad = raw.has_gamepad || reading.hat != 0 || reading.buttons != 0;
    raw.gamepad = reading;
}

FramePacing frame_pacing() { return FRAMES_OF_THE_DISPLAY; }

void run_frames(bool (*frame)(uint32_t now))
{
    frame_function = frame;
    emscripten_request_animation_frame_loop(run_animation_frame, nullptr);
}
