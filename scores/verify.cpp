// verify.cpp: a script's bounds and parse, then the script played on the game's own code, watching
// the scenes for finished runs.
//
// The game today is one set of globals, so one script is played at a time, from the state that
// start-up left, saved once and put back before every script. Everything that knows this is in this
// file: verify.h is all the server sees.
#include "verify.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "input_script.h"
#include "replay.h"
#include "runtime/main_loop.h"
#include "runtime/startup.h"
#include "scenes/game_scene.h"
#include "scenes/run_state.h"
#include "scenes/scene_manager.h"
#include "text.h"

namespace {

std::mutex verifier_mutex;     // the game's globals: one script at a time
RunState state_after_start_up; // the title as the loop first sees it
bool verifier_started = false;

// ---- Bounds and parse: nothing is played before they pass.

bool check_script(std::string_view text, const VerifyLimits &limits, InputScript &script, Verification &result)
{
    auto refuse = [&](VerifyFault fault, std::string message) {
        result.fault = fault;
        result.message = std::move(message);
        return false;
    };
    if (text.size() > limits.max_bytes)
        return refuse(VerifyFault::too_large, "the script is larger than " + std::to_string(limits.max_bytes) + " bytes");
    if (!is_plain_text(text))
        return refuse(VerifyFault::not_text, "the script is not UTF-8 text");
    ScriptError error;
    if (!parse_input_script(std::string(text), script, error))
        return refuse(VerifyFault::malformed_line, "line " + std::to_string(error.line) + ": " + error.message);
    if (script.ticks > limits.max_ticks)
        return refuse(VerifyFault::too_many_ticks, "the script has " + std::to_string(script.ticks) +
                                                       " ticks, more than " + std::to_string(limits.max_ticks));
    return true;
}

// One line per stretch of equal ticks, whatever entries the script split it into.
std::string canonical_inputs(const InputScript &script)
{
    std::string text;
    char keys[max_keys_text + 1];
    auto write = [&](uint16_t k, uint64_t count) {
        script_keys_text(k, keys);
        text += keys;
        text += ' ';
        text += std::to_string(count);
        text += '\n';
    };
    uint16_t folding = 0;
    uint64_t count = 0;
    for (const ScriptEntry &entry : script.entries) {
        if (count > 0 && entry.keys != folding) {
            write(folding, count);
            count = 0;
        }
        folding = entry.keys;
        count += entry.count;
    }
    if (count > 0)
        write(folding, count);
    return text;
}

// ---- Playing, on today's global state.

bool title_is_current() { return current_scene.update == title_scene.update; }

// Plays the script from the state after start-up, as the replay tool does: each tick gets its entry's
// keys and is drawn unless the entry marks it late (drawing changes the run: the staff roll ends in a
// drawn frame). A run starts in the tick whose transition makes the game current and finishes in the
// tick whose transition brings back the title, unless the quit flag was set in that tick.
bool play_script(const InputScript &script, VerifiedRun &best)
{
    restore_run_state(state_after_start_up);
    bool found = false;
    bool in_run = false;
    uint32_t start_tick = 0;
    uint8_t phase_before = PHASE_COUNTDOWN; // the run's phase after the tick before
    uint32_t tick = 0;
    for (const ScriptEntry &entry : script.entries) {
        for (uint32_t n = 0; n < entry.count && quit_requested == 0; n++, tick++) {
            bool was_title = title_is_current();
            apply_script_keys(entry.keys);
            run_tick(script_driver);
            bool is_title = title_is_current();
            if (was_title && !is_title) {
                in_run = true;
                start_tick = tick;
            } else if (!was_title && is_title) {
                if (in_run && quit_requested == 0) {
                    VerifiedRun run{score, hard_mode != 0, phase_before == PHASE_ENDING, tick - start_tick};
                    if (!found || run.score > best.score)
                        best = run;
                    found = true;
                }
                in_run = false;
            }
            if (!is_title)
                phase_before = game_phase;
        }
    }
    return found;
}

// runtime_init with its start-up listing in a scratch file instead of standard output; the listing's
// last line is the reason when start-up fails.
uint8_t quiet_runtime_init(std::string &last_line)
{
    std::fflush(stdout);
    std::FILE *scratch = std::tmpfile();
    int saved = dup(STDOUT_FILENO);
    if (scratch == nullptr || saved < 0 || dup2(fileno(scratch), STDOUT_FILENO) < 0) {
        last_line = "no scratch file for the start-up listing";
        return 1;
    }
    uint8_t status = runtime_init();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::rewind(scratch);
    char line[512];
    while (std::fgets(line, sizeof line, scratch) != nullptr)
        if (line[0] != '\n')
            last_line.assign(line, std::strcspn(line, "\r\n"));
    std::fclose(scratch);
    return status;
}

} // namespace

bool start_verifier(const std::string &data_dir, std::string &error)
{
    std::lock_guard lock(verifier_mutex);
    if (verifier_started)
        return true;
    select_headless_drivers();
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that no one reads.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (here < 0 || chdir(data_dir.c_str()) != 0) {
        error = "can't enter the data folder " + data_dir + ": " + std::strerror(errno);
        if (here >= 0)
            close(here);
        return false;
    }
    // Without its settings the game would start in full screen, which the dummy driver makes slow;
    // without its sheet list it is not the game's data folder at all.
    bool is_data_folder = access("krv.ini", R_OK) == 0 && access("kvs.ini", R_OK) == 0;
    std::string last_line;
    uint8_t status = is_data_folder ? quiet_runtime_init(last_line) : 1;
    bool back = fchdir(here) == 0;
    close(here);
    if (!is_data_folder) {
        error = data_dir + " is not the game's data folder (krv.ini and kvs.ini are missing)";
        return false;
    }
    if (status != 0 || !back) {
        error = "the game's start-up failed: " + (back ? last_line : std::string("can't return to the working folder"));
        return false;
    }
    prepare_loop();
    save_run_state(state_after_start_up);
    verifier_started = true;
    return true;
}

void stop_verifier()
{
    std::lock_guard lock(verifier_mutex);
    if (!verifier_started)
        return;
    std::fflush(stdout);
    int saved = dup(STDOUT_FILENO);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        dup2(null, STDOUT_FILENO); // the farewell line is the game's, not the server's
    runtime_shutdown();
    std::fflush(stdout);
    if (saved >= 0) {
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
    if (null >= 0)
        close(null);
    verifier_started = false;
}

Verification verify_script(std::string_view text, const VerifyLimits &limits)
{
    Verification result;
    InputScript script;
    if (!check_script(text, limits, script, result))
        return result;
    result.inputs = canonical_inputs(script);
    bool finished;
    {
        std::lock_guard lock(verifier_mutex);
        if (!verifier_started)
            std::abort(); // a caller that skipped start_verifier
        finished = play_script(script, result.run);
    }
    if (!finished) {
        result.fault = VerifyFault::no_finished_run;
        result.message = "no run in the script finished: none came back to the title after its game over or "
                         "its staff roll without a quit";
    }
    return result;
}
