// input_script.h: the replay tool's input script, one entry per line.
//
// Format: '#' starts a comment that runs to the line end; blank lines are ignored. An entry is
// "KEYS" or "KEYS COUNT" (blank-separated): COUNT, a decimal number >= 1, repeats the entry for that
// many ticks (default 1). KEYS is "-" (nothing held) or a string of
//   U D L R    cursor up, down, left, right held
//   1 .. 6     buttons 1 to 6 held (z x c a s d)
//   E          Escape held
//   Q          the window's close event arrives before this tick's poll
//   ~          this tick is late: its drawing is skipped
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum ScriptKey : uint16_t {
    SCRIPT_UP = 1 << 0,
    SCRIPT_DOWN = 1 << 1,
    SCRIPT_LEFT = 1 << 2,
    SCRIPT_RIGHT = 1 << 3,
    SCRIPT_BUTTON_1 = 1 << 4, // buttons 2 to 6 follow in the next bits
    SCRIPT_ESCAPE = 1 << 10,
    SCRIPT_CLOSE = 1 << 11,
    SCRIPT_LATE = 1 << 12,
};

struct ScriptEntry {
    uint16_t keys;  // ScriptKey bits
    uint32_t count; // ticks
};

struct InputScript {
    std::vector<ScriptEntry> entries;
    uint64_t ticks = 0; // the sum of the counts
};

// The most ticks one entry may repeat for.
constexpr uint32_t max_script_count = 1000000000;

struct ScriptError {
    unsigned line = 0; // 1-based
    std::string message;
};

// Parses a whole script. On a malformed line returns false with the line and what is wrong.
bool parse_input_script(const std::string &text, InputScript &script, ScriptError &error);

// The ScriptKey bit of one KEYS character, or 0 when the character means nothing.
uint16_t script_key_of(char c);
