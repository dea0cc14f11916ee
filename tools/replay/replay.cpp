// replay.cpp: the replay loop, driving the same run_tick as the game's main loop.
#include "replay.h"

#include <cstdlib>

#include "runtime/frame_clock.h"
#include "runtime/platform.h"
#include "trace.h"

namespace {

bool tick_is_late = false;
KeySnapshot script_keys;

void no_wait() {}

// Allocated once, before the first tick.
DrawLog *draw_log = nullptr;

void save_frame(const char *dir, uint32_t tick)
{
    char path[4096];
    std::snprintf(path, sizeof path, "%s/tick-%06u.bmp", dir, tick);
    save_back_buffer(path);
}

} // namespace

const TickDriver script_driver = {read_script_keys, script_says_late, no_wait};

void select_headless_drivers()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

void read_script_keys(KeySnapshot &snapshot) { snapshot = script_keys; }

bool script_says_late() { return tick_is_late; }

void apply_script_keys(uint16_t keys)
{
    script_keys = script_snapshot(keys);
    tick_is_late = (keys & SCRIPT_LATE) != 0;
}

void start_trace(const ReplayOptions &options)
{
    if (options.draws && draw_log == nullptr)
        draw_log = new DrawLog;
    record_draws(options.draws ? draw_log : nullptr);
}

void stop_trace()
{
    record_draws(nullptr);
    if (draw_log != nullptr && draw_log->dropped > 0)
        std::fprintf(stderr, "vorpaline-replay: %llu drawing calls did not fit the draw log\n",
                     static_cast<unsigned long long>(draw_log->dropped));
}

uint8_t run_traced_tick(const TickDriver &driver, const ReplayOptions &options)
{
    uint32_t tick = frame_clock.ticks;
    if (draw_log != nullptr)
        clear_draw_log(*draw_log);
    uint8_t drawn = run_tick(driver);
    if (drawn && options.bmp_dir != nullptr && options.bmp_every > 0 && tick % options.bmp_every == 0)
        save_frame(options.bmp_dir, tick);
    if (options.trace != nullptr)
        write_trace_line(options.trace, tick, drawn, options.draws ? draw_log : nullptr);
    return drawn;
}

uint64_t run_replay(const InputScript &script, const ReplayOptions &options)
{
    // The keys come from the script, or through the caller's reader (which may pass them on another way).
    const TickDriver driver = {options.read_keys != nullptr ? options.read_keys : read_script_keys, script_says_late,
                               no_wait};
    start_trace(options);
    prepare_loop();
    uint64_t ticks_run = 0;
    for (const ScriptEntry &entry : script.entries) {
        for (uint32_t n = 0; n < entry.count && quit_requested == 0; n++) {
            apply_script_keys(entry.keys);
            run_traced_tick(driver, options);
            ticks_run++;
        }
    }
    stop_trace();
    return ticks_run;
}
