// behaviours.h: each kind's spawn and handlers, which the table of kinds names. Handlers take the run
// and the actor's index in its pool.
#pragma once

#include <cstdint>

struct Actor;
struct Run;

// fighter.cpp: fighter, aimed shot, explosion
void fighter_spawn(Run &run, Actor &fighter, uint16_t parent);
void fighter_update(Run &run, uint16_t index);
void fighter_draw(Run &run, uint16_t index);
void fighter_event(Run &run, uint16_t index, uint16_t code);
void aimed_shot_spawn(Run &run, Actor &shot, uint16_t parent);
void aimed_shot_update(Run &run, uint16_t index);
void aimed_shot_draw(Run &run, uint16_t index);
void explosion_spawn(Run &run, Actor &explosion, uint16_t parent);
void explosion_update(Run &run, uint16_t index);
void explosion_draw(Run &run, uint16_t index);
void explosion_event(Run &run, uint16_t index, uint16_t code);
// Frees an enemy's slot and spawns its explosion 'offset' pixels right of and below its corner: the
// explosion may take the very slot it leaves.
void explode(Run &run, uint16_t index, int16_t offset);

// hunter.cpp: hunter and its beam
void hunter_spawn(Run &run, Actor &hunter, uint16_t parent);
void hunter_update(Run &run, uint16_t index);
void hunter_draw(Run &run, uint16_t index);
void hunter_event(Run &run, uint16_t index, uint16_t code);
void beam_shot_spawn(Run &run, Actor &beam, uint16_t parent);
void beam_shot_update(Run &run, uint16_t index);
void beam_shot_draw(Run &run, uint16_t index);

// boss.cpp: its phase is kept in its 'param'
enum BossPhase : int16_t {
    BOSS_ENTRY = 0,
    BOSS_ORBIT = 1,
    BOSS_STRIKE = 2,
    BOSS_RAIN = 3,
    BOSS_SINKING = 4,
};
void boss_spawn(Run &run, Actor &boss, uint16_t parent);
void boss_update(Run &run, uint16_t index);
void boss_draw(Run &run, uint16_t index);
void boss_event(Run &run, uint16_t index, uint16_t code);
// Whether a player's shot that touches the boss hits it (and is spent): not while it shimmers before
// a strike, when shots pass through it.
bool boss_is_hittable(const Actor &boss);
// While it orbits: the selector of its next shot's heading ('anim') and the shots it has fired
// ('step'), which its shots' spawn reads.
int16_t boss_shot_selector(const Actor &boss);
int16_t boss_shots_fired(const Actor &boss);

// boss_projectiles.cpp: debris, boss shot, boss drop
void debris_spawn(Run &run, Actor &debris, uint16_t heading);
void debris_update(Run &run, uint16_t index);
void debris_draw(Run &run, uint16_t index);
void debris_event(Run &run, uint16_t index, uint16_t code);
void boss_shot_spawn(Run &run, Actor &shot, uint16_t boss);
void boss_shot_update(Run &run, uint16_t index);
void boss_shot_draw(Run &run, uint16_t index);
void boss_drop_spawn(Run &run, Actor &drop, uint16_t parent);
void boss_drop_update(Run &run, uint16_t index);
void boss_drop_draw(Run &run, uint16_t index);

// The event of the projectiles: leaving the playfield frees the slot; a hit cannot happen to them.
void remove_when_outside(Run &run, uint16_t index, uint16_t code);
