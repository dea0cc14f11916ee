// collision_test.cpp: the overlap test's edges, which kinds a shot can hit, one event per shot, the
// re-read 'active' flag, the shots pass against its plain form, and the playfield pass's repeated and
// withheld events.
#include <random>
#include <tuple>

#include "actors/kinds.h"
#include "behaviours/behaviours.h"
#include "game_fixture.h"
#include "runtime/wrap16.h"

#include "scenes/collisions.h"

namespace {

using CollisionTest = GameTest;

Box box(int16_t x, int16_t y, int16_t w, int16_t h) { return Box{x, y, w, h, 0, 0, w, h}; }

// A recording event handler for records the tests set up by hand.
std::vector<std::pair<uint16_t, uint16_t>> &events()
{
    static std::vector<std::pair<uint16_t, uint16_t>> seen;
    return seen;
}
void record_event(Run &, uint16_t index, uint16_t code) { events().push_back({index, code}); }

// Places the next shot slot's hit box over (x, y) with the given size.
void shot_at(Run &run, int slot, int16_t x, int16_t y)
{
    Actor &shot = run.player_shots[slot];
    shot = Actor{};
    shot.x = x, shot.y = y, shot.w = 6, shot.h = 3;
    shot.hit_w = 6, shot.hit_h = 3;
    shot.active = 1;
}

TEST_F(CollisionTest, SharedEdgesDoNotOverlap)
{
    Box a = box(0, 0, 16, 16);
    EXPECT_EQ(overlaps(a, box(16, 0, 16, 16)), 0);
    EXPECT_EQ(overlaps(a, box(15, 0, 16, 16)), 1);
    EXPECT_EQ(overlaps(a, box(-16, 0, 16, 16)), 0);
    EXPECT_EQ(overlaps(a, box(-15, 0, 16, 16)), 1);
    EXPECT_EQ(overlaps(a, box(0, 16, 16, 16)), 0);
    EXPECT_EQ(overlaps(a, box(0, 15, 16, 16)), 1);
    EXPECT_EQ(overlaps(a, box(0, -16, 16, 16)), 0);
    EXPECT_EQ(overlaps(a, box(0, -15, 16, 16)), 1);
}

TEST_F(CollisionTest, OverlapDoesNotDependOnTheOrder)
{
    Box a = Box{10, 20, 99, 99, 2, 3, 8, 5};
    for (int16_t dx = -20; dx <= 20; dx++)
        for (int16_t dy = -20; dy <= 20; dy++) {
            Box b = Box{static_cast<int16_t>(10 + dx), static_cast<int16_t>(20 + dy), 1, 1, 1, -1, 4, 6};
            ASSERT_EQ(overlaps(a, b), overlaps(b, a)) << dx << "," << dy;
        }
}

TEST_F(CollisionTest, OnlyTheHitBoxCounts)
{
    // The image sizes are large, the hit boxes small and offset.
    Box a = Box{0, 0, 100, 100, 10, 10, 4, 4};
    EXPECT_EQ(overlaps(a, Box{14, 10, 100, 100, 0, 0, 4, 4}), 0);
    EXPECT_EQ(overlaps(a, Box{13, 10, 100, 100, 0, 0, 4, 4}), 1);
    EXPECT_EQ(overlaps(a, Box{0, 0, 100, 100, 0, 0, 10, 10}), 0);
}

TEST_F(CollisionTest, NegativeCoordinatesAreSigned)
{
    // y -8 with a 16-pixel-high box reaches y 8 and overlaps the playfield.
    EXPECT_EQ(overlaps(box(210, -8, 16, 16), run.playfield), 1);
    EXPECT_EQ(overlaps(box(210, -16, 16, 16), run.playfield), 0);
    EXPECT_EQ(overlaps(box(-300, 10, 16, 16), run.playfield), 0);
    EXPECT_EQ(overlaps(box(439, 479, 16, 16), run.playfield), 1);
    EXPECT_EQ(overlaps(box(440, 100, 16, 16), run.playfield), 0);
    EXPECT_EQ(overlaps(box(184, 100, 16, 16), run.playfield), 0);
}

TEST_F(CollisionTest, ShotsHitOnlyFightersHuntersDebrisAndTheBoss)
{
    for (uint8_t kind : {1, 2, 3, 4, 5, 6, 7, 8, 10}) {
        clear_actor_pool(run);
        spawn_actor(run, 300, 100, kind, 0);
        run.actor_pool[0].hit_w = 16; // the explosion's stale box, given a size here
        run.actor_pool[0].hit_h = 16;
        shot_at(run, 0, 302, 102);
        collide_shots(run);
        bool hittable = kind == 1 || kind == 3 || kind == 5 || kind == 6;
        EXPECT_EQ(run.player_shots[0].active, hittable ? 0 : 1) << "kind " << int{kind};
        run.player_shots[0].active = 0;
    }
}

TEST_F(CollisionTest, ShimmeringBossLetsShotsPass)
{
    spawn(300, 100, KIND_BOSS);
    Actor &boss = run.actor_pool[0];
    boss.param = BOSS_STRIKE;
    for (int16_t step : {-1, 0, 149}) {
        boss.step = step;
        shot_at(run, 0, 305, 105);
        collide_shots(run);
        EXPECT_EQ(run.player_shots[0].active, 1) << "step " << step;
    }
    boss.step = 150;
    collide_shots(run);
    EXPECT_EQ(run.player_shots[0].active, 0);
    // In the other phases the boss stops shots whatever its step.
    boss.param = BOSS_ORBIT;
    boss.step = 10;
    boss.hp = 20;
    shot_at(run, 0, 305, 105);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[0].active, 0);
    EXPECT_EQ(boss.hp, 19);
}

TEST_F(CollisionTest, EveryOverlappingShotHitsASurvivor)
{
    spawn(300, 100, KIND_HUNTER);
    shot_at(run, 3, 302, 102);
    shot_at(run, 9, 308, 110);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[3].active, 0);
    EXPECT_EQ(run.player_shots[9].active, 0);
    EXPECT_EQ(run.actor_pool[0].step, 1);
    EXPECT_EQ(run.score, 20);
}

TEST_F(CollisionTest, ActorThatFreesItselfTakesNoMoreShots)
{
    // Slot 0 is free, so the fighter's explosion goes there and the fighter's slot stays free.
    spawn_actor(run, -100, -100, KIND_EXPLOSION, 0);
    ASSERT_EQ(spawn(300, 100, KIND_FIGHTER), 1);
    run.actor_pool[0].active = 0;
    shot_at(run, 0, 302, 102);
    shot_at(run, 1, 304, 104);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[0].active, 0);
    EXPECT_EQ(run.player_shots[1].active, 1);
    EXPECT_EQ(run.actor_pool[1].active, 0);
    EXPECT_EQ(run.actor_pool[0].kind, KIND_EXPLOSION);
    EXPECT_EQ(run.score, 110);
}

TEST_F(CollisionTest, ExplosionInTheKillersSlotTakesNoShot)
{
    // Slot 0 is the fighter's; its explosion takes the same slot and lets the second shot through.
    spawn(300, 100, KIND_FIGHTER);
    shot_at(run, 0, 302, 102);
    shot_at(run, 1, 304, 104);
    collide_shots(run);
    EXPECT_EQ(run.actor_pool[0].kind, KIND_EXPLOSION);
    EXPECT_EQ(run.player_shots[1].active, 1);
    EXPECT_EQ(run.score, 110);
}

TEST_F(CollisionTest, LastShotSlotHits)
{
    spawn(300, 100, KIND_FIGHTER);
    shot_at(run, 31, 302, 102);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[31].active, 0);
    EXPECT_EQ(run.score, 110);
}

// The shots pass in its plain form: every live shot tried against every active actor in slot order,
// the boxes read afresh for every test. The pass itself must do exactly what this does.
void plain_collide_shots(Run &run)
{
    for (uint16_t i = 0; i < actor_pool_size; i++) {
        Actor &actor = run.actor_pool[i];
        if (!actor.active)
            continue;
        for (Actor &shot : run.player_shots)
            if (shot.active && overlaps(actor, shot) && actor.active && actor_is_hittable(actor)) {
                shot.active = 0;
                actor.on_event(run, i, EVENT_SHOT_HIT);
            }
    }
}

// A handler that logs every call with the shots then in flight, then does one of the things a handler
// may do, drawn from a generator that both forms of the pass start in the same state.
using EventLog = std::vector<std::tuple<uint16_t, uint16_t, uint32_t>>;
std::mt19937 mischief;
EventLog mischief_log;

int16_t draw_in(int lo, int hi) { return static_cast<int16_t>(std::uniform_int_distribution<int>(lo, hi)(mischief)); }

// A box mostly in a crowd around the playfield's left edge, now and then far off, at times with no extent.
void scatter(Actor &record)
{
    auto coordinate = [] { return draw_in(0, 9) == 0 ? draw_in(-32000, 32000) : draw_in(150, 280); };
    record.x = coordinate();
    record.y = coordinate();
    record.hit_x = draw_in(-4, 4);
    record.hit_y = draw_in(-4, 4);
    record.hit_w = draw_in(-2, 40);
    record.hit_h = draw_in(-2, 40);
}

void mischief_event(Run &run, uint16_t index, uint16_t code)
{
    uint32_t shots_in_flight = 0;
    for (int s = 0; s < player_shot_count; s++)
        shots_in_flight |= uint32_t{run.player_shots[s].active != 0} << s;
    mischief_log.emplace_back(index, code, shots_in_flight);
    Actor &actor = run.actor_pool[index];
    switch (draw_in(0, 5)) {
    case 0: // survives
        break;
    case 1:
        actor.active = 0;
        break;
    case 2:
        actor.x = wrap16(actor.x + draw_in(-20, 20));
        break;
    case 3:
        actor.kind = KIND_AIMED_SHOT; // no longer hittable
        break;
    case 4: { // sends a shot, in flight or not, on where it is or onto itself
        Actor &shot = run.player_shots[draw_in(0, player_shot_count - 1)];
        shot.active = 1;
        if (draw_in(0, 1) == 0) {
            shot.x = actor.x;
            shot.y = actor.y;
        }
        break;
    }
    default: { // brings an actor into a slot below or above its own
        Actor &other = run.actor_pool[draw_in(0, 79)];
        scatter(other);
        other.kind = KIND_FIGHTER;
        other.on_event = mischief_event;
        other.active = 1;
    }
    }
}

auto fields(const Actor &a)
{
    return std::tie(a.x, a.y, a.w, a.h, a.hit_x, a.hit_y, a.hit_w, a.hit_h, a.kind, a.origin_x, a.origin_y, a.param,
                    a.angle, a.anim, a.step, a.hp, a.active, a.on_update, a.on_draw, a.on_event);
}

TEST_F(CollisionTest, ShotsPassDoesWhatItsPlainFormDoes)
{
    size_t events = 0;
    for (uint32_t trial = 0; trial < 400; trial++) {
        mischief.seed(trial);
        clear_actor_pool(run);
        for (uint16_t i = 0; i < 64; i++) {
            Actor &actor = run.actor_pool[i];
            scatter(actor);
            actor.kind = draw_in(0, 3) == 0 ? KIND_AIMED_SHOT : KIND_FIGHTER;
            actor.on_event = mischief_event;
            actor.active = draw_in(0, 3) != 0;
        }
        for (Actor &shot : run.player_shots) {
            scatter(shot);
            shot.active = draw_in(0, 2) != 0;
        }
        ::Run plain = run;
        uint32_t seed = mischief();

        mischief.seed(seed);
        mischief_log.clear();
        plain_collide_shots(plain);
        EventLog plain_log = mischief_log;

        mischief.seed(seed);
        mischief_log.clear();
        collide_shots(run);
        ASSERT_EQ(mischief_log, plain_log) << "trial " << trial;
        for (uint16_t i = 0; i < actor_pool_size; i++)
            ASSERT_TRUE(fields(run.actor_pool[i]) == fields(plain.actor_pool[i]))
                << "trial " << trial << ", slot " << i;
        for (int s = 0; s < player_shot_count; s++)
            ASSERT_TRUE(fields(run.player_shots[s]) == fields(plain.player_shots[s]))
                << "trial " << trial << ", shot " << s;
        events += plain_log.size();
    }
    EXPECT_GT(events, 4000u); // the trials are crowded enough to hit often
}

TEST_F(CollisionTest, InactiveRecordsTakeNothing)
{
    spawn(300, 100, KIND_FIGHTER);
    run.actor_pool[0].active = 0;
    run.actor_pool[0].on_event = record_event;
    events().clear();
    shot_at(run, 0, 302, 102);
    collide_shots(run);
    EXPECT_EQ(run.player_shots[0].active, 1);
    run.player_ship.x = 300;
    run.player_ship.y = 100;
    collide_ship(run);
    EXPECT_EQ(run.ship_state, 3); // as the run started: not a wreck
    run.actor_pool[0].x = 0; // outside the playfield
    cull_actors(run);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(run.score, 0);
}

TEST_F(CollisionTest, ActorStayingOutsideIsToldEveryTick)
{
    spawn(100, 100, KIND_EXPLOSION);
    run.actor_pool[0].hit_w = 16;
    run.actor_pool[0].hit_h = 16;
    run.actor_pool[0].on_event = record_event;
    events().clear();
    for (int tick = 0; tick < 3; tick++)
        cull_actors(run);
    ASSERT_EQ(events().size(), 3u);
    for (const auto &event : events()) {
        EXPECT_EQ(event.first, 0);
        EXPECT_EQ(event.second, EVENT_LEFT_PLAYFIELD);
    }
}

TEST_F(CollisionTest, ActorLeavingInItsFirstUpdateIsCulledInTheTickOfItsSpawn)
{
    // An aimed shot heading straight up from the top edge: after its first update its box ends at
    // y 0 and the playfield pass removes it in the same tick.
    spawn(300, -7, KIND_AIMED_SHOT);
    run.actor_pool[0].param = 256;
    safe_tick();
    EXPECT_EQ(run.actor_pool[0].active, 0);
}

} // namespace
