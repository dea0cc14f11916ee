// session.cpp: a session's runs, read from the scene and the phase after every tick.
#include "scenes/session.h"

#include "scenes/run.h"

void follow_tick(SessionLog &log, const Run &run, uint32_t tick)
{
    bool in_run = !title_is_current(run);
    if (!log.in_run && in_run) {
        log.run_start = tick;
    } else if (log.in_run && !in_run && run.quit_requested == 0) {
        // The game's transition back to the title follows its phase 'over': reached from the ending
        // (cleared) or from the countdown or the stage (the last ship lost).
        FinishedRun finished = {run.score, run.hard_mode, static_cast<uint8_t>(log.phase == PHASE_ENDING ? 1 : 0),
                                log.run_start, tick - log.run_start};
        if (log.finished_runs == 0 || finished.score > log.best.score)
            log.best = finished;
        log.last = finished;
        log.finished_runs++;
    }
    log.in_run = in_run ? 1 : 0;
    log.phase = run.game_phase;
}
