// title_scene.cpp: the first scene and the one every run returns to.
#include "scenes/title_scene.h"

#include "actors/actor.h"
#include "runtime/drawing.h"
#include "runtime/input.h"
#include "scenes/scene_manager.h"

uint8_t title_cursor = 0;
uint8_t title_blink = 0;

int title_init()
{
    title_cursor = 0;
    title_blink = 0;
    return 0;
}

int title_update()
{
    // Only straight down and straight up move the cursor; it neither wraps nor repeats.
    if (input->dir_latch == 2)
        title_cursor = 1;
    if (input->dir_latch == 8)
        title_cursor = 0;
    return 0;
}

int title_draw()
{
    draw_text(220, 80, input->held_3 ? "vorpline" : "vorpaline");
    draw_text(315, 90, "presented by krv 2004");
    draw_text(220, 390, "start");
    draw_text(220, 420, "end");
    // The cursor animation counts drawn frames: it slows down when the loop skips drawing.
    uint8_t frame = static_cast<uint8_t>((title_blink / 8) % 4);
    draw_sprite(210, title_cursor == 0 ? 390 : 420, SHEET_CURSOR, frame);
    title_blink += 1;
    return 0;
}

uint8_t title_transition()
{
    // Only the press edge chooses: holding button 1 does not repeat the choice.
    if (!input->pressed_1)
        return TRANSITION_STAY;
    return title_cursor == 0 ? TRANSITION_GAME : TRANSITION_QUIT;
}
