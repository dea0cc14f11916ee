// run_state_test.cpp: a run saved and restored as a copy of its value. Every stretch of a whole run and
// of a run lost to wrecks, played twice from the moment saved before it, gives the same trace, draws
// included; state kept anywhere but in the run would make some second pass go otherwise.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "replay.h"
#include "runtime/input_script.h"
#include "runtime/main_loop.h"
#include "scenes/run.h"
#include "trace.h"

namespace {

class RunStateTest : public testing::Test {
  protected:
    void TearDown() override { finish_replay(replay); }

    void load_script(const char *name)
    {
        keys.clear();
        std::ifstream file(std::string(VORPALINE_SOURCE_DIR) + "/tests/replays/" + name);
        std::stringstream text;
        text << file.rdbuf();
        InputScript script;
        ScriptError error;
        ASSERT_TRUE(parse_input_script(text.str(), script, error)) << error.message;
        for (const ScriptEntry &entry : script.entries)
            keys.insert(keys.end(), entry.count, entry.keys);
        finish_replay(replay);
        replay.run = ::Run{};
        start_replay(replay, counting_target(), 0, options);
    }

    // Plays the script's ticks [from, to) and returns their trace lines.
    std::string play(uint32_t from, uint32_t to)
    {
        char *text = nullptr;
        size_t size = 0;
        options.trace = open_memstream(&text, &size);
        for (uint32_t n = from; n < to; n++)
            run_script_tick(replay, keys[n], options);
        std::fclose(options.trace);
        options.trace = nullptr;
        std::string lines(text, size);
        std::free(text);
        return lines;
    }

    std::vector<uint16_t> keys;
    ReplayOptions options = {.draws = true};
    Replay replay;
};

TEST_F(RunStateTest, EveryStretchPlayedAgainFromItsSavedMomentGivesTheSameTrace)
{
    constexpr uint32_t stretch = 199; // odd: the scripts press button 1 every second tick
    for (const char *name : {"full_normal_run.script", "game_over.script"}) {
        load_script(name);
        ASSERT_GT(keys.size(), 5 * stretch);
        for (uint32_t from = 0; from + stretch <= keys.size() && replay.run.quit_requested == 0; from += stretch) {
            ::Run saved = replay.run;
            std::string first = play(from, from + stretch);
            ASSERT_NE(first, "");
            replay.run = saved;
            ASSERT_EQ(play(from, from + stretch), first) << name << ", ticks " << from << " on";
        }
    }
}

} // namespace
