// replay_bench.cpp: whole runs through the replay library, from the title into run after run, drawn and
// undrawn, with the trace off and on, in ticks per second (items_per_second, by CPU time).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "input_script.h"
#include "play_script.h"
#include "replay.h"

namespace {

constexpr uint32_t default_ticks = 20000;

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
        ticks += run_replay(script, options);
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

} // namespace

BENCHMARK(BM_Replay)->Apply(replay_arguments)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
