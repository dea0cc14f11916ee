// game_scene.cpp: the run's phases and the order of everything within a tick and a frame.
#include "scenes/game_scene.h"

#include "actors/pool.h"
#include "scenes/collisions.h"
#include "scenes/hud.h"
#include "scenes/run.h"
#include "scenes/stage_script.h"

int game_init(Run &run)
{
    // The title starts a run on the press of button 1, so button 3 held with it makes a hard run.
    const InputState &input = input_of(run);
    run.hard_mode = (input.held_1 && input.held_3) ? 1 : 0;
    run.game_tick = 0;
    run.game_phase = PHASE_COUNTDOWN;
    run.player_ship = PlayerShip{312, 460, 16, 16, 5, 5, 5, 7};
    // Not seen in play: the run's first update_ship steers before anything is drawn, so only the state
    // after the tick in which the run starts holds it.
    run.ship_state = ship_start_state;
    run.invincible_ticks = 0;
    run.lives = run.hard_mode ? 2 : 3;
    run.score = 0;
    for (Actor &shot : run.player_shots)
        shot.active = 0;
    clear_actor_pool(run);
    run.playfield = Playfield{200, 0, 240, 480, 0, 0, 240, 480};
    return 0;
}

int game_update(Run &run)
{
    run.game_tick += 1;
    if (run.game_phase == PHASE_COUNTDOWN) {
        if (run.game_tick == countdown_ticks) {
            run.game_phase = PHASE_STAGE;
            run.game_tick = 0; // the script first runs in the next tick, at its tick 1
        }
    } else if (run.game_phase == PHASE_STAGE) {
        run_stage_script(run, run.game_tick);
    }
    // The ship, the shots, the actors and the passes run in every phase, countdown and ending too.
    update_ship(run);
    update_shots(run);
    update_actors(run);
    collide_ship(run);
    collide_shots(run);
    cull_actors(run);
    apply_hi_score_rule(run);
    return 0;
}

int game_draw(Run &run)
{
    draw_ship(run);
    draw_shots(run);
    draw_actors(run);
    draw_hud(run); // last: its side panels cover whatever was drawn outside the playfield
    return 0;
}

uint8_t game_transition(Run &run) { return run.game_phase == PHASE_OVER ? TRANSITION_TITLE : TRANSITION_STAY; }

void update_actors(Run &run)
{
    // Index order, 'active' tested on arrival: a spawn into a higher slot moves in this same pass, a
    // spawn into a lower slot first moves in the next tick.
    for (Actor &actor : run.actor_pool)
        if (actor.active)
            actor.on_update(run, pool_index(run, actor));
}

void draw_actors(Run &run)
{
    for (Actor &actor : run.actor_pool)
        if (actor.active)
            actor.on_draw(run, pool_index(run, actor));
}
