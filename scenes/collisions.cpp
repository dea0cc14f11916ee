// collisions.cpp: actors against the ship, the player's shots against actors, actors against the
// playfield. The passes report to handlers; they change no actor themselves.
#include "scenes/collisions.h"

#include "actors/pool.h"
#include "behaviours/behaviours.h"
#include "scenes/game_scene.h"
#include "scenes/ship.h"

namespace {

void take_shot_edges(HitEdges (&edges)[player_shot_count])
{
    for (int s = 0; s < player_shot_count; s++)
        edges[s] = hit_edges(player_shots[s]);
}

} // namespace

bool actor_is_hittable(const Actor &actor)
{
    switch (actor.kind) {
    case KIND_FIGHTER:
    case KIND_HUNTER:
    case KIND_DEBRIS:
        return true;
    case KIND_BOSS:
        return boss_is_hittable(actor);
    default:
        return false; // bullets, beams, drops and explosions let shots fly on
    }
}

void collide_ship()
{
    // Touching the ship calls no handler: the actor carries on, the ship decides by the kind.
    for (const Actor &actor : actor_pool)
        if (actor.active && overlaps(player_ship, actor))
            ship_hit(actor.kind);
}

void collide_shots()
{
    // The edges are taken ahead of the tests and again after every event, the only thing in this pass
    // that can change a record (a destroyed actor's explosion can take its slot at once).
    HitEdges shot_edges[player_shot_count];
    take_shot_edges(shot_edges);
    for (uint16_t i = 0; i < actor_pool_size; i++) {
        Actor &actor = actor_pool[i];
        // Only this actor's own handler runs in its turn, and only while it is active: an actor found
        // inactive here stays so for all 32 shots.
        if (!actor.active)
            continue;
        HitEdges edges = hit_edges(actor);
        for (int s = 0; s < player_shot_count; s++) {
            Actor &shot = player_shots[s];
            // 'active' is read again for every shot: an actor that freed itself takes no more shots,
            // one that survives can take several in one tick, one event per shot.
            if (shot.active && edges_overlap(edges, shot_edges[s]) && actor.active && actor_is_hittable(actor)) {
                shot.active = 0;
                actor.on_event(i, EVENT_SHOT_HIT);
                edges = hit_edges(actor);
                take_shot_edges(shot_edges);
            }
        }
    }
}

void cull_actors()
{
    // An actor that stays outside and active gets the event again every tick.
    for (uint16_t i = 0; i < actor_pool_size; i++) {
        Actor &actor = actor_pool[i];
        if (actor.active && !overlaps(actor, playfield))
            actor.on_event(i, EVENT_LEFT_PLAYFIELD);
    }
}
