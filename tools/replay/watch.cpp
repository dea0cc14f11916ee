// watch.cpp: a script played back in the real window at the real 60 ticks a second. The game reads
// only the script; the real keyboard is read apart from it, for the viewer's Escape and close.
#include "real_window.h"
#include "runtime/back_buffer.h"
#include "runtime/platform.h"
#include "runtime/real_time.h"

namespace {

bool never_late(const Run &) { return false; }

const TickDriver watch_driver = {never_late, real_time_wait};

bool viewer_wants_to_stop()
{
    // The platform's own reading, which the game's input never sees.
    RawInput viewer;
    read_raw_input(viewer);
    return viewer.close_requested != 0 || (viewer.key_states != nullptr && viewer.key_states[KEYCODE_ESCAPE] != 0);
}

} // namespace

uint64_t run_watch(Replay &replay, const InputScript &script)
{
    ReplayOptions options;
    start_replay(replay, back_buffer_target(), clock_ms(), options);
    uint64_t ticks_run = 0;
    for (const ScriptEntry &entry : script.entries) {
        for (uint32_t n = 0; n < entry.count && replay.run.quit_requested == 0; n++) {
            if (viewer_wants_to_stop())
                return ticks_run;
            bool late = (entry.keys & SCRIPT_LATE) != 0;
            run_traced_tick(replay, script_snapshot(entry.keys), late ? late_driver : watch_driver, options);
            ticks_run++;
        }
    }
    return ticks_run;
}
