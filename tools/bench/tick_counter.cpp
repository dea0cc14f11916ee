// tick_counter.cpp: preloaded into the real game (LD_PRELOAD) to measure it from outside its code. A
// tick is an SDL_PollEvent call that finds the queue empty (the game drains the queue once per tick);
// a drawn frame is an SDL_Flip call. After a warm-up it counts both over a window, reads the
// process's CPU time from /proc/self/stat at both ends, prints the figures, and then hands the game a
// quit event so that it ends normally. It also splits the main thread's time: inside SDL_Flip (wall
// and CPU), asleep in SDL_Delay, and the busy wait (from the end of a present to the next tick's poll,
// less the sleep).
//
// Environment: VORPALINE_WARMUP_S (default 2), VORPALINE_MEASURE_S (default 10),
// VORPALINE_COUNT_OUT (a file for the report; default standard error).
#include <SDL.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using PollFunction = int (*)(SDL_Event *);
using FlipFunction = int (*)(SDL_Surface *);
using DelayFunction = void (*)(Uint32);

constexpr int max_seconds = 64;

enum Phase { warming_up, measuring, quit_pending, finished };

struct Counts {
    Phase phase = warming_up;
    double first_tick = -1, window_start = 0, last_tick = 0, max_gap = 0;
    long ticks = 0, frames = 0;
    long ticks_by_second[max_seconds] = {};
    long frames_by_second[max_seconds] = {};
    long start_clock_ticks = 0;
    double start_rusage = 0, start_thread_cpu = 0;
    double flip_wall = 0, flip_cpu = 0, delay_wall = 0, wait_wall = 0;
    double last_flip_end = -1; // the end of the last present, until the next tick's poll
};
Counts counts;

double now_seconds()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double env_seconds(const char *name, double fallback)
{
    const char *text = std::getenv(name);
    double value = text != nullptr ? std::atof(text) : 0;
    return value > 0 ? value : fallback;
}

// utime + stime of the whole process in clock ticks, fields 14 and 15 of /proc/self/stat.
long stat_clock_ticks()
{
    std::FILE *file = std::fopen("/proc/self/stat", "r");
    if (file == nullptr)
        return -1;
    char line[1024] = {};
    size_t n = std::fread(line, 1, sizeof line - 1, file);
    std::fclose(file);
    line[n] = '\0';
    const char *p = std::strrchr(line, ')'); // the command name may hold blanks
    if (p == nullptr)
        return -1;
    long utime = 0, stime = 0;
    // After ')': state (field 3) and fields 4 to 13, then utime and stime.
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &utime, &stime) != 2)
        return -1;
    return utime + stime;
}

double thread_cpu_seconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double rusage_seconds()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void report(double end)
{
    double elapsed = end - counts.window_start;
    double clk = static_cast<double>(sysconf(_SC_CLK_TCK));
    double stat_cpu = static_cast<double>(stat_clock_ticks() - counts.start_clock_ticks) / clk;
    double rusage_cpu = rusage_seconds() - counts.start_rusage;
    std::FILE *out = stderr;
    const char *path = std::getenv("VORPALINE_COUNT_OUT");
    if (path != nullptr)
        out = std::fopen(path, "w");
    if (out == nullptr)
        return;
    std::fprintf(out, "window_s %.3f\nticks %ld\nframes %ld\n", elapsed, counts.ticks, counts.frames);
    std::fprintf(out, "ticks_per_s %.3f\nframes_per_s %.3f\n", counts.ticks / elapsed, counts.frames / elapsed);
    std::fprintf(out, "max_tick_gap_ms %.3f\n", counts.max_gap * 1000);
    std::fprintf(out, "cpu_stat_s %.3f\ncpu_stat_percent %.2f\n", stat_cpu, 100 * stat_cpu / elapsed);
    std::fprintf(out, "cpu_rusage_s %.4f\ncpu_rusage_percent %.2f\n", rusage_cpu, 100 * rusage_cpu / elapsed);
    double thread_cpu = thread_cpu_seconds() - counts.start_thread_cpu;
    auto percent = [elapsed](double seconds) { return 100 * seconds / elapsed; };
    std::fprintf(out, "main_thread_cpu_percent %.2f\n", percent(thread_cpu));
    std::fprintf(out, "other_threads_cpu_percent %.2f\n", percent(rusage_cpu - thread_cpu));
    std::fprintf(out, "flip_wall_ms %.3f\nflip_cpu_ms %.3f\n", 1000 * counts.flip_wall / counts.frames,
                 1000 * counts.flip_cpu / counts.frames);
    std::fprintf(out, "flip_cpu_percent %.2f\n", percent(counts.flip_cpu));
    std::fprintf(out, "sleep_percent %.2f\n", percent(counts.delay_wall));
    std::fprintf(out, "busy_wait_percent %.2f\n", percent(counts.wait_wall - counts.delay_wall));
    std::fprintf(out, "ticks_by_second");
    int seconds = static_cast<int>(elapsed);
    for (int s = 0; s < seconds && s < max_seconds; s++)
        std::fprintf(out, " %ld", counts.ticks_by_second[s]);
    std::fprintf(out, "\nframes_by_second");
    for (int s = 0; s < seconds && s < max_seconds; s++)
        std::fprintf(out, " %ld", counts.frames_by_second[s]);
    std::fprintf(out, "\n");
    if (out != stderr)
        std::fclose(out);
}

void on_tick()
{
    double t = now_seconds();
    if (counts.first_tick < 0)
        counts.first_tick = t;
    if (counts.phase == warming_up) {
        if (t - counts.first_tick >= env_seconds("VORPALINE_WARMUP_S", 2)) {
            counts.phase = measuring;
            counts.window_start = t;
            counts.last_tick = t;
            counts.start_clock_ticks = stat_clock_ticks();
            counts.start_rusage = rusage_seconds();
            counts.start_thread_cpu = thread_cpu_seconds();
        }
        return;
    }
    if (counts.phase != measuring)
        return;
    if (counts.last_flip_end >= 0)
        counts.wait_wall += t - counts.last_flip_end;
    counts.last_flip_end = -1;
    double gap = t - counts.last_tick;
    counts.max_gap = gap > counts.max_gap ? gap : counts.max_gap;
    counts.last_tick = t;
    counts.ticks++;
    int second = static_cast<int>(t - counts.window_start);
    if (second < max_seconds)
        counts.ticks_by_second[second]++;
    if (t - counts.window_start >= env_seconds("VORPALINE_MEASURE_S", 10)) {
        report(t);
        counts.phase = quit_pending;
    }
}

} // namespace

extern "C" int SDL_PollEvent(SDL_Event *event)
{
    static auto real = reinterpret_cast<PollFunction>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
    if (counts.phase == quit_pending && event != nullptr) {
        counts.phase = finished;
        std::memset(event, 0, sizeof *event);
        event->type = SDL_QUIT;
        return 1;
    }
    int result = real(event);
    if (result == 0)
        on_tick();
    return result;
}

extern "C" int SDL_Flip(SDL_Surface *screen)
{
    static auto real = reinterpret_cast<FlipFunction>(dlsym(RTLD_NEXT, "SDL_Flip"));
    if (counts.phase != measuring)
        return real(screen);
    double start = now_seconds(), cpu_start = thread_cpu_seconds();
    counts.frames++;
    int second = static_cast<int>(start - counts.window_start);
    if (second < max_seconds)
        counts.frames_by_second[second]++;
    int result = real(screen);
    double end = now_seconds();
    counts.flip_cpu += thread_cpu_seconds() - cpu_start;
    counts.flip_wall += end - start;
    counts.last_flip_end = end;
    return result;
}

extern "C" void SDL_Delay(Uint32 ms)
{
    static auto real = reinterpret_cast<DelayFunction>(dlsym(RTLD_NEXT, "SDL_Delay"));
    double start = now_seconds();
    real(ms);
    if (counts.phase == measuring)
        counts.delay_wall += now_seconds() - start;
}
