// verify.h: a submitted input script played again by the game's own code before anything of it is
// believed. Its bounds are checked before any tick is played; then the best finished run in it is
// what the server ranks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One finished run: started from the title, and back on the title after its game over or after the
// end of its staff roll, by itself. A quit (Escape, "end", the close event) or the script running
// out never finishes one.
struct VerifiedRun {
    uint16_t score;
    bool hard;
    bool cleared;   // it ended after the staff roll, not in a game over
    uint32_t ticks; // from the tick that started it to the one that brought back the title
};

enum class VerifyFault : uint8_t {
    none,
    too_large,       // more bytes than the limit: not even parsed
    not_text,        // not UTF-8 text: binary, or control characters other than tab, CR and LF
    malformed_line,  // the message names the line
    too_many_ticks,  // nothing was played
    no_finished_run, // played through, and no run in it finished
};

struct Verification {
    VerifyFault fault = VerifyFault::none;
    std::string message; // one line for the submitter, when there is a fault
    VerifiedRun run{};   // the best finished run (the highest score, the first of equals)
    // The script's ticks in one canonical form, one "KEYS COUNT" line per stretch of equal ticks: two
    // scripts that differ only in comments, blanks or how their counts are split give the same text.
    std::string inputs;
};

struct VerifyLimits {
    size_t max_bytes;
    uint64_t max_ticks;
};

// A submission: 64 KiB (a recorded ten-minute session takes a few KiB) and 36,000 ticks, ten minutes
// at 60 ticks a second. A run lasts about a minute.
constexpr size_t max_script_bytes = 64 * 1024;
constexpr VerifyLimits submission_limits = {max_script_bytes, 36000};

// Any thread may call it, at any time, and any number of threads at once: each script is played as a
// run of its own, drawing into a target that only counts, with no window and no data folder.
Verification verify_script(std::string_view text, const VerifyLimits &limits = submission_limits);
