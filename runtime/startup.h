// startup.h: bringing the runtime up and down.
#pragma once

#include <cstdint>

constexpr int screen_width = 640;
constexpr int screen_height = 480;
constexpr int screen_depth = 8;

inline constexpr char runtime_version[] = "0.8";

// Banner, platform, settings, icon, display, back buffer, palette, font, sheets and keyboard, in that
// order (the angle tables are built before main). 0 on success; 1 when the platform, the display or
// the back buffer failed.
uint8_t runtime_init();

// The platform's shutdown, then the farewell line.
int runtime_shutdown();
