// collisions.cpp: actors against the ship, the player's shots against actors, actors against the
// playfield. The passes report to handlers; they change no actor themselves.
#include "scenes/collisions.h"

#include "actors/kinds.h"
#include "actors/pool.h"
#include "scenes/run.h"

namespace {

void take_shot_edges(const Run &run, HitEdges (&edges)[player_shot_count])
{
    for (int s = 0; s < player_shot_count; s++)
        edges[s] = hit_edges(run.player_shots[s]);
}

} // namespace

void collide_ship(Run &run)
{
    // Touching the ship calls no handler: the actor carries on, the ship decides by the kind.
    for (const Actor &actor : run.actor_pool)
        if (actor.active && overlaps(run.player_ship, actor))
            ship_hit(run, actor.kind);
}

void collide_shots(Run &run)
{
    // The edges are taken ahead of the tests and again after every event, the only thing in this pass
    // that can change a record (a destroyed actor's explosion can take its slot at once).
    HitEdges shot_edges[player_shot_count];
    take_shot_edges(run, shot_edges);
    for (uint16_t i = 0; i < actor_pool_size; i++) {
        Actor &actor = run.actor_pool[i];
        // Only this actor's own handler runs in its turn, and only while it is active: an actor found
        // inactive here stays so for all 32 shots.
        if (!actor.active)
            continue;
        HitEdges edges = hit_edges(actor);
        for (int s = 0; s < player_shot_count; s++) {
            Actor &shot = run.player_shots[s];
            // 'active' is read again for every shot: an actor that freed itself takes no more shots,
            // one that survives can take several in one tick, one event per shot.
            if (shot.active && edges_overlap(edges, shot_edges[s]) && actor.active && actor_is_hittable(actor)) {
                shot.active = 0;
                actor.on_event(run, i, EVENT_SHOT_HIT);
                edges = hit_edges(actor);
                take_shot_edges(run, shot_edges);
            }
        }
    }
}

void cull_actors(Run &run)
{
    // An actor that stays outside and active gets the event again every tick.
    for (uint16_t i = 0; i < actor_pool_size; i++) {
        Actor &actor = run.actor_pool[i];
        if (actor.active && !overlaps(actor, run.playfield))
            actor.on_event(run, i, EVENT_LEFT_PLAYFIELD);
    }
}
