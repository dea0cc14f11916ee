// logic_bench.cpp: the game tick's logic in the full pool: the whole game_update and each of its passes.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>

#include "full_pool.h"
#include "scenes/collisions.h"
#include "scenes/run.h"

namespace {

using Clock = std::chrono::steady_clock;

// The built state, and the run each timed tick starts from a copy of.
Run full_pool, run;

double thread_cpu_seconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Times 'work' alone: the state is copied back before each run, outside the timed span.
template <typename Work> void time_from_full_pool(benchmark::State &state, bool hard, int firing, Work work)
{
    build_full_pool(full_pool, hard, firing);
    int actors = active_actor_count(full_pool), shots = active_shot_count(full_pool);
    double cpu_seconds = 0;
    for (auto _ : state) {
        run = full_pool;
        double cpu_start = thread_cpu_seconds();
        auto start = Clock::now();
        work();
        auto end = Clock::now();
        cpu_seconds += thread_cpu_seconds() - cpu_start;
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    // The same span by this thread's CPU clock: what the tick costs when the machine is shared.
    state.counters["cpu_us"] = cpu_seconds / static_cast<double>(state.iterations()) * 1e6;
    state.counters["actors"] = actors;
    state.counters["shots"] = shots;
    // What one tick left behind: still full (explosions take the slots of the destroyed), shots spent.
    state.counters["actors_after"] = active_actor_count(run);
    state.counters["shots_after"] = active_shot_count(run);
}

void BM_LogicTick_FullPool(benchmark::State &state)
{
    time_from_full_pool(state, false, 0, [] { game_update(run); });
}

// The most a run can bring about at once: a hard run's row of nine fighters (stage tick 550 or 650)
// firing their fans of five together, 45 spawns into the full pool, each scanning all 1000 slots.
void BM_LogicTick_FullPoolHardRowFires(benchmark::State &state)
{
    time_from_full_pool(state, true, 9, [] { game_update(run); });
}

// Beyond what the stage script can bring about: all 167 fighters fire a fan into the full pool.
void BM_LogicTick_FullPoolAllFightersFire(benchmark::State &state)
{
    time_from_full_pool(state, false, full_pool_fighters, [] { game_update(run); });
}

void BM_Pass_UpdateActors(benchmark::State &state)
{
    time_from_full_pool(state, false, 0, [] { update_actors(run); });
}

void BM_Pass_CollideShip(benchmark::State &state)
{
    time_from_full_pool(state, false, 0, [] { collide_ship(run); });
}

void BM_Pass_CollideShots(benchmark::State &state)
{
    time_from_full_pool(state, false, 0, [] { collide_shots(run); });
}

void BM_Pass_CullActors(benchmark::State &state)
{
    time_from_full_pool(state, false, 0, [] { cull_actors(run); });
}

} // namespace

BENCHMARK(BM_LogicTick_FullPool)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LogicTick_FullPoolHardRowFires)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LogicTick_FullPoolAllFightersFire)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pass_UpdateActors)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pass_CollideShip)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pass_CollideShots)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pass_CullActors)->UseManualTime()->Unit(benchmark::kMicrosecond);
