// watch.cpp: a script played back in the real window at the real 60 ticks a second. The game reads
// only the script; the real keyboard is read apart from it, for the viewer's Escape and close.
#include "real_window.h"
#include "runtime/frame_clock.h"
#include "runtime/platform.h"

namespace {

const TickDriver watch_driver = {read_script_keys, script_says_late, frame_wait};

bool viewer_wants_to_stop()
{
    // The platform's own snapshot, which the game's input never sees.
    KeySnapshot viewer;
    read_key_snapshot(input_states[0], viewer);
    return viewer.close_requested != 0 || (viewer.held & SNAPSHOT_ESCAPE) != 0;
}

} // namespace

uint64_t run_watch(const InputScript &script)
{
    prepare_loop();
    uint64_t ticks_run = 0;
    for (const ScriptEntry &entry : script.entries) {
        for (uint32_t n = 0; n < entry.count && quit_requested == 0; n++) {
            if (viewer_wants_to_stop())
                return ticks_run;
            apply_script_keys(entry.keys);
            run_tick(watch_driver);
            ticks_run++;
        }
    }
    return ticks_run;
}
