// program.cpp: the program's one run, drawn into the back buffer, ticking on the platform's frames; its
// session recorded as an input script, or a script watched instead of played.
#include "runtime/program.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/back_buffer.h"
#include "runtime/input_script.h"
#include "runtime/main_loop.h"
#include "runtime/platform.h"
#include "runtime/real_time.h"
#include "runtime/settings.h"
#include "runtime/startup.h"
#include "scenes/run.h"
#include "scenes/session.h"

namespace {

// A recording stops here, with a message, while the game goes on: a shared replay may be no longer.
constexpr uint64_t max_recorded_ticks = shared_replay_limits.max_ticks;
constexpr uint32_t max_watch_speed = 8;

// How the session ended, for the page.
enum SessionEnding : uint8_t { ENDED_NOT_YET, ENDED_QUIT, ENDED_SCRIPT_RAN_OUT, ENDED_BY_VIEWER };

struct Recording {
    std::FILE *file = nullptr; // none: not recording (or stopped at the limit)
    ScriptWriter writer;
    uint16_t last_keys = 0;
    bool stopped_at_limit = false;
    bool late = false; // the tick just run was late
};

struct Watch {
    bool on = false;
    InputScript script;
    size_t entry = 0;
    uint32_t repeated = 0; // ticks run of the current entry
    uint32_t speed = 1;    // ticks of the script per tick of real time
    uint32_t clock_ms = 0; // the watch's own clock: real time times the speed while not paused
    uint32_t last_now = 0;
    bool clock_started = false;
    std::string error; // why the script asked for could not be watched
};

struct Session {
    Run run;
    DrawTarget screen;
    SessionLog log;
    Recording recording;
    Watch watch;
    bool paused = false; // by the page: no tick runs until it goes on
    SessionEnding ending = ENDED_NOT_YET;
};

Session session;

// How many display frames ran no tick, one tick, or two and more; read by the page's tests.
uint32_t frames_that_ran[3];

bool note_lateness(const Run &run)
{
    session.recording.late = real_time_is_late(run);
    return session.recording.late;
}

// The desktop's pacing, with each tick's lateness noted for the recording.
const TickDriver played_driver = {note_lateness, real_time_wait};

bool never_late(const Run &) { return false; }
const TickDriver watched_driver = {never_late, real_time_wait};

void start_recording(const char *path)
{
    Recording &recording = session.recording;
    recording.file = std::fopen(path, "w");
    if (recording.file == nullptr) {
        std::printf("vorpaline: can't record into %s; the game is played unrecorded\n", path);
        return;
    }
    start_recorded_script(recording.writer, recording.file, "vorpaline --record", platform_name(),
                          "its player's keys and clock");
}

void stop_recording()
{
    Recording &recording = session.recording;
    if (recording.file == nullptr)
        return;
    if (recording.stopped_at_limit) {
        char note[128];
        std::snprintf(note, sizeof note, "the recording stopped here, at the limit of %llu ticks; the game went on",
                      static_cast<unsigned long long>(max_recorded_ticks));
        write_script_comment(recording.writer, note);
    } else {
        write_script_summary(recording.writer, recording.last_keys);
    }
    std::fclose(recording.file);
    recording.file = nullptr;
}

void record_tick(const KeySnapshot &keys)
{
    Recording &recording = session.recording;
    if (recording.file == nullptr)
        return;
    uint16_t entry = keys.held;
    if (keys.close_requested)
        entry |= SCRIPT_CLOSE;
    if (recording.late)
        entry |= SCRIPT_LATE;
    recording.last_keys = entry;
    write_script_tick(recording.writer, entry);
    if (recording.writer.ticks == max_recorded_ticks) {
        recording.stopped_at_limit = true;
        std::printf("vorpaline: the recording stopped at %llu ticks (100 minutes); the game goes on\n",
                    static_cast<unsigned long long>(max_recorded_ticks));
        stop_recording();
    }
}

void start_watch(const char *path)
{
    Watch &watch = session.watch;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    ScriptError error;
    if (!file) {
        watch.error = "can't read the replay";
    } else if (!parse_bounded_script(text.str(), shared_replay_limits, watch.script, error)) {
        watch.error = error.line > 0 ? "line " + std::to_string(error.line) + ": " + error.message : error.message;
    } else {
        watch.on = true;
        return;
    }
    std::printf("vorpaline: can't watch %s: %s\n", path, watch.error.c_str());
}

// The entry of the watched script for the next tick; false when the script has no more.
bool next_watched_entry(uint16_t &keys)
{
    Watch &watch = session.watch;
    while (watch.entry < watch.script.entries.size() && watch.repeated == watch.script.entries[watch.entry].count) {
        watch.entry++;
        watch.repeated = 0;
    }
    if (watch.entry == watch.script.entries.size())
        return false;
    watch.repeated++;
    keys = watch.script.entries[watch.entry].keys;
    return true;
}

// One tick of the watched script; false when it has run out.
bool watch_tick(const TickDriver &on_time)
{
    uint16_t keys = 0;
    if (!next_watched_entry(keys)) {
        session.ending = ENDED_SCRIPT_RAN_OUT;
        return false;
    }
    Run &run = session.run;
    uint32_t tick = run.frame_clock.ticks;
    run_tick(run, script_snapshot(keys), (keys & SCRIPT_LATE) != 0 ? late_driver : on_time);
    follow_tick(session.log, run, tick);
    return true;
}

void play_tick(const KeySnapshot &keys)
{
    Run &run = session.run;
    uint32_t tick = run.frame_clock.ticks;
    run_tick(run, keys, played_driver);
    record_tick(keys);
    follow_tick(session.log, run, tick);
}

// The viewer's own Escape, which the watched game never sees, stops the watch.
bool viewer_stops_watch()
{
    RawInput viewer;
    read_raw_input(viewer);
    return viewer.close_requested != 0 || (viewer.key_states != nullptr && viewer.key_states[KEYCODE_ESCAPE] != 0);
}

// A display frame of a watch: the ticks whose slots have begun on the watch's own clock.
uint32_t watch_display_frame(uint32_t now)
{
    Watch &watch = session.watch;
    if (!watch.clock_started) {
        watch.clock_ms = now;
        watch.clock_started = true;
    } else if (!session.paused) {
        watch.clock_ms += (now - watch.last_now) * watch.speed;
    }
    watch.last_now = now;
    uint32_t ran = 0;
    while (!session.paused && session.run.quit_requested == 0 && tick_due(session.run, watch.clock_ms)) {
        if (!watch_tick(on_time_driver))
            break;
        ran++;
    }
    return ran;
}

uint32_t play_display_frame(uint32_t now)
{
    uint32_t ran = 0;
    while (!session.paused && session.run.quit_requested == 0 && tick_due(session.run, now)) {
        KeySnapshot keys;
        read_player_keys(session.run, keys);
        play_tick(keys);
        ran++;
    }
    return ran;
}

// One frame of the platform: on the desktop one tick that waits for its slot, in a browser every tick
// that is due by the frame's time stamp. After the tick that set the quit flag, or at the end of a
// watched script, the runtime shuts down.
bool program_frame(uint32_t now)
{
    Run &run = session.run;
    if (session.watch.on && viewer_stops_watch()) {
        session.ending = ENDED_BY_VIEWER;
    } else if (frame_pacing() == FRAMES_OF_THE_DISPLAY) {
        uint32_t ran = session.watch.on ? watch_display_frame(now) : play_display_frame(now);
        frames_that_ran[ran < 2 ? ran : 2]++;
    } else if (session.watch.on) {
        watch_tick(watched_driver);
    } else {
        KeySnapshot keys;
        read_player_keys(run, keys);
        play_tick(keys);
    }
    if (run.quit_requested != 0 && session.ending == ENDED_NOT_YET)
        session.ending = ENDED_QUIT;
    if (session.ending == ENDED_NOT_YET)
        return true;
    stop_recording();
    runtime_shutdown();
    return false;
}

// A text for a JSON string: quotes, backslashes and control characters escaped.
std::string json_text(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

// How the session ended: a run quit in, the last finished run when the title was left after it, the
// watched script running out, or the viewer stopping the watch.
const char *ending_text(uint16_t &score)
{
    const Run &run = session.run;
    const SessionLog &log = session.log;
    score = log.in_run ? run.score : log.finished_runs > 0 ? log.last.score : 0;
    switch (session.ending) {
    case ENDED_NOT_YET:
        return "";
    case ENDED_SCRIPT_RAN_OUT:
        return "ran out";
    case ENDED_BY_VIEWER:
        return "stopped";
    case ENDED_QUIT:
        break;
    }
    if (log.in_run || log.finished_runs == 0)
        return "quit";
    return log.last.cleared ? "cleared" : "game over";
}

} // namespace

ProgramOptions read_program_options(int argc, char *argv[])
{
    ProgramOptions options;
    for (int i = 1; i + 1 < argc; i++) {
        if (std::strcmp(argv[i], "--record") == 0)
            options.record_path = argv[++i];
        else if (std::strcmp(argv[i], "--watch") == 0)
            options.watch_path = argv[++i];
    }
    return options;
}

void read_player_keys(Run &run, KeySnapshot &keys)
{
    RawInput raw;
    read_raw_input(raw);
    keys = build_key_snapshot(input_of(run), raw);
}

int run_program(const ProgramOptions &options)
{
    if (runtime_init() != 0) {
        runtime_shutdown();
        return 0;
    }
    if (options.watch_path != nullptr)
        start_watch(options.watch_path);
    if (options.record_path != nullptr && !session.watch.on)
        start_recording(options.record_path);
    session.screen = back_buffer_target();
    start_run(session.run, session.screen, clock_ms());
    run_frames(program_frame);
    return 0;
}

// The page's view of the program and its controls (window.vorpaline in the browser).
extern "C" {

uint32_t vorpaline_ticks() { return session.run.frame_clock.ticks; }

uint32_t vorpaline_frames_that_ran(uint32_t ticks) { return ticks < 3 ? frames_that_ran[ticks] : 0; }

// The page's pause: no tick runs while it lasts, and the slots are placed anew when it ends, so the
// game goes on from where it stopped without racing through the time it missed.
void vorpaline_set_paused(int paused)
{
    if (session.paused && !paused)
        session.run.frame_clock.slots_placed = 0;
    session.paused = paused != 0;
}

void vorpaline_set_watch_speed(uint32_t speed) { session.watch.speed = speed < 1 ? 1 : speed > max_watch_speed ? max_watch_speed : speed; }

// The session as JSON, for the page: whether it watched, how it ended and with what score, its best
// finished run, its recording, and why a replay asked for could not be watched.
const char *vorpaline_session_summary()
{
    static char text[1024];
    const SessionLog &log = session.log;
    uint16_t score = 0;
    const char *ending = ending_text(score);
    char best[160] = "null";
    if (log.finished_runs > 0)
        std::snprintf(best, sizeof best, "{\"score\":%u,\"mode\":\"%s\",\"cleared\":%s,\"ticks\":%u}", log.best.score,
                      log.best.hard_mode ? "hard" : "normal", log.best.cleared ? "true" : "false", log.best.ticks);
    std::snprintf(text, sizeof text,
                  "{\"watching\":%s,\"ended\":\"%s\",\"score\":%u,\"finished_runs\":%u,\"best\":%s,"
                  "\"recorded_ticks\":%llu,\"recording_stopped\":%s,\"watch_error\":\"%s\"}",
                  session.watch.on ? "true" : "false", ending, score, log.finished_runs, best,
                  static_cast<unsigned long long>(session.recording.writer.ticks),
                  session.recording.stopped_at_limit ? "true" : "false", json_text(session.watch.error).c_str());
    return text;
}
}
