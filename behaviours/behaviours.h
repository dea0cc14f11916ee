// behaviours.h: the handler triples of every actor kind, installed by the spawner.
#pragma once

#include <cstdint>

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

// boss.cpp
void boss_update(uint16_t index);
void boss_draw(uint16_t index);
void boss_event(uint16_t index, uint16_t code);

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
