// replay_bench.cpp: whole runs through the replay library, from the title into run after run, drawn and
// undrawn, with the trace off and on, in ticks per second (items_per_second, by CPU time); and the
// drawn run beside the library's floor, a loop that only polls, blits the back buffer and flips.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "play_script.h"
#include "replay.h"
#include "runtime/back_buffer.h"
#include "runtime/platform.h"
#include "runtime/program.h"

namespace {

constexpr uint32_t default_ticks = 20000;

Replay replay;

enum Trace : int { trace_off, trace_on, trace_with_draws };

uint32_t script_ticks()
{
    const char *text = std::getenv("VORPALINE_BENCH_TICKS");
    long value = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? static_cast<uint32_t>(value) : default_ticks;
}

std::FILE *null_trace()
{
    // Buffered as vorpaline-replay buffers its trace file.
    static std::FILE *file = nullptr;
    static char buffer[1 << 16];
    if (file == nullptr) {
        file = std::fopen("/dev/null", "w");
        if (file != nullptr)
            std::setvbuf(file, buffer, _IOFBF, sizeof buffer);
    }
    return file;
}

// state.range(0): 1 drawn, 0 every tick late; state.range(1): a Trace.
void BM_Replay(benchmark::State &state)
{
    bool drawn = state.range(0) != 0;
    auto trace = static_cast<Trace>(state.range(1));
    InputScript script;
    ScriptError error;
    if (!parse_input_script(play_script(script_ticks(), !drawn), script, error)) {
        state.SkipWithError(error.message.c_str());
        return;
    }
    ReplayOptions options;
    options.trace = trace == trace_off ? nullptr : null_trace();
    options.draws = trace == trace_with_draws;
    uint64_t ticks = 0;
    for (auto _ : state)
        ticks += run_replay(replay, script, options);
    state.SetItemsProcessed(static_cast<int64_t>(ticks));
}

void replay_arguments(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"drawn", "trace"});
    for (int drawn : {0, 1})
        for (int trace : {trace_off, trace_on})
            b->Args({drawn, trace});
    b->Args({1, trace_with_draws});
}

double process_cpu_seconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// What every drawn tick costs in the library alone, whatever the game does: the poll that starts it and
// the present that ends it.
void poll_and_present()
{
    KeySnapshot keys;
    read_player_keys(replay.run, keys);
    present_back_buffer();
    benchmark::DoNotOptimize(keys);
}

// The drawn whole run (trace off), each of its ticks followed by one turn of the floor's loop, so that
// both meet the same load on a shared machine: their rates by this process's CPU time, and the run's
// rate as a share of the floor's. The ticks are run_replay's, one at a time.
void BM_DrawnReplayAgainstLibraryFloor(benchmark::State &state)
{
    InputScript script;
    ScriptError error;
    if (!parse_input_script(play_script(script_ticks(), false), script, error)) {
        state.SkipWithError(error.message.c_str());
        return;
    }
    ReplayOptions options;
    uint64_t ticks = 0;
    double replay_seconds = 0, floor_seconds = 0;
    for (auto _ : state) {
        start_replay(replay, back_buffer_target(), 0, options);
        for (const ScriptEntry &entry : script.entries) {
            for (uint32_t n = 0; n < entry.count && replay.run.quit_requested == 0; n++) {
                double start = process_cpu_seconds();
                run_script_tick(replay, entry.keys, options);
                double middle = process_cpu_seconds();
                poll_and_present();
                replay_seconds += middle - start;
                floor_seconds += process_cpu_seconds() - middle;
                ticks++;
            }
        }
        finish_replay(replay);
    }
    double replay_rate = static_cast<double>(ticks) / replay_seconds;
    double floor_rate = static_cast<double>(ticks) / floor_seconds;
    state.counters["drawn_ticks_per_s"] = replay_rate;
    state.counters["floor_per_s"] = floor_rate;
    state.counters["ratio"] = replay_rate / floor_rate;
}

} // namespace

BENCHMARK(BM_Replay)->Apply(replay_arguments)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DrawnReplayAgainstLibraryFloor)->Iterations(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
