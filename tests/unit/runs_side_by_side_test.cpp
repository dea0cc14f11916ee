// runs_side_by_side_test.cpp: runs in one process never meet. Two checked-in replays played
// interleaved tick by tick, and two played at once on two threads, each give their own golden trace,
// draws included. They draw into targets that only count, so no window is needed either.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "replay.h"

namespace {

std::string read_text(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The golden trace of a replay, unpacked when it is kept packed.
std::string golden_trace(const std::string &name)
{
    std::string base = std::string(VORPALINE_SOURCE_DIR) + "/tests/replays/" + name;
    std::ifstream plain(base + ".trace");
    if (plain)
        return read_text(base + ".trace");
    std::string text;
    std::FILE *unpack = popen(("gzip -dc '" + base + ".trace.gz'").c_str(), "r");
    if (unpack == nullptr)
        return text;
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, unpack)) > 0)
        text.append(chunk, n);
    pclose(unpack);
    return text;
}

// One checked-in replay played a tick at a time, its trace written into memory.
struct TracedReplay {
    std::string name;
    Replay replay;
    InputScript script;
    ReplayOptions options;
    char *trace_text = nullptr;
    size_t trace_size = 0;
    size_t entry = 0;
    uint32_t repeated = 0;

    explicit TracedReplay(const std::string &script_name) : name(script_name)
    {
        std::string text = read_text(std::string(VORPALINE_SOURCE_DIR) + "/tests/replays/" + name + ".script");
        ScriptError error;
        EXPECT_TRUE(parse_input_script(text, script, error)) << name << " line " << error.line;
        options.trace = open_memstream(&trace_text, &trace_size);
        options.draws = text.find("# options: --draws") != std::string::npos;
        start_replay(replay, counting_target(), 0, options);
    }

    ~TracedReplay()
    {
        if (options.trace != nullptr)
            std::fclose(options.trace);
        std::free(trace_text);
    }

    // Plays the next tick; false when the replay has ended, as vorpaline-replay ends it.
    bool step()
    {
        while (entry < script.entries.size() && repeated == script.entries[entry].count) {
            entry++;
            repeated = 0;
        }
        if (entry == script.entries.size() || replay.run.quit_requested != 0)
            return false;
        run_script_tick(replay, script.entries[entry].keys, options);
        repeated++;
        return true;
    }

    std::string trace()
    {
        finish_replay(replay);
        std::fflush(options.trace);
        return std::string(trace_text, trace_size);
    }
};

TEST(RunsSideBySide, InterleavedTickByTickEachGiveTheirOwnTrace)
{
    auto normal = std::make_unique<TracedReplay>("full_normal_run");
    auto hard = std::make_unique<TracedReplay>("full_hard_run");
    auto menu = std::make_unique<TracedReplay>("title_menu");
    bool going = true;
    while (going) {
        going = false;
        for (TracedReplay *replay : {normal.get(), hard.get(), menu.get()})
            going = replay->step() || going;
    }
    for (TracedReplay *replay : {normal.get(), hard.get(), menu.get()})
        EXPECT_TRUE(replay->trace() == golden_trace(replay->name)) << replay->name << " differs from its golden trace";
}

TEST(RunsSideBySide, OnTwoThreadsEachGiveTheirOwnTrace)
{
    auto normal = std::make_unique<TracedReplay>("full_normal_run");
    auto hard = std::make_unique<TracedReplay>("full_hard_run");
    auto play_out = [](TracedReplay *replay) {
        while (replay->step()) {
        }
    };
    std::thread first(play_out, normal.get());
    std::thread second(play_out, hard.get());
    first.join();
    second.join();
    EXPECT_TRUE(normal->trace() == golden_trace("full_normal_run"));
    EXPECT_TRUE(hard->trace() == golden_trace("full_hard_run"));
}

} // namespace
