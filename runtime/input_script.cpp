// input_script.cpp: reads and writes the replay tool's input scripts.
#include "runtime/input_script.h"

#include <cctype>
#include <ctime>

#include "runtime/frame_clock.h"
#include "runtime/settings.h"
#include "runtime/startup.h"

namespace {

bool parse_keys(const std::string &word, uint16_t &keys, std::string &message)
{
    keys = 0;
    if (word == "-")
        return true;
    for (char c : word) {
        uint16_t key = script_key_of(c);
        if (key == 0) {
            message = std::isprint(static_cast<unsigned char>(c)) ? std::string("unknown key '") + c + "'"
                                                                   : std::string("unknown key character");
            return false;
        }
        keys |= key;
    }
    return true;
}

bool parse_count(const std::string &word, uint32_t &count, std::string &message)
{
    uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') {
            message = "bad count '" + word + "'";
            return false;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > max_script_count) {
            message = "count '" + word + "' is too large";
            return false;
        }
    }
    if (value == 0) {
        message = "bad count '" + word + "' (must be 1 or more)";
        return false;
    }
    count = static_cast<uint32_t>(value);
    return true;
}

// One entry: "KEYS" for a single tick, "KEYS COUNT" for more.
void write_entry(std::FILE *out, const ScriptEntry &entry)
{
    char keys[max_keys_text + 1];
    script_keys_text(entry.keys, keys);
    if (entry.count == 1)
        std::fprintf(out, "%s\n", keys);
    else
        std::fprintf(out, "%s %u\n", keys, entry.count);
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits a line (comment already cut) into blank-separated words.
std::vector<std::string> split_words(const std::string &line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i]))
            i++;
        size_t start = i;
        while (i < line.size() && !is_blank(line[i]))
            i++;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

} // namespace

uint16_t script_key_of(char c)
{
    switch (c) {
    case 'U':
        return SCRIPT_UP;
    case 'D':
        return SCRIPT_DOWN;
    case 'L':
        return SCRIPT_LEFT;
    case 'R':
        return SCRIPT_RIGHT;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
        return static_cast<uint16_t>(SCRIPT_BUTTON_1 << (c - '1'));
    case 'E':
        return SCRIPT_ESCAPE;
    case 'Q':
        return SCRIPT_CLOSE;
    case '~':
        return SCRIPT_LATE;
    default:
        return 0;
    }
}

KeySnapshot script_snapshot(uint16_t keys)
{
    KeySnapshot snapshot;
    snapshot.held = static_cast<uint16_t>(keys & script_snapshot_keys);
    snapshot.close_requested = (keys & SCRIPT_CLOSE) ? 1 : 0;
    return snapshot;
}

bool parse_input_script(const std::string &text, InputScript &script, ScriptError &error)
{
    script.entries.clear();
    script.ticks = 0;
    unsigned line_number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        line_number++;

        size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.resize(comment);
        std::vector<std::string> words = split_words(line);
        if (words.empty())
            continue;

        error.line = line_number;
        if (words.size() > 2) {
            error.message = "too many fields (expected KEYS or KEYS COUNT)";
            return false;
        }
        ScriptEntry entry{0, 1};
        if (!parse_keys(words[0], entry.keys, error.message))
            return false;
        if (words.size() == 2 && !parse_count(words[1], entry.count, error.message))
            return false;
        script.entries.push_back(entry);
        script.ticks += entry.count;
    }
    error = ScriptError{};
    return true;
}

bool parse_bounded_script(const std::string &text, const ScriptLimits &limits, InputScript &script,
                          ScriptError &error)
{
    error = ScriptError{};
    if (text.size() > limits.max_bytes) {
        error.message = "the script is " + std::to_string(text.size()) + " bytes long, more than the " +
                        std::to_string(limits.max_bytes) + " a replay may have";
        return false;
    }
    if (!parse_input_script(text, script, error))
        return false;
    if (script.ticks > limits.max_ticks) {
        error.message = "the script is " + std::to_string(script.ticks) + " ticks long, more than the " +
                        std::to_string(limits.max_ticks) + " a replay may have";
        script = InputScript{};
        return false;
    }
    return true;
}

void script_keys_text(uint16_t keys, char text[max_keys_text + 1])
{
    // The order of the ScriptKey bits, lowest first.
    static constexpr char letters[] = "UDLR123456EQ~";
    static_assert(sizeof letters - 1 == max_keys_text);
    int n = 0;
    for (int bit = 0; bit < max_keys_text; bit++)
        if (keys & (1u << bit))
            text[n++] = letters[bit];
    if (n == 0)
        text[n++] = '-';
    text[n] = '\0';
}

void start_recorded_script(ScriptWriter &writer, std::FILE *out, const char *by, const char *in, const char *with)
{
    char when[32] = "at an unknown time";
    std::time_t now = std::time(nullptr);
    std::tm utc;
    if (gmtime_r(&now, &utc) != nullptr)
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S UTC", &utc);
    char header[256];
    std::snprintf(header, sizeof header,
                  "recorded %s by %s: the game (runtime %s) in %s (krv_fullscreen = %u, krv_showfps = %u) with %s", when,
                  by, runtime_version, in, unsigned{fullscreen}, unsigned{show_fps}, with);
    start_script(writer, out, header);
}

void start_script(ScriptWriter &writer, std::FILE *out, const char *header)
{
    writer = ScriptWriter{};
    writer.out = out;
    write_script_comment(writer, header);
}

bool write_script_tick(ScriptWriter &writer, uint16_t keys)
{
    writer.ticks++;
    if (keys & SCRIPT_LATE)
        writer.late_ticks++;
    ScriptEntry &folding = writer.folding;
    if (folding.count > 0 && folding.keys == keys && folding.count < max_script_count) {
        folding.count++;
        return false;
    }
    bool wrote = folding.count > 0;
    if (wrote)
        write_entry(writer.out, folding);
    folding = ScriptEntry{keys, 1};
    return wrote;
}

void write_script_comment(ScriptWriter &writer, const char *text)
{
    finish_script(writer);
    std::fprintf(writer.out, "# %s\n", text);
}

void finish_script(ScriptWriter &writer)
{
    if (writer.folding.count > 0)
        write_entry(writer.out, writer.folding);
    writer.folding = ScriptEntry{0, 0};
}

void write_script_summary(ScriptWriter &writer, uint16_t last_keys)
{
    finish_script(writer);
    const char *ended_by = (last_keys & SCRIPT_CLOSE)    ? "the window's close event (Q)"
                           : (last_keys & SCRIPT_ESCAPE) ? "Escape (E)"
                                                         : "\"end\" on the title";
    char summary[160];
    std::snprintf(summary, sizeof summary, "%llu ticks (%.2f s), %llu of them late (~); ended by %s",
                  static_cast<unsigned long long>(writer.ticks), static_cast<double>(writer.ticks) / frame_rate,
                  static_cast<unsigned long long>(writer.late_ticks), ended_by);
    write_script_comment(writer, summary);
}
