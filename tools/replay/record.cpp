// record.cpp: a session of the real game recorded as an input script and a trace. The driver is the
// game's own real-time driver, noting what each tick's poll saw and whether the tick was late, so that
// the script, replayed without a window or a clock, runs exactly the ticks that were played.
#include <ctime>

#include "real_window.h"
#include "runtime/back_buffer.h"
#include "runtime/platform.h"
#include "runtime/program.h"
#include "runtime/real_time.h"
#include "runtime/settings.h"
#include "runtime/startup.h"

namespace {

bool seen_late = false;

bool note_lateness(const Run &run)
{
    seen_late = real_time_is_late(run);
    return seen_late;
}

const TickDriver recording_driver = {note_lateness, real_time_wait};

// The script entry of the tick just run with these keys.
uint16_t noted_keys(const KeySnapshot &keys)
{
    uint16_t entry = keys.held;
    if (keys.close_requested)
        entry |= SCRIPT_CLOSE;
    if (seen_late)
        entry |= SCRIPT_LATE;
    return entry;
}

void write_header(ScriptWriter &writer, std::FILE *script, const ReplayOptions &options)
{
    start_recorded_script(writer, script, "vorpaline-replay --record", fullscreen ? "full screen" : "a window",
                          "its real keyboard and clock");
    // The options the trace was written with, as the checked-in replays name theirs.
    if (options.draws)
        write_script_comment(writer, "options: --draws");
}

} // namespace

uint64_t run_recording(Replay &replay, std::FILE *script, const ReplayOptions &options)
{
    ScriptWriter writer;
    write_header(writer, script, options);
    std::fflush(script);

    start_replay(replay, back_buffer_target(), clock_ms(), options);
    uint16_t entry = 0;
    do {
        KeySnapshot keys;
        read_player_keys(replay.run, keys);
        run_traced_tick(replay, keys, recording_driver, options);
        entry = noted_keys(keys);
        // Written out as each entry completes, so a session that ends in a crash keeps all but its last.
        if (write_script_tick(writer, entry))
            std::fflush(script);
    } while (replay.run.quit_requested == 0);

    finish_replay(replay);
    write_script_summary(writer, entry);
    return writer.ticks;
}
