// json.cpp: writes the server's JSON.
#include "json.h"

#include <cstdio>

std::string json_string(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c; // UTF-8 passes as it is
        }
    }
    out += '"';
    return out;
}

std::string error_json(std::string_view message) { return "{\"error\":" + json_string(message) + "}"; }

namespace {

std::string field(const char *key, const std::string &value) { return std::string("\"") + key + "\":" + value; }

std::string number(int64_t value) { return std::to_string(value); }

std::string boolean(bool value) { return value ? "true" : "false"; }

} // namespace

std::string submission_json(const StoredRun &run)
{
    return "{" + field("id", number(run.id)) + "," + field("name", json_string(run.name)) + "," +
           field("score", number(run.score)) + "," + field("mode", json_string(mode_name(run.hard))) + "," +
           field("cleared", boolean(run.cleared)) + "," + field("ticks", number(run.ticks)) + "," +
           field("rank", number(run.rank)) + "}";
}

std::string run_json(const StoredRun &run)
{
    return "{" + field("rank", number(run.rank)) + "," + field("id", number(run.id)) + "," +
           field("name", json_string(run.name)) + "," + field("score", number(run.score)) + "," +
           field("mode", json_string(mode_name(run.hard))) + "," + field("cleared", boolean(run.cleared)) + "," +
           field("ticks", number(run.ticks)) + "," + field("date", json_string(run.date)) + "}";
}

std::string runs_json(const std::vector<StoredRun> &runs)
{
    std::string out = "[";
    for (const StoredRun &run : runs) {
        if (out.size() > 1)
            out += ',';
        out += run_json(run);
    }
    out += ']';
    return out;
}
