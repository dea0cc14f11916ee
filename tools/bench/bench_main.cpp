// bench_main.cpp: vorpaline-bench, the performance figures. Brings the runtime up once (timed with a
// plain clock), then runs the Google Benchmark suites; --startup-child is the start-up benchmark's child.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "bench_runtime.h"
#include "runtime/startup.h"
#include "startup_bench.h"

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--startup-child") == 0)
        return run_startup_child();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    prepare_bench_environment();
    double init_us = 0, first_tick_us = 0;
    if (!bring_up_runtime(init_us, first_tick_us)) {
        std::fprintf(stderr, "vorpaline-bench: start-up failed; run it from the data folder\n");
        return 1;
    }
    std::printf("start-up in this process: runtime_init %.2f ms, to the first tick %.2f ms\n", init_us / 1000,
                first_tick_us / 1000);
    std::fflush(stdout);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    runtime_shutdown();
    return 0;
}
