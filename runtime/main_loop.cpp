// main_loop.cpp: the fixed 60-tick loop. Logic runs in every tick; drawing only in ticks that are
// still inside their slot, so the game's speed follows the wall clock, not the drawing rate.
#include "runtime/main_loop.h"

#include "runtime/drawing.h"
#include "runtime/frame_clock.h"
#include "runtime/platform.h"
#include "runtime/startup.h"
#include "scenes/scene_manager.h"

namespace {

bool real_time_is_late() { return frame_time_left() <= 0; }

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

void prepare_loop()
{
    install_title_scene();
    init_input();
    frame_clock_start();
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
