// settings.h: the settings file krv.ini.
#pragma once

#include <cstdint>
#include <cstdio>

extern uint8_t fullscreen; // 1 = full screen, 0 = window
extern uint8_t show_fps;   // 1 = draw the FPS counter

// Resets the settings to their defaults (full screen, no counter).
void default_settings();

// Applies every line of an open settings file, printing the setting lines and errors.
void read_settings(std::FILE *file);

// Opens krv.ini; without it the defaults stand and nothing is printed.
void load_settings();
