// hud.cpp: the side panels, the countdown, the warning, the score panel with the spare ships, and the
// ending: staff roll, curtains and a full-screen fade, after which the run is over.
#include "scenes/hud.h"

#include <algorithm>
#include <cstdio>

#include "actors/actor.h"
#include "runtime/drawing.h"
#include "runtime/wrap16.h"
#include "scenes/run.h"

namespace {

constexpr uint8_t panel_colour = 255;
constexpr uint8_t ramp_first = 16; // the ramp runs through indices 16 to 31
constexpr uint8_t ramp_last = 31;
constexpr uint32_t warning_start = 900;
constexpr uint32_t warning_end = 1100;
constexpr uint32_t ending_ticks = 1100;

uint8_t ramp_colour(uint32_t offset)
{
    // Formed in 8 bits; anything past the ramp shows the panel colour.
    uint8_t colour = wrap_u8(static_cast<int32_t>(ramp_first + offset));
    return colour > ramp_last ? panel_colour : colour;
}

void draw_side_panels(DrawTarget &target, uint8_t colour)
{
    fill_rect(target, 0, 0, 200, 480, colour);
    fill_rect(target, 440, 0, 200, 480, colour);
}

void draw_number(DrawTarget &target, uint16_t x, uint16_t y, uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
    draw_text(target, x, y, text);
}

void draw_scores(const Run &run)
{
    DrawTarget &target = *run.target;
    draw_text(target, 460, 30, "score:");
    draw_number(target, 460, 50, run.score);
    draw_text(target, 460, 80, "hi score:");
    draw_number(target, 460, 100, run.hi_score);
}

// A line of text of a phase, drawn in every frame from its phase's tick 'from' on.
struct Caption {
    uint32_t from;
    uint16_t x, y;
    const char *text;
};

constexpr Caption countdown_captions[] = {
    {0, 286, 100, "3"},
    {61, 316, 100, "2"},
    {121, 346, 100, "1"},
    {181, 302, 300, "g o !"},
};

constexpr Caption staff_roll[] = {
    {101, 250, 80, "staff"},
    {221, 300, 120, "all"},
    {381, 400, 140, "krv"},
    {601, 230, 250, "game is over"},
};

template <size_t n> void draw_captions(DrawTarget &target, uint32_t t, const Caption (&captions)[n])
{
    for (const Caption &caption : captions)
        if (t >= caption.from)
            draw_text(target, caption.x, caption.y, caption.text);
}

void draw_countdown(DrawTarget &target, uint32_t t)
{
    draw_side_panels(target, ramp_colour(t * 8 / 115));
    draw_captions(target, t, countdown_captions);
}

void draw_stage(DrawTarget &target, uint32_t t)
{
    draw_side_panels(target, panel_colour);
    if (t > warning_start && t < warning_end) // slides down one pixel per tick
        draw_text(target, 266, static_cast<uint16_t>(t - warning_start), "w a r n i n g");
}

void draw_ending(Run &run, uint32_t t)
{
    DrawTarget &target = *run.target;
    draw_side_panels(target, panel_colour);
    if (t < 700)
        draw_scores(run);
    draw_captions(target, t, staff_roll);
    if (t > 700) {
        // The curtains meet over the playfield column from t 820 on.
        fill_rect(target, 0, 0, static_cast<uint16_t>(t - 500), 480, panel_colour);
        fill_rect(target, static_cast<uint16_t>(1140 - t), 0, 200, 480, panel_colour);
    }
    if (t > 900) {
        // Stepping down from index 31 to 16. A frame drawn after t 1100 (the ticks before it were
        // late) shows the bottom of the ramp rather than a colour from outside it.
        uint32_t left = ending_ticks - std::min(t, ending_ticks);
        fill_rect(target, 0, 0, 640, 480, ramp_colour(left * 16 / 200));
    }
    // Tested here, in the drawing step: the ending ends at the first drawn frame at or past 1100.
    if (t >= ending_ticks)
        run.game_phase = PHASE_OVER;
}

void draw_spare_ships(const Run &run)
{
    draw_text(*run.target, 460, 400, "left");
    for (int i = 0; i < run.lives; i++)
        draw_sprite(*run.target, static_cast<uint16_t>(500 + 12 * i), 420, SHEET_SHIP, ship_level);
}

} // namespace

void draw_hud(Run &run)
{
    uint32_t t = run.game_tick;
    switch (run.game_phase) {
    case PHASE_COUNTDOWN:
        draw_countdown(*run.target, t);
        break;
    case PHASE_STAGE:
        draw_stage(*run.target, t);
        break;
    case PHASE_ENDING:
        draw_ending(run, t);
        break;
    default:
        return; // over: no panels at all
    }
    if (run.game_phase == PHASE_COUNTDOWN || run.game_phase == PHASE_STAGE) {
        draw_scores(run);
        draw_spare_ships(run);
    }
}
