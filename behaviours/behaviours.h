// behaviours.h: the handler triples of every actor kind, installed by the spawner.
#pragma once

#include <cstdint>

struct Actor;

// fighter.cpp: fighter, aimed shot, explosion
void fighter_update(uint16_t index);
void fighter_draw(uint16_t index);
void fighter_event(uint16_t index, uint16_t code);
void aimed_shot_update(uint16_t index);
void aimed_shot_draw(uint16_t index);
void aimed_shot_event(uint16_t index, uint16_t code);
void explosion_update(uint16_t index);
void explosion_draw(uint16_t index);
void explosion_event(uint16_t index, uint16_t code);

// hunter.cpp: hunter and its beam
void hunter_update(uint16_t index);
void hunter_draw(uint16_t index);
void hunter_event(uint16_t index, uint16_t code);
void beam_shot_update(uint16_t index);
void beam_shot_draw(uint16_t index);
void beam_shot_event(uint16_t index, uint16_t code);

// boss.cpp: its phase is kept in its 'param'
enum BossPhase : int16_t {
    BOSS_ENTRY = 0,
    BOSS_ORBIT = 1,
    BOSS_STRIKE = 2,
    BOSS_RAIN = 3,
    BOSS_SINKING = 4,
};
void boss_update(uint16_t index);
void boss_draw(uint16_t index);
void boss_event(uint16_t index, uint16_t code);
// Whether a player's shot that touches the boss hits it (and is spent): not while it shimmers before
// a strike, when shots pass through it.
bool boss_is_hittable(const Actor &boss);

// boss_projectiles.cpp: debris, boss shot, boss drop
void debris_update(uint16_t index);
void debris_draw(uint16_t index);
void debris_event(uint16_t index, uint16_t code);
void boss_shot_update(uint16_t index);
void boss_shot_draw(uint16_t index);
void boss_shot_event(uint16_t index, uint16_t code);
void boss_drop_update(uint16_t index);
void boss_drop_draw(uint16_t index);
void boss_drop_event(uint16_t index, uint16_t code);
