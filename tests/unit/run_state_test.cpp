// run_state_test.cpp: the run's state saved and restored as a whole. Every stretch of a whole run and
// of a run lost to wrecks, played twice from the moment saved before it, gives the same trace, draws
// included; a global left out of the saved list makes some second pass go otherwise.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "actors/angle_math.h"
#include "input_script.h"
#include "replay.h"
#include "runtime/main_loop.h"
#include "scene_state_guard.h"
#include "scenes/run_state.h"
#include "sdl_screen.h"
#include "trace.h"

namespace {

class RunStateTest : public SdlScreenTest {
  protected:
    void SetUp() override
    {
        SdlScreenTest::SetUp();
        build_trig_tables();
        record_draws(&log);
    }

    void TearDown() override
    {
        record_draws(nullptr);
        SdlScreenTest::TearDown();
    }

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
        prepare_loop();
    }

    // Plays the script's ticks [from, to) and returns their trace lines.
    std::string play(uint32_t from, uint32_t to)
    {
        char *text = nullptr;
        size_t size = 0;
        std::FILE *trace = open_memstream(&text, &size);
        for (uint32_t n = from; n < to; n++) {
            apply_script_keys(keys[n]);
            late = (keys[n] & SCRIPT_LATE) != 0;
            clear_draw_log(log);
            uint8_t drawn = run_tick(driver);
            write_trace_line(trace, frame_clock.ticks - 1, drawn, &log);
        }
        std::fclose(trace);
        std::string lines(text, size);
        std::free(text);
        return lines;
    }

    static inline bool late = false;
    static bool script_late() { return late; }
    static void no_wait() {}
    static constexpr TickDriver driver = {read_script_keys, script_late, no_wait};

    std::vector<uint16_t> keys;
    static inline DrawLog log;
    static inline RunState saved;
    SceneStateGuard guard;
};

TEST_F(RunStateTest, EveryStretchPlayedAgainFromItsSavedMomentGivesTheSameTrace)
{
    constexpr uint32_t stretch = 199; // odd: the scripts press button 1 every second tick
    for (const char *name : {"full_normal_run.script", "game_over.script"}) {
        load_script(name);
        ASSERT_GT(keys.size(), 5 * stretch);
        for (uint32_t from = 0; from + stretch <= keys.size() && quit_requested == 0; from += stretch) {
            save_run_state(saved);
            std::string first = play(from, from + stretch);
            restore_run_state(saved);
            ASSERT_EQ(play(from, from + stretch), first) << name << ", ticks " << from << " on";
        }
    }
}

} // namespace
