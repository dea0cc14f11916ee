// collisions.h: the three passes that follow every tick's movement.
#pragma once

struct Run;

void collide_ship(Run &run);
void collide_shots(Run &run);
void cull_actors(Run &run);
