// collisions.cpp: actors against the ship, the player's shots against actors, actors against the
// playfield. The passes report to handlers; they change no actor themselves.
#include "scenes/collisions.h"

#include <bit>

#include "actors/kinds.h"
#include "actors/pool.h"
#include "scenes/run.h"

namespace {

// A set of player shots by slot: bit s is player_shots[s].
using ShotSet = uint32_t;
static_assert(player_shot_count <= 32, "a set of shots is one 32-bit word");

// Where the live shots lie along one axis: rows (or columns) in bands of 32 within a window of 1024,
// each band with the set of shots that reach into it. A shot that does not lie wholly inside the
// window, or that has no extent, is near everything.
constexpr int32_t window_start = -256, band_shift = 5, band_count = 32;
constexpr int32_t window_size = band_count << band_shift;

struct Bands {
    ShotSet everywhere;
    ShotSet band[band_count];
};

// The span [lo, hi) as a range of bands; false when it does not lie wholly inside the window.
bool band_range(int32_t lo, int32_t hi, int32_t &first, int32_t &last)
{
    lo -= window_start;
    hi -= window_start;
    if (lo < 0 || hi > window_size || lo >= hi)
        return false;
    first = lo >> band_shift;
    last = (hi - 1) >> band_shift;
    return true;
}

void add_to_bands(Bands &bands, int32_t lo, int32_t hi, ShotSet shot)
{
    int32_t first, last;
    if (!band_range(lo, hi, first, last)) {
        bands.everywhere |= shot;
        return;
    }
    for (int32_t b = first; b <= last; b++)
        bands.band[b] |= shot;
}

// The shots that may reach into [lo, hi): a superset of those that do.
ShotSet shots_near(const Bands &bands, int32_t lo, int32_t hi, ShotSet live)
{
    int32_t first, last;
    if (!band_range(lo, hi, first, last))
        return live;
    // Every kind is at most a band tall and wide, so it spans one band or two.
    ShotSet near = bands.everywhere | bands.band[first] | bands.band[last];
    for (int32_t b = first + 1; b < last; b++)
        near |= bands.band[b];
    return near;
}

// The shots in flight, their edges, and where they lie. Bands only gain shots: a shot that moves is
// added where it is now and stays where it was, which costs a test and never misses one.
struct LiveShots {
    HitEdges edges[player_shot_count];
    ShotSet live;
    Bands rows, columns;
};

// Takes every shot's 'active' and edges as they are now; only a shot that changed is placed again.
void take_live_shots(const Run &run, LiveShots &live)
{
    for (int s = 0; s < player_shot_count; s++) {
        ShotSet shot = ShotSet{1} << s;
        if (!run.player_shots[s].active) {
            live.live &= ~shot;
            continue;
        }
        HitEdges edges = hit_edges(run.player_shots[s]);
        const HitEdges &known = live.edges[s];
        if ((live.live & shot) && edges.left == known.left && edges.top == known.top && edges.right == known.right &&
            edges.bottom == known.bottom)
            continue;
        live.edges[s] = edges;
        live.live |= shot;
        add_to_bands(live.rows, edges.top, edges.bottom, shot);
        add_to_bands(live.columns, edges.left, edges.right, shot);
    }
}

// The live shots whose hit boxes overlap these edges.
ShotSet shots_overlapping(const LiveShots &live, const HitEdges &edges)
{
    ShotSet near = live.live;
    if (near != 0)
        near &= shots_near(live.rows, edges.top, edges.bottom, live.live);
    if (near != 0)
        near &= shots_near(live.columns, edges.left, edges.right, live.live);
    ShotSet set = 0;
    for (; near != 0; near &= near - 1) {
        int s = std::countr_zero(near);
        if (edges_overlap(edges, live.edges[s]))
            set |= ShotSet{1} << s;
    }
    return set;
}

} // namespace

void collide_ship(Run &run)
{
    // Touching the ship calls no handler: the actor carries on, the ship decides by the kind. The
    // ship's edges are taken again after every hit, which may change the ship.
    HitEdges ship = hit_edges(run.player_ship);
    for (const Actor &actor : run.actor_pool)
        if (actor.active && edges_overlap(ship, hit_edges(actor))) {
            ship_hit(run, actor.kind);
            ship = hit_edges(run.player_ship);
        }
}

void collide_shots(Run &run)
{
    // The shots' and the actor's edges are taken ahead of the tests and again after every event, the
    // only thing in this pass that can change a record (a destroyed actor's explosion can take its
    // slot at once).
    LiveShots live = {};
    take_live_shots(run, live);
    for (Actor &actor : run.actor_pool) {
        // Only this actor's own handler runs in its turn, and only while it is active: an actor found
        // inactive here stays so for all 32 shots.
        if (!actor.active)
            continue;
        // The shots that overlap it, tried in slot order.
        ShotSet hits = shots_overlapping(live, hit_edges(actor));
        while (hits != 0) {
            int s = std::countr_zero(hits);
            hits &= hits - 1;
            // 'active' is read again for every shot: an actor that freed itself takes no more shots,
            // one that survives can take several in one tick, one event per shot.
            if (actor.active && actor_is_hittable(actor)) {
                run.player_shots[s].active = 0;
                actor.on_event(run, pool_index(run, actor), EVENT_SHOT_HIT);
                take_live_shots(run, live);
                ShotSet later = ~((ShotSet{2} << s) - 1); // the slots after s
                hits = shots_overlapping(live, hit_edges(actor)) & later;
            }
        }
    }
}

void cull_actors(Run &run)
{
    // An actor that stays outside and active gets the event again every tick. The playfield's edges
    // are taken again after every event, as a handler is handed the whole run.
    HitEdges playfield = hit_edges(run.playfield);
    for (Actor &actor : run.actor_pool) {
        if (actor.active && !edges_overlap(hit_edges(actor), playfield)) {
            actor.on_event(run, pool_index(run, actor), EVENT_LEFT_PLAYFIELD);
            playfield = hit_edges(run.playfield);
        }
    }
}
