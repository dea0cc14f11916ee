// hud.h: the side panels, countdown, warning, score panel and the ending.
#pragma once

struct Run;

// Draws last in every game frame; at the end of the ending it ends the run.
void draw_hud(Run &run);
