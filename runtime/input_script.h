// input_script.h: the replay tool's input script, one entry per line: its parser and its writer.
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
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/input.h"

// The keys are the bits of the key snapshot, and two of the script's own above them.
enum ScriptKey : uint16_t {
    SCRIPT_UP = SNAPSHOT_UP,
    SCRIPT_DOWN = SNAPSHOT_DOWN,
    SCRIPT_LEFT = SNAPSHOT_LEFT,
    SCRIPT_RIGHT = SNAPSHOT_RIGHT,
    SCRIPT_BUTTON_1 = SNAPSHOT_BUTTON_1, // buttons 2 to 6 follow in the next bits
    SCRIPT_ESCAPE = SNAPSHOT_ESCAPE,
    SCRIPT_CLOSE = 1 << 11,
    SCRIPT_LATE = 1 << 12,
};
constexpr uint16_t script_snapshot_keys = 0x07FF; // the bits that are snapshot keys

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

// How much of a script another player may hand over: checked before any tick is played.
struct ScriptLimits {
    size_t max_bytes;
    uint64_t max_ticks;
};
// A replay watched or shared: at most 1 MiB of script and 360,000 ticks (100 minutes).
constexpr ScriptLimits shared_replay_limits = {1 << 20, 360000};

// parse_input_script within limits: a text or a sum of counts beyond them is refused (line 0) as a
// malformed line is.
bool parse_bounded_script(const std::string &text, const ScriptLimits &limits, InputScript &script,
                          ScriptError &error);

// The ScriptKey bit of one KEYS character, or 0 when the character means nothing.
uint16_t script_key_of(char c);

// What a tick's poll sees for a script entry's keys.
KeySnapshot script_snapshot(uint16_t keys);

// The writer, for recordings: ticks come one at a time and identical consecutive ticks are folded into
// one entry, written out as soon as a tick differs. So a session of any length is stored as it goes,
// in the memory of one entry, and the file holds every entry but the one still folding.
struct ScriptWriter {
    std::FILE *out = nullptr;
    ScriptEntry folding{0, 0}; // count 0 before the first tick
    uint64_t ticks = 0;
    uint64_t late_ticks = 0;
};

// The most characters of one entry's KEYS.
constexpr int max_keys_text = 13;

// KEYS for a set of ScriptKey bits: "-", or their characters in the order U D L R 1 .. 6 E Q ~.
void script_keys_text(uint16_t keys, char text[max_keys_text + 1]);

// Starts a recording's script on 'out': its first line says when (in UTC), by what ('by'), in what
// ('in') and with which settings it was recorded, with what keys and clock ('with').
void start_recorded_script(ScriptWriter &writer, std::FILE *out, const char *by, const char *in, const char *with);

// Starts a script on 'out' whose first line is the comment "# header".
void start_script(ScriptWriter &writer, std::FILE *out, const char *header);
// Adds one tick. Returns true when that wrote out the entry before it.
bool write_script_tick(ScriptWriter &writer, uint16_t keys);
// Writes "# text" after the entries so far (the one still folding included).
void write_script_comment(ScriptWriter &writer, const char *text);
// Writes the entry still folding; the writer can go on afterwards.
void finish_script(ScriptWriter &writer);
// Finishes the script with the closing summary: its ticks, the late ones, and what ended the session
// (the keys of its last tick tell).
void write_script_summary(ScriptWriter &writer, uint16_t last_keys);
