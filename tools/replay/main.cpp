// main.cpp: vorpaline-replay SCRIPT TRACE [--draws] [--bmp DIR [--every N]]
//
// Exit status: 0 after a complete replay; 2 for a usage error or a malformed script; 1 when start-up
// failed (the runtime's own message is printed first).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "replay.h"
#include "runtime/startup.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: vorpaline-replay SCRIPT TRACE [--draws] [--bmp DIR [--every N]]\n"
                         "  TRACE is a file path, or - for standard output\n");
    return 2;
}

bool read_file(const char *path, std::string &text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return !file.bad();
}

bool parse_every(const char *text, uint32_t &every)
{
    char *end = nullptr;
    errno = 0;
    unsigned long value = std::strtoul(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value == 0 || value > 0xFFFFFFFFul || text[0] == '-')
        return false;
    every = static_cast<uint32_t>(value);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        return usage();
    const char *script_path = argv[1];
    const char *trace_path = argv[2];
    ReplayOptions options;
    for (int i = 3; i < argc; i++) {
        if (std::strcmp(argv[i], "--draws") == 0) {
            options.draws = true;
        } else if (std::strcmp(argv[i], "--bmp") == 0 && i + 1 < argc) {
            options.bmp_dir = argv[++i];
        } else if (std::strcmp(argv[i], "--every") == 0 && i + 1 < argc && options.bmp_dir != nullptr) {
            if (!parse_every(argv[++i], options.bmp_every)) {
                std::fprintf(stderr, "vorpaline-replay: --every needs a number of 1 or more\n");
                return 2;
            }
        } else {
            return usage();
        }
    }

    std::string text;
    if (!read_file(script_path, text)) {
        std::fprintf(stderr, "vorpaline-replay: can't read script %s\n", script_path);
        return 2;
    }
    InputScript script;
    ScriptError error;
    if (!parse_input_script(text, script, error)) {
        std::fprintf(stderr, "vorpaline-replay: %s:%u: %s\n", script_path, error.line, error.message.c_str());
        return 2;
    }

    bool trace_to_stdout = std::strcmp(trace_path, "-") == 0;
    std::FILE *trace = trace_to_stdout ? stdout : std::fopen(trace_path, "w");
    if (trace == nullptr) {
        std::fprintf(stderr, "vorpaline-replay: can't write trace %s\n", trace_path);
        return 2;
    }
    static char trace_buffer[1 << 16];
    if (!trace_to_stdout)
        std::setvbuf(trace, trace_buffer, _IOFBF, sizeof trace_buffer);

    select_headless_drivers();
    if (runtime_init() != 0) {
        runtime_shutdown();
        return 1;
    }
    options.trace = trace;
    run_replay(script, options);
    runtime_shutdown();
    if (!trace_to_stdout && std::fclose(trace) != 0) {
        std::fprintf(stderr, "vorpaline-replay: writing the trace %s failed\n", trace_path);
        return 1;
    }
    return 0;
}
