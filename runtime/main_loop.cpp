// main_loop.cpp: the fixed 60-tick loop. Logic runs in every tick; drawing only in ticks that are
// still inside their slot, so the game's speed follows the wall clock, not the drawing rate.
#include "runtime/main_loop.h"

#include "runtime/drawing.h"
#include "runtime/frame_clock.h"
#include "runtime/platform.h"
#include "runtime/startup.h"
#include "scenes/scene_manager.h"

uint8_t quit_requested = 0;

bool real_time_is_late() { return frame_time_left() <= 0; }

namespace {

// Ticks whose slots have begun beyond this many (a hidden tab gets no animation frames) are not caught
// up: the slots are placed anew and the game goes on from where it stopped.
constexpr uint32_t max_catch_up_ticks = frame_rate;

// How far into a slot the first animation frame lands when the slots are placed: the later frames of a
// 60 Hz display then begin exactly one slot each while they keep within 7 ms of the first one's phase
// (time stamps of animation frames keep within a millisecond or so).
constexpr uint32_t frame_into_slot_ms = 8;
bool slots_placed = false;

} // namespace

void read_platform_keys(KeySnapshot &snapshot) { read_key_snapshot(input_states[0], snapshot); }

const TickDriver real_time_driver = {read_platform_keys, real_time_is_late, frame_wait};

uint8_t run_tick(const TickDriver &driver)
{
    KeySnapshot keys;
    driver.read_keys(keys);
    poll_input(keys, &quit_requested);
    scene_update();
    uint8_t drawn = 0;
    if (!driver.is_late()) {
        fill_rect(0, 0, screen_width, screen_height, 0);
        scene_draw();
        fps_draw();
        present_frame();
        driver.wait();
        drawn = 1;
    } else {
        // No cap on consecutive late ticks: updates run back to back until one falls in its slot.
        frame_skipped();
    }
    scene_transition();
    frame_clock_advance();
    return drawn;
}

uint32_t run_ticks_due(uint32_t now, const TickDriver &driver)
{
    if (!slots_placed || ticks_due(now, max_catch_up_ticks + 1) > max_catch_up_ticks) {
        frame_clock_anchor(now, frame_into_slot_ms);
        slots_placed = true;
    }
    uint32_t ran = 0;
    while (quit_requested == 0 && ticks_due(now, 1) == 1) {
        run_tick(driver);
        ran++;
    }
    return ran;
}

void prepare_loop()
{
    install_title_scene();
    init_input();
    frame_clock_start();
    slots_placed = false;
}

int run_program()
{
    if (runtime_init() != 0) {
        runtime_shutdown();
        return 0;
    }
    prepare_loop();
    run_loop();
    return 0;
}
