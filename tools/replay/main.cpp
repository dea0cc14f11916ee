// main.cpp: vorpaline-replay, in three modes:
//   vorpaline-replay SCRIPT TRACE [--draws] [--bmp DIR [--every N]]   replay without a window or a clock
//   vorpaline-replay --record SCRIPT TRACE [--draws]                  play the game and record it
//   vorpaline-replay --watch SCRIPT                                   play a script back in a window
//
// Exit status: 0 after a complete replay, recording or watch (a watch stopped by the viewer included);
// 2 for a usage error, a malformed script or a file that can't be opened; 1 when start-up failed (the
// runtime's own message is printed first) or a file could not be written.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "real_window.h"
#include "replay.h"
#include "runtime/startup.h"

namespace {

// The tool's one run, with its target and draw log.
Replay the_replay;

int usage()
{
    std::fprintf(stderr, "usage: vorpaline-replay SCRIPT TRACE [--draws] [--bmp DIR [--every N]]\n"
                         "       vorpaline-replay --record SCRIPT TRACE [--draws]\n"
                         "       vorpaline-replay --watch SCRIPT\n"
                         "  TRACE is a file path, or - for standard output\n");
    return 2;
}

// Reads a file, or its first 'most' bytes.
bool read_file(const char *path, std::string &text, size_t most)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    text.clear();
    char chunk[1 << 16];
    while (text.size() < most && file.read(chunk, sizeof chunk).gcount() > 0)
        text.append(chunk, static_cast<size_t>(file.gcount()));
    if (text.size() > most)
        text.resize(most);
    return !file.bad();
}

// 0, or the exit status for a script that can't be read or parsed. A watched script is someone else's
// replay, held to the limits of one.
int read_script(const char *path, InputScript &script, bool watched = false)
{
    std::string text;
    if (!read_file(path, text, watched ? shared_replay_limits.max_bytes + 1 : std::string::npos)) {
        std::fprintf(stderr, "vorpaline-replay: can't read script %s\n", path);
        return 2;
    }
    ScriptError error;
    bool parsed = watched ? parse_bounded_script(text, shared_replay_limits, script, error)
                          : parse_input_script(text, script, error);
    if (!parsed) {
        std::fprintf(stderr, "vorpaline-replay: %s:%u: %s\n", path, error.line, error.message.c_str());
        return 2;
    }
    return 0;
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

// An output file of the tool ("-" is standard output for the trace), fully buffered in 'buffer'.
std::FILE *open_output(const char *path, bool dash_is_stdout, char *buffer, size_t size)
{
    if (dash_is_stdout && std::strcmp(path, "-") == 0)
        return stdout;
    std::FILE *file = std::fopen(path, "w");
    if (file != nullptr)
        std::setvbuf(file, buffer, _IOFBF, size);
    return file;
}

// Closes an output file; false when what was written did not all reach it.
bool close_output(std::FILE *file, const char *what, const char *path)
{
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    if (file != stdout && std::fclose(file) != 0)
        ok = false;
    if (!ok)
        std::fprintf(stderr, "vorpaline-replay: writing the %s %s failed\n", what, path);
    return ok;
}

char trace_buffer[1 << 16];
char script_buffer[1 << 12];

int replay_main(int argc, char *argv[])
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

    InputScript script;
    if (int status = read_script(script_path, script); status != 0)
        return status;
    std::FILE *trace = open_output(trace_path, true, trace_buffer, sizeof trace_buffer);
    if (trace == nullptr) {
        std::fprintf(stderr, "vorpaline-replay: can't write trace %s\n", trace_path);
        return 2;
    }

    select_headless_drivers();
    if (runtime_init() != 0) {
        runtime_shutdown();
        return 1;
    }
    options.trace = trace;
    run_replay(the_replay, script, options);
    runtime_shutdown();
    return close_output(trace, "trace", trace_path) ? 0 : 1;
}

// The game as it starts by itself: its own settings and SDL's usual choice of video driver.
int record_main(int argc, char *argv[])
{
    if (argc < 4 || argc > 5 || (argc == 5 && std::strcmp(argv[4], "--draws") != 0))
        return usage();
    const char *script_path = argv[2];
    const char *trace_path = argv[3];
    ReplayOptions options;
    options.draws = argc == 5;

    std::FILE *script = open_output(script_path, false, script_buffer, sizeof script_buffer);
    if (script == nullptr) {
        std::fprintf(stderr, "vorpaline-replay: can't write script %s\n", script_path);
        return 2;
    }
    options.trace = open_output(trace_path, true, trace_buffer, sizeof trace_buffer);
    if (options.trace == nullptr) {
        std::fprintf(stderr, "vorpaline-replay: can't write trace %s\n", trace_path);
        return 2;
    }

    if (runtime_init() != 0) {
        runtime_shutdown();
        return 1;
    }
    run_recording(the_replay, script, options);
    runtime_shutdown();
    bool ok = close_output(script, "script", script_path);
    return close_output(options.trace, "trace", trace_path) && ok ? 0 : 1;
}

int watch_main(int argc, char *argv[])
{
    if (argc != 3)
        return usage();
    InputScript script;
    if (int status = read_script(argv[2], script, true); status != 0)
        return status;
    if (runtime_init() != 0) {
        runtime_shutdown();
        return 1;
    }
    run_watch(the_replay, script);
    runtime_shutdown();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    bool record = argc > 1 && std::strcmp(argv[1], "--record") == 0;
    bool watch = argc > 1 && std::strcmp(argv[1], "--watch") == 0;
#ifdef __EMSCRIPTEN__
    // Under node there is no window and no keyboard to record or watch with.
    if (record || watch) {
        std::fprintf(stderr, "vorpaline-replay: --record and --watch need the desktop build\n");
        return 2;
    }
#endif
    if (record)
        return record_main(argc, argv);
    if (watch)
        return watch_main(argc, argv);
    return replay_main(argc, argv);
}
