// stage_script.h: the fixed timetable of the stage's spawns.
#pragma once

#include <cstdint>

struct Run;

// Spawns what the script holds for this tick of the stage phase (ticks count from 1).
void run_stage_script(Run &run, uint32_t tick);
