// verify.cpp: a script's bounds and parse, then the script played on the game's own code as a run of
// its own, following its runs as they start and finish.
#include "verify.h"

#include <memory>

#include "runtime/drawing.h"
#include "runtime/input_script.h"
#include "runtime/main_loop.h"
#include "scenes/run.h"
#include "scenes/session.h"
#include "text.h"

namespace {

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

// ---- Playing: a run of its own for every script, so that any number are checked at once.

// Plays the script from the program's first tick, as the replay tool does: each tick gets its entry's
// keys and is drawn (into a target that only counts) unless the entry marks it late, since drawing
// changes the run: the staff roll ends in a drawn frame.
bool play_script(const InputScript &script, VerifiedRun &best)
{
    auto run = std::make_unique<Run>(); // too large for a worker's stack
    DrawTarget no_pixels = counting_target();
    start_run(*run, no_pixels, 0);
    SessionLog log;
    uint32_t tick = 0;
    for (const ScriptEntry &entry : script.entries) {
        const TickDriver &driver = (entry.keys & SCRIPT_LATE) != 0 ? late_driver : on_time_driver;
        for (uint32_t n = 0; n < entry.count && run->quit_requested == 0; n++, tick++) {
            run_tick(*run, script_snapshot(entry.keys), driver);
            follow_tick(log, *run, tick);
        }
    }
    if (log.finished_runs == 0)
        return false;
    best = VerifiedRun{log.best.score, log.best.hard_mode != 0, log.best.cleared != 0, log.best.ticks};
    return true;
}

} // namespace

Verification verify_script(std::string_view text, const VerifyLimits &limits)
{
    Verification result;
    InputScript script;
    if (!check_script(text, limits, script, result))
        return result;
    result.inputs = canonical_inputs(script);
    if (!play_script(script, result.run)) {
        result.fault = VerifyFault::no_finished_run;
        result.message = "no run in the script finished: none came back to the title after its game over or "
                         "its staff roll without a quit";
    }
    return result;
}
