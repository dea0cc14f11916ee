// tick_bench.cpp: vorpaline-tick-bench [TICKS]: the full-pool logic tick, timed the same way natively and
// in wasm under node, so that tools/bench/web_bench.sh can set the two side by side. Prints the
// median and the fastest tick in microseconds over TICKS ticks (default 2000), each from the saved state.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "full_pool.h"
#include "scenes/run.h"

namespace {

Run full_pool, run;

} // namespace

int main(int argc, char *argv[])
{
    int ticks = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (ticks < 1) {
        std::fprintf(stderr, "usage: vorpaline-tick-bench [TICKS]\n");
        return 2;
    }
    build_full_pool(full_pool, false, 0);
    std::vector<double> microseconds(static_cast<size_t>(ticks));
    for (double &time : microseconds) {
        run = full_pool;
        auto start = std::chrono::steady_clock::now();
        game_update(run);
        auto end = std::chrono::steady_clock::now();
        time = std::chrono::duration<double, std::micro>(end - start).count();
    }
    std::sort(microseconds.begin(), microseconds.end());
    std::printf("full-pool logic tick: median %.2f us, fastest %.2f us, %d actors, %d ticks\n",
                microseconds[microseconds.size() / 2], microseconds.front(), active_actor_count(full_pool), ticks);
    return 0;
}
