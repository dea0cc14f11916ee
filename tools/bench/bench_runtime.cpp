// bench_runtime.cpp: the quiet start-up shared by the benchmark program and its start-up child.
#include "bench_runtime.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "runtime/back_buffer.h"
#include "runtime/main_loop.h"
#include "runtime/platform.h"
#include "runtime/startup.h"
#include "scenes/run.h"

#ifndef VORPALINE_DATA_DIR
#define VORPALINE_DATA_DIR "data"
#endif

namespace {

// The run that start-up prepares, as the game's own would be.
Run first_run;
DrawTarget screen;

double microseconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

void prepare_bench_environment()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (access("kvs.ini", R_OK) != 0 && chdir(VORPALINE_DATA_DIR) != 0)
        std::fprintf(stderr, "vorpaline-bench: no kvs.ini here and no %s\n", VORPALINE_DATA_DIR);
}

bool bring_up_runtime(double &init_us, double &first_tick_us)
{
    std::fflush(stdout);
    int saved_stdout = dup(STDOUT_FILENO);
    int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    close(null_fd);

    auto start = std::chrono::steady_clock::now();
    bool ok = runtime_init() == 0;
    init_us = microseconds_since(start);
    if (ok) {
        screen = back_buffer_target();
        start_run(first_run, screen, clock_ms());
    }
    first_tick_us = microseconds_since(start);

    std::fflush(stdout);
    dup2(saved_stdout, STDOUT_FILENO);
    close(saved_stdout);
    return ok;
}
