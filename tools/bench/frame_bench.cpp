// frame_bench.cpp: one drawn frame in the full pool, as run_tick draws it, and its parts.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include "full_pool.h"
#include "runtime/back_buffer.h"
#include "runtime/frame_clock.h"
#include "runtime/platform_sdl.h"
#include "runtime/startup.h"
#include "scenes/run.h"

namespace {

Run run;
DrawTarget screen = back_buffer_target();

void build()
{
    build_full_pool(run, false, 0);
    run.target = &screen;
}

void clear_and_draw()
{
    fill_rect(screen, 0, 0, screen_width, screen_height, 0);
    game_draw(run);
    fps_draw(screen, run.frame_clock);
}

// Drawing changes nothing that the next frame depends on in the stage phase, so the state is built
// once and every iteration draws the same picture.
void BM_Frame_FullPool(benchmark::State &state)
{
    build();
    for (auto _ : state) {
        clear_and_draw();
        present_frame(screen);
    }
    state.counters["actors"] = active_actor_count(run);
}

void BM_Frame_DrawOnly(benchmark::State &state)
{
    build();
    for (auto _ : state)
        clear_and_draw();
}

void BM_Frame_PresentOnly(benchmark::State &state)
{
    build();
    clear_and_draw();
    for (auto _ : state)
        present_frame(screen);
}

// present_frame's second half alone: SDL_Flip, which hands the screen surface to SDL's renderer.
void BM_Frame_FlipOnly(benchmark::State &state)
{
    build();
    clear_and_draw();
    present_frame(screen);
    for (auto _ : state)
        SDL_Flip(screen_surface);
}

} // namespace

BENCHMARK(BM_Frame_FullPool)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Frame_DrawOnly)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Frame_PresentOnly)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Frame_FlipOnly)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
