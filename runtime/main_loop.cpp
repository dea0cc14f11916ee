// main_loop.cpp: the fixed 60-tick loop. Logic runs in every tick; drawing only in ticks that are
// still inside their slot, so the game's speed follows the wall clock, not the drawing rate.
#include "runtime/main_loop.h"

#include "runtime/drawing.h"
#include "runtime/frame_clock.h"
#include "runtime/startup.h"
#include "scenes/run.h"

namespace {

// Ticks whose slots have begun beyond this many (a hidden tab gets no animation frames) are not caught
// up: the slots are placed anew and the game goes on from where it stopped.
constexpr uint32_t max_catch_up_ticks = frame_rate;

// How far into a slot the first animation frame lands when the slots are placed: the later frames of a
// 60 Hz display then begin exactly one slot each while they keep within 7 ms of the first one's phase
// (time stamps of animation frames keep within a millisecond or so).
constexpr uint32_t frame_into_slot_ms = 8;

bool never(const Run &) { return false; }
bool always(const Run &) { return true; }
void no_wait(const Run &) {}

} // namespace

const TickDriver on_time_driver = {never, no_wait};
const TickDriver late_driver = {always, no_wait};

void start_run(Run &run, DrawTarget &target, uint32_t now)
{
    install_title_scene(run);
    init_input(run.input_states);
    run.input = 0;
    frame_clock_start(run.frame_clock, now);
    run.target = &target;
}

uint8_t run_tick(Run &run, const KeySnapshot &keys, const TickDriver &driver)
{
    poll_input(input_of(run), keys, &run.quit_requested);
    scene_update(run);
    uint8_t drawn = 0;
    if (!driver.is_late(run)) {
        DrawTarget &target = *run.target;
        fill_rect(target, 0, 0, screen_width, screen_height, 0);
        scene_draw(run);
        fps_draw(target, run.frame_clock);
        present_frame(target);
        driver.wait(run);
        drawn = 1;
    } else {
        // No cap on consecutive late ticks: updates run back to back until one falls in its slot.
        frame_skipped(run.frame_clock);
    }
    scene_transition(run);
    frame_clock_advance(run.frame_clock);
    return drawn;
}

bool tick_due(Run &run, uint32_t now)
{
    FrameClock &clock = run.frame_clock;
    if (!clock.slots_placed || ticks_due(clock, now, max_catch_up_ticks + 1) > max_catch_up_ticks) {
        frame_clock_anchor(clock, now, frame_into_slot_ms);
        clock.slots_placed = 1;
    }
    return ticks_due(clock, now, 1) == 1;
}

uint32_t run_ticks_due(Run &run, uint32_t now, void (*read_keys)(Run &run, KeySnapshot &keys),
                       const TickDriver &driver)
{
    uint32_t ran = 0;
    while (run.quit_requested == 0 && tick_due(run, now)) {
        KeySnapshot keys;
        read_keys(run, keys);
        run_tick(run, keys, driver);
        ran++;
    }
    return ran;
}
