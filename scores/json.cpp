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

// An object written key by key, in the order given.
class Object {
  public:
    Object &add(const char *key, const std::string &json)
    {
        text_ += text_.empty() ? "{\"" : ",\"";
        text_ += key;
        text_ += "\":";
        text_ += json;
        return *this;
    }
    Object &add(const char *key, int64_t number) { return add(key, std::to_string(number)); }
    Object &add(const char *key, bool value) { return add(key, std::string(value ? "true" : "false")); }
    std::string close() { return text_ + "}"; }

  private:
    std::string text_;
};

} // namespace

std::string submission_json(const StoredRun &run)
{
    return Object()
        .add("id", run.id)
        .add("name", json_string(run.name))
        .add("score", int64_t{run.score})
        .add("mode", json_string(mode_name(run.hard)))
        .add("cleared", run.cleared)
        .add("ticks", int64_t{run.ticks})
        .add("rank", run.rank)
        .close();
}

std::string run_json(const StoredRun &run)
{
    return Object()
        .add("rank", run.rank)
        .add("id", run.id)
        .add("name", json_string(run.name))
        .add("score", int64_t{run.score})
        .add("mode", json_string(mode_name(run.hard)))
        .add("cleared", run.cleared)
        .add("ticks", int64_t{run.ticks})
        .add("date", json_string(run.date))
        .close();
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
