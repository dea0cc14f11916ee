// replay.cpp: the replay loop, driving the same run_tick as the game's main loop.
#include "replay.h"

#include <cstdlib>

#include "runtime/back_buffer.h"
#include "runtime/platform.h"

namespace {

void save_frame(const char *dir, uint32_t tick)
{
    char path[4096];
    std::snprintf(path, sizeof path, "%s/tick-%06u.bmp", dir, tick);
    save_back_buffer(path);
}

} // namespace

const TickDriver &script_driver(uint16_t entry_keys)
{
    return (entry_keys & SCRIPT_LATE) != 0 ? late_driver : on_time_driver;
}

void select_headless_drivers()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

void start_replay(Replay &replay, const DrawTarget &target, uint32_t now, const ReplayOptions &options)
{
    replay.target = target;
    if (options.draws) {
        if (replay.draw_log == nullptr)
            replay.draw_log = std::make_unique<DrawLog>();
        replay.draw_log->dropped = 0;
        record_draws(replay.target, replay.draw_log.get());
    }
    start_run(replay.run, replay.target, now);
}

void finish_replay(Replay &replay)
{
    if (replay.target.observer == nullptr)
        return;
    record_draws(replay.target, nullptr);
    if (replay.draw_log->dropped > 0)
        std::fprintf(stderr, "vorpaline-replay: %llu drawing calls did not fit the draw log\n",
                     static_cast<unsigned long long>(replay.draw_log->dropped));
}

uint8_t run_traced_tick(Replay &replay, const KeySnapshot &keys, const TickDriver &driver,
                        const ReplayOptions &options)
{
    uint32_t tick = replay.run.frame_clock.ticks;
    DrawLog *log = replay.target.observer != nullptr ? replay.draw_log.get() : nullptr;
    if (log != nullptr)
        clear_draw_log(*log);
    uint8_t drawn = run_tick(replay.run, keys, driver);
    if (drawn && options.bmp_dir != nullptr && options.bmp_every > 0 && tick % options.bmp_every == 0)
        save_frame(options.bmp_dir, tick);
    if (options.trace != nullptr)
        write_trace_line(options.trace, replay.run, tick, drawn, log);
    return drawn;
}

uint8_t run_script_tick(Replay &replay, uint16_t entry_keys, const ReplayOptions &options)
{
    KeySnapshot keys = options.read_keys != nullptr ? options.read_keys(replay.run, entry_keys)
                                                    : script_snapshot(entry_keys);
    return run_traced_tick(replay, keys, script_driver(entry_keys), options);
}

uint64_t run_replay(Replay &replay, const InputScript &script, const ReplayOptions &options)
{
    start_replay(replay, back_buffer_target(), 0, options);
    uint64_t ticks_run = 0;
    for (const ScriptEntry &entry : script.entries) {
        for (uint32_t n = 0; n < entry.count && replay.run.quit_requested == 0; n++) {
            run_script_tick(replay, entry.keys, options);
            ticks_run++;
        }
    }
    finish_replay(replay);
    return ticks_run;
}
