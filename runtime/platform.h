// platform.h: everything the runtime asks of the machine it runs on, as free functions. One source
// file per platform provides them, chosen by the build: platform_sdl.cpp over SDL 1.2 on the desktop,
// platform_web.cpp in a browser. Nothing above the runtime includes this header. The seam runs one way:
// the runtime calls the platform; the platform calls back only the frame function it is handed.
#pragma once

#include <cstdint>

#include "runtime/input.h"
#include "runtime/pixels.h"

// A picture the platform keeps for the runtime: a loaded bitmap, the font, a sheet or the icon.
struct Image;

// Start-up, in the order runtime_init calls them. Each failure leaves its reason in platform_error().
bool platform_init();
const char *platform_error();
const char *platform_name(); // what a recording's header says it was played on
void set_window_icon(Image *icon); // index 0 is transparent
bool open_display(uint8_t fullscreen); // the window is named "vorpaline"
bool create_back_buffer(); // 640x480, 8 bits: all drawing goes here
void set_palette(const Colour colours[256]); // on the display and the back buffer
void hide_mouse_cursor();
void open_keyboard(); // and, on the desktop, the first gamepad if there is one
void platform_quit();

// Loads a BMP file, or gives none: silently when it is missing or not a regular file, with one line
// when its header is refused (see bitmap.h).
Image *load_bitmap(const char *path);
// The font: its colours are matched to the nearest entries of the back buffer's palette.
Image *convert_by_colour(Image *loaded);
// A sheet: its pixel values are taken as palette indices and kept as they are.
Image *convert_by_index(Image *loaded);
void free_image(Image *image);

// The back buffer. Rectangles are clipped to it (negative corners included); a blit leaves the pixels
// of index 0 untouched. Both return 0, or -1 when there is nothing to blit from.
int fill_back_buffer(const Rect &area, uint8_t colour);
int blit_to_back_buffer(Image *source, const Rect &from, int16_t x, int16_t y);
void present_back_buffer();
// Writes the back buffer as an 8-bit BMP file with the palette; false when it could not be written.
bool save_back_buffer(const char *path);

// The millisecond clock, and a sleep that may end late.
uint32_t clock_ms();
void delay_ms(uint32_t ms);

// Every key's state by its number, the close event, and the first gamepad's reading, at this moment.
// The browser also counts a key, touch control or pad button that went down since the last reading
// as down, so that a press shorter than a tick is seen; its touch controls are read as part of the pad.
void read_raw_input(RawInput &raw);

// How the platform calls the frame function: back to back, each call running one tick that waits for
// the end of its slot (the desktop), or once per frame of the display with the frame's time stamp,
// running the ticks that are due by then (a browser).
enum FramePacing : uint8_t { FRAMES_BACK_TO_BACK, FRAMES_OF_THE_DISPLAY };
FramePacing frame_pacing();

// Calls 'frame' with the clock's time until it returns false. The desktop returns then; a browser
// returns at once and calls it from its animation frames.
void run_frames(bool (*frame)(uint32_t now));
