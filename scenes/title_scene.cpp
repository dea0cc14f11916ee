// title_scene.cpp: the first scene and the one every run returns to.
#include "scenes/title_scene.h"

#include "actors/actor.h"
#include "runtime/drawing.h"
#include "scenes/run.h"

int title_init(Run &run)
{
    run.title_cursor = 0;
    run.title_blink = 0;
    return 0;
}

int title_update(Run &run)
{
    // Only straight down and straight up move the cursor; it neither wraps nor repeats.
    const InputState &input = input_of(run);
    if (input.dir_latch == 2)
        run.title_cursor = 1;
    if (input.dir_latch == 8)
        run.title_cursor = 0;
    return 0;
}

int title_draw(Run &run)
{
    DrawTarget &target = *run.target;
    draw_text(target, 220, 80, input_of(run).held_3 ? "vorpline" : "vorpaline");
    draw_text(target, 315, 90, "presented by krv 2004");
    draw_text(target, 220, 390, "start");
    draw_text(target, 220, 420, "end");
    // The cursor animation counts drawn frames: it slows down when the loop skips drawing.
    uint8_t frame = static_cast<uint8_t>((run.title_blink / 8) % 4);
    draw_sprite(target, 210, run.title_cursor == 0 ? 390 : 420, SHEET_CURSOR, frame);
    run.title_blink += 1;
    return 0;
}

uint8_t title_transition(Run &run)
{
    // Only the press edge chooses: holding button 1 does not repeat the choice.
    if (!input_of(run).pressed_1)
        return TRANSITION_STAY;
    return run.title_cursor == 0 ? TRANSITION_GAME : TRANSITION_QUIT;
}
