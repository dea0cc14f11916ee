// title_scene.h: the title, the credit line and the start/end menu.
#pragma once

#include <cstdint>

extern uint8_t title_cursor; // 0 = "start", 1 = "end"
extern uint8_t title_blink;  // drawn frames of the title, wrapping at 256

int title_init();
int title_update();
int title_draw();
uint8_t title_transition();
