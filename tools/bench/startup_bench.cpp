// startup_bench.cpp: start-up to the first tick, in a fresh child process each time (SDL is brought up
// only once per process). The child is this program run with --startup-child.
#include "startup_bench.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "bench_runtime.h"
#include "runtime/startup.h"

extern char **environ;

namespace {

struct ChildReport {
    double init_us;       // runtime_init alone, inside the child
    double first_tick_us; // runtime_init and the loop set-up, inside the child
};

// Runs one child; 'ready_us' is from the spawn to the child's report (exec, loading the libraries,
// start-up). Returns false when the child could not be run or failed.
bool run_child(ChildReport &report, double &ready_us)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // The read end is closed first: it may itself be the report descriptor's number.
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], startup_report_fd);
    char self[] = "/proc/self/exe";
    char flag[] = "--startup-child";
    char *argv[] = {self, flag, nullptr};

    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    bool ok = spawned == 0 && read(fds[0], &report, sizeof report) == static_cast<ssize_t>(sizeof report);
    ready_us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    close(fds[0]);
    int status = 0;
    if (spawned == 0)
        waitpid(pid, &status, 0);
    return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Startup_ChildProcess(benchmark::State &state)
{
    double init_total = 0, first_tick_total = 0;
    for (auto _ : state) {
        ChildReport report{};
        double ready_us = 0;
        if (!run_child(report, ready_us)) {
            state.SkipWithError("the start-up child failed");
            return;
        }
        state.SetIterationTime(ready_us / 1e6);
        init_total += report.init_us;
        first_tick_total += report.first_tick_us;
    }
    double n = static_cast<double>(state.iterations());
    state.counters["init_ms"] = init_total / n / 1000;
    state.counters["first_tick_ms"] = first_tick_total / n / 1000;
}

} // namespace

int run_startup_child()
{
    prepare_bench_environment();
    ChildReport report{};
    if (!bring_up_runtime(report.init_us, report.first_tick_us))
        return 1;
    if (write(startup_report_fd, &report, sizeof report) != static_cast<ssize_t>(sizeof report))
        return 1;
    runtime_shutdown();
    return 0;
}

BENCHMARK(BM_Startup_ChildProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
