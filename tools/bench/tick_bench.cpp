// tick_bench.cpp: vorpaline-tick-bench [TICKS [ROUNDS]]: the full-pool logic tick, timed the same way
// natively and in wasm under node, so that tools/bench/web_bench.sh can set the two side by side.
//
// The ticks run in rounds of TICKS (default 1000), each tick from the saved state. The first
// warm_up_rounds are not counted; then ROUNDS rounds (default 5) are. Each round is one call of a
// function that returns when the round is done, and in wasm each is called from the event loop: an
// engine that compiles in tiers, as V8 compiles wasm, swaps in its optimised code only at a call, never
// inside a function that is still running, so ticks timed inside one long-running 'main' would stay on
// the baseline code. Prints the median and the fastest counted tick in microseconds, then each
// round's median, warm-up included, which shows when the engine's optimised code took over.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include "full_pool.h"
#include "scenes/run.h"

namespace {

constexpr int warm_up_rounds = 3;

struct TickBench {
    Run full_pool, run;
    int ticks = 1000, rounds = 5, rounds_done = 0;
    std::vector<double> counted;       // microseconds, every counted tick
    std::vector<double> round_medians; // microseconds, every round
};

TickBench bench;

double median_of(std::vector<double> &times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// One round. Kept out of line so that it is a call of its own, and the tick in it too.
[[gnu::noinline]] void run_round(TickBench &b)
{
    std::vector<double> times(static_cast<size_t>(b.ticks));
    for (double &time : times) {
        b.run = b.full_pool;
        auto start = std::chrono::steady_clock::now();
        game_update(b.run);
        auto end = std::chrono::steady_clock::now();
        time = std::chrono::duration<double, std::micro>(end - start).count();
    }
    if (b.rounds_done++ >= warm_up_rounds)
        b.counted.insert(b.counted.end(), times.begin(), times.end());
    b.round_medians.push_back(median_of(times));
}

bool rounds_left(const TickBench &b) { return b.rounds_done < warm_up_rounds + b.rounds; }

void print_figures(TickBench &b)
{
    double median = median_of(b.counted); // sorts them
    std::printf("full-pool logic tick: median %.2f us, fastest %.2f us, %d actors, %d ticks in %d rounds after %d "
                "warm-up rounds\n",
                median, b.counted.front(), active_actor_count(b.full_pool), b.ticks * b.rounds, b.rounds,
                warm_up_rounds);
    std::printf("round medians (us):");
    for (size_t i = 0; i < b.round_medians.size(); i++)
        std::printf("%s %.2f", i == warm_up_rounds ? " |" : "", b.round_medians[i]);
    std::printf("\n");
}

#ifdef __EMSCRIPTEN__
// Each round from the event loop, the next one queued behind it.
void next_round(void *)
{
    run_round(bench);
    if (rounds_left(bench)) {
        emscripten_async_call(next_round, nullptr, 0);
        return;
    }
    print_figures(bench);
    std::exit(0);
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    bench.ticks = argc > 1 ? std::atoi(argv[1]) : bench.ticks;
    bench.rounds = argc > 2 ? std::atoi(argv[2]) : bench.rounds;
    if (bench.ticks < 1 || bench.rounds < 1) {
        std::fprintf(stderr, "usage: vorpaline-tick-bench [TICKS [ROUNDS]]\n");
        return 2;
    }
    build_full_pool(bench.full_pool, false, 0);
#ifdef __EMSCRIPTEN__
    emscripten_async_call(next_round, nullptr, 0);
    emscripten_exit_with_live_runtime();
#else
    while (rounds_left(bench))
        run_round(bench);
    print_figures(bench);
#endif
    return 0;
}
