// program.cpp: the program's one run, drawn into the back buffer, ticking on the platform's frames.
#include "runtime/program.h"

#include "runtime/back_buffer.h"
#include "runtime/main_loop.h"
#include "runtime/platform.h"
#include "runtime/real_time.h"
#include "runtime/startup.h"
#include "scenes/run.h"

namespace {

Run program_run;
DrawTarget screen;

// How many display frames ran no tick, one tick, or two and more; read by the page's tests.
uint32_t frames_that_ran[3];

// One frame of the platform: on the desktop one tick that waits for its slot, in a browser every tick
// that is due by the frame's time stamp. After the tick that set the quit flag, the runtime shuts down.
bool program_frame(uint32_t now)
{
    Run &run = program_run;
    if (frame_pacing() == FRAMES_OF_THE_DISPLAY) {
        uint32_t ran = run_ticks_due(run, now, read_player_keys, real_time_driver);
        frames_that_ran[ran < 2 ? ran : 2]++;
    } else {
        KeySnapshot keys;
        read_player_keys(run, keys);
        run_tick(run, keys, real_time_driver);
    }
    if (run.quit_requested == 0)
        return true;
    runtime_shutdown();
    return false;
}

} // namespace

void read_player_keys(Run &run, KeySnapshot &keys)
{
    RawInput raw;
    read_raw_input(raw);
    keys = build_key_snapshot(input_of(run), raw);
}

int run_program()
{
    if (runtime_init() != 0) {
        runtime_shutdown();
        return 0;
    }
    screen = back_buffer_target();
    start_run(program_run, screen, clock_ms());
    run_frames(program_frame);
    return 0;
}

// The page's read-only view of the program (window.vorpaline in the browser).
extern "C" {
uint32_t vorpaline_ticks() { return program_run.frame_clock.ticks; }
uint32_t vorpaline_frames_that_ran(uint32_t ticks) { return ticks < 3 ? frames_that_ran[ticks] : 0; }
}
