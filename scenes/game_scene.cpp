// game_scene.cpp: the run's phases and the order of everything within a tick and a frame.
#include "scenes/game_scene.h"

#include "actors/pool.h"
#include "runtime/input.h"
#include "scenes/collisions.h"
#include "scenes/hud.h"
#include "scenes/scene_manager.h"
#include "scenes/ship.h"
#include "scenes/stage_script.h"

uint8_t game_phase = 0;
uint32_t game_tick = 0;
uint16_t score = 0;
uint8_t hard_mode = 0;
PlayerShip player_ship;
Playfield playfield;

int game_init()
{
    // The title starts a run on the press of button 1, so button 3 held with it makes a hard run.
    hard_mode = (input->held_1 && input->held_3) ? 1 : 0;
    game_tick = 0;
    game_phase = PHASE_COUNTDOWN;
    player_ship = PlayerShip{312, 460, 16, 16, 5, 5, 5, 7};
    // Not seen in play: the run's first update_ship steers before anything is drawn, so only the state
    // after the tick in which the run starts holds it.
    ship_state = ship_start_state;
    invincible_ticks = 0;
    lives = hard_mode ? 2 : 3;
    score = 0;
    for (Actor &shot : player_shots)
        shot.active = 0;
    clear_actor_pool();
    playfield = Playfield{200, 0, 240, 480, 0, 0, 240, 480};
    return 0;
}

int game_update()
{
    game_tick += 1;
    if (game_phase == PHASE_COUNTDOWN) {
        if (game_tick == countdown_ticks) {
            game_phase = PHASE_STAGE;
            game_tick = 0; // the script first runs in the next tick, at its tick 1
        }
    } else if (game_phase == PHASE_STAGE) {
        run_stage_script(game_tick);
    }
    // The ship, the shots, the actors and the passes run in every phase, countdown and ending too.
    update_ship();
    update_shots();
    update_actors();
    collide_ship();
    collide_shots();
    cull_actors();
    apply_hi_score_rule();
    return 0;
}

int game_draw()
{
    draw_ship();
    draw_shots();
    draw_actors();
    draw_hud(); // last: its side panels cover whatever was drawn outside the playfield
    return 0;
}

uint8_t game_transition() { return game_phase == PHASE_OVER ? TRANSITION_TITLE : TRANSITION_STAY; }

void update_actors()
{
    // Index order, 'active' tested on arrival: a spawn into a higher slot moves in this same pass, a
    // spawn into a lower slot first moves in the next tick.
    for (uint16_t i = 0; i < actor_pool_size; i++)
        if (actor_pool[i].active)
            actor_pool[i].on_update(i);
}

void draw_actors()
{
    for (uint16_t i = 0; i < actor_pool_size; i++)
        if (actor_pool[i].active)
            actor_pool[i].on_draw(i);
}
