// stage_script.cpp: the stage's timetable. Within a tick the spawns run top to bottom, each taking
// the lowest free slot at that moment.
#include "scenes/stage_script.h"

#include "actors/actor.h"
#include "actors/spawner.h"
#include "scenes/run.h"

namespace {

struct StageSpawn {
    uint16_t tick;
    int16_t x, y;
    uint8_t kind;
};

// clang-format off
//  tick  x    y   kind
constexpr StageSpawn stage_spawns[] = {
    {30,   210, -8, KIND_FIGHTER},
    {60,   210, -8, KIND_FIGHTER},
    {90,   210, -8, KIND_FIGHTER},
    {120,  210, -8, KIND_FIGHTER},
    {150,  210, -8, KIND_FIGHTER},
    {210,  424, -8, KIND_FIGHTER},
    {240,  424, -8, KIND_FIGHTER},
    {270,  424, -8, KIND_FIGHTER},
    {300,  424, -8, KIND_FIGHTER},
    {330,  424, -8, KIND_FIGHTER},
    {400,  215, 8,  KIND_HUNTER},
    {430,  404, 0,  KIND_HUNTER},
    {460,  265, 0,  KIND_HUNTER},
    {490,  354, 8,  KIND_HUNTER},
    {550,  200, 0,  KIND_FIGHTER}, // a row of nine across the top edge
    {550,  225, 0,  KIND_FIGHTER},
    {550,  251, 0,  KIND_FIGHTER},
    {550,  276, 0,  KIND_FIGHTER},
    {550,  302, 0,  KIND_FIGHTER},
    {550,  327, 0,  KIND_FIGHTER},
    {550,  353, 0,  KIND_FIGHTER},
    {550,  378, 0,  KIND_FIGHTER},
    {550,  404, 0,  KIND_FIGHTER},
    {650,  200, 0,  KIND_FIGHTER}, // and another
    {650,  225, 0,  KIND_FIGHTER},
    {650,  251, 0,  KIND_FIGHTER},
    {650,  276, 0,  KIND_FIGHTER},
    {650,  302, 0,  KIND_FIGHTER},
    {650,  327, 0,  KIND_FIGHTER},
    {650,  353, 0,  KIND_FIGHTER},
    {650,  378, 0,  KIND_FIGHTER},
    {650,  404, 0,  KIND_FIGHTER},
    {1200, 308, -8, KIND_BOSS},
};
// clang-format on

// A hard run adds a fighter every 20 ticks below 900, alternating sides by bit 4 of the tick.
constexpr uint32_t hard_stream_interval = 20;
constexpr uint32_t hard_stream_end = 900;

} // namespace

void run_stage_script(Run &run, uint32_t tick)
{
    if (run.hard_mode && tick % hard_stream_interval == 0 && tick < hard_stream_end)
        spawn_actor(run, (tick & 16) ? 326 : 280, -8, KIND_FIGHTER, 0);
    for (const StageSpawn &spawn : stage_spawns)
        if (spawn.tick == tick)
            spawn_actor(run, spawn.x, spawn.y, spawn.kind, 0);
}
