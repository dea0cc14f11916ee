// title_scene.h: the title, the credit line and the start/end menu.
#pragma once

#include <cstdint>

struct Run;

int title_init(Run &run);
int title_update(Run &run);
int title_draw(Run &run);
uint8_t title_transition(Run &run);
