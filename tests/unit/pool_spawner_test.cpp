// pool_spawner_test.cpp: the free-slot search, the kinds the spawner refuses, the fields it leaves
// alone, the aim at the ship, the two spread tables, and spawns made while the pool is being walked.
#include "game_fixture.h"

#include <cstring>

#include "behaviours/behaviours.h"

namespace {

// Every field of a record, for comparing before and after.
bool same_record(const Actor &a, const Actor &b)
{
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h && a.hit_x == b.hit_x && a.hit_y == b.hit_y &&
           a.hit_w == b.hit_w && a.hit_h == b.hit_h && a.kind == b.kind && a.origin_x == b.origin_x &&
           a.origin_y == b.origin_y && a.param == b.param && a.angle == b.angle && a.anim == b.anim &&
           a.step == b.step && a.hp == b.hp && a.active == b.active && a.on_update == b.on_update &&
           a.on_draw == b.on_draw && a.on_event == b.on_event;
}

// Fills a slot's fields with values no kind writes, as a previous occupant might have left them.
void make_stale(Actor &actor)
{
    actor = Actor{};
    actor.x = 1111, actor.y = 1112, actor.w = 77, actor.h = 78;
    actor.hit_x = 3, actor.hit_y = 4, actor.hit_w = 55, actor.hit_h = 56;
    actor.kind = 1;
    actor.origin_x = 901, actor.origin_y = 902, actor.param = 903, actor.angle = 904;
    actor.anim = 905, actor.step = 906, actor.hp = 907;
    actor.active = 0;
}

using PoolTest = GameTest;
using SpawnerTest = GameTest;

TEST_F(PoolTest, SpawnTakesTheLowestFreeSlot)
{
    fill_pool();
    run.actor_pool[5].active = 0;
    EXPECT_EQ(spawn(300, 100, KIND_FIGHTER), 5);
    EXPECT_EQ(run.actor_pool[5].kind, KIND_FIGHTER);
    run.actor_pool[3].active = 0;
    run.actor_pool[700].active = 0;
    EXPECT_EQ(spawn(300, 100, KIND_HUNTER), 3);
    EXPECT_EQ(run.actor_pool[3].kind, KIND_HUNTER);
    EXPECT_EQ(run.actor_pool[700].active, 0);
}

TEST_F(PoolTest, FullPoolSpawnChangesNothing)
{
    fill_pool();
    static Actor before[actor_pool_size];
    std::memcpy(before, run.actor_pool, sizeof before);
    spawn_actor(run, 300, 100, KIND_FIGHTER, 0);
    spawn_actor(run, 300, 100, KIND_EXPLOSION, 0);
    for (uint16_t i = 0; i < actor_pool_size; i++)
        ASSERT_TRUE(same_record(run.actor_pool[i], before[i])) << "slot " << i;
}

TEST_F(SpawnerTest, KindsWithoutARowSpawnNothing)
{
    for (uint8_t kind : {0, 9, 11, 255}) {
        make_stale(run.actor_pool[0]);
        Actor before = run.actor_pool[0];
        spawn_actor(run, 300, 100, kind, 0);
        EXPECT_TRUE(same_record(run.actor_pool[0], before)) << "kind " << int{kind};
        EXPECT_EQ(find_free_slot(run), 0);
    }
}

TEST_F(SpawnerTest, ExplosionWritesOnlyPositionKindAgeAndHandlers)
{
    make_stale(run.actor_pool[0]);
    spawn_actor(run, -20, 30, KIND_EXPLOSION, 0);
    const Actor &e = run.actor_pool[0];
    EXPECT_EQ(e.active, 1);
    EXPECT_EQ(e.x, -20);
    EXPECT_EQ(e.y, 30);
    EXPECT_EQ(e.kind, KIND_EXPLOSION);
    EXPECT_EQ(e.origin_x, 0);
    EXPECT_EQ(e.on_update, explosion_update);
    EXPECT_EQ(e.on_draw, explosion_draw);
    EXPECT_EQ(e.on_event, explosion_event);
    // The previous occupant's size, hit box and general fields are still there.
    EXPECT_EQ(e.w, 77);
    EXPECT_EQ(e.h, 78);
    EXPECT_EQ(e.hit_x, 3);
    EXPECT_EQ(e.hit_y, 4);
    EXPECT_EQ(e.hit_w, 55);
    EXPECT_EQ(e.hit_h, 56);
    EXPECT_EQ(e.origin_y, 902);
    EXPECT_EQ(e.param, 903);
    EXPECT_EQ(e.angle, 904);
    EXPECT_EQ(e.anim, 905);
    EXPECT_EQ(e.step, 906);
    EXPECT_EQ(e.hp, 907);
}

TEST_F(SpawnerTest, BlankCellsOfOtherKindsKeepTheSlotsContents)
{
    // Each kind spawned over a stale slot, with fields as its spawn leaves them: 9xx is the stale
    // value kept (see make_stale), anything else was written.
    struct FieldIs {
        int16_t Actor::*field;
        int16_t value;
    };
    struct Case {
        uint8_t kind;
        int16_t x, y;
        uint16_t parent;
        std::vector<FieldIs> fields;
    };
    const Case cases[] = {
        {KIND_BEAM_SHOT,
         300,
         100,
         0,
         {{&Actor::origin_x, 0},
          {&Actor::origin_y, 902},
          {&Actor::param, 903},
          {&Actor::hp, 907},
          {&Actor::hit_w, 2},
          {&Actor::hit_h, 16}}},
        {KIND_HUNTER, 300, 100, 0, {{&Actor::step, 3}, {&Actor::hp, 907}}},
        {KIND_BOSS,
         308,
         -8,
         0,
         {{&Actor::origin_x, 308},
          {&Actor::origin_y, -8},
          {&Actor::param, 0},
          {&Actor::angle, 904},
          {&Actor::anim, 905},
          {&Actor::step, 906},
          {&Actor::hp, 907}}},
        {KIND_BOSS_DROP,
         300,
         100,
         0,
         {{&Actor::hit_w, 26}, {&Actor::hit_h, 32}, {&Actor::origin_x, 901}, {&Actor::param, 903}}},
        {KIND_DEBRIS, 264, 0, 758, {{&Actor::anim, 905}, {&Actor::step, 906}}},
    };
    for (const Case &c : cases) {
        make_stale(run.actor_pool[0]);
        spawn_actor(run, c.x, c.y, c.kind, c.parent);
        for (size_t k = 0; k < c.fields.size(); k++)
            EXPECT_EQ(run.actor_pool[0].*c.fields[k].field, c.fields[k].value)
                << "kind " << int{c.kind} << ", field " << k + 1 << " of its row";
    }
}

TEST_F(SpawnerTest, FighterAimsAtTheShipsCentre)
{
    // The ship stands at its start position (312, 460), centre (320, 468).
    EXPECT_EQ(run.actor_pool[spawn(210, -8, KIND_FIGHTER)].angle, 802);
    EXPECT_EQ(run.actor_pool[spawn(424, -8, KIND_FIGHTER)].angle, 730);
    EXPECT_EQ(run.actor_pool[spawn(200, 0, KIND_FIGHTER)].angle, 807);
    // Centred on the ship: angle_of(0, 0) is an eighth of a turn.
    EXPECT_EQ(run.actor_pool[spawn(312, 460, KIND_FIGHTER)].angle, 128);
}

TEST_F(SpawnerTest, FighterStartsOnItsPathWithSelectorTwo)
{
    const Actor &f = run.actor_pool[spawn(210, -8, KIND_FIGHTER)];
    EXPECT_EQ(f.origin_x, 210);
    EXPECT_EQ(f.origin_y, -8);
    EXPECT_EQ(f.param, 2);
    EXPECT_EQ(f.step, 0);
    EXPECT_EQ(f.hp, 1);
    start_game(true);
    EXPECT_EQ(run.actor_pool[spawn(210, -8, KIND_FIGHTER)].hp, 2);
}

// Spawns an aimed shot at (210, 20) from a parent fighter whose selector is 'selector'; the shot's
// centre (213, 24) aims at the ship's centre with heading 806.
int16_t aimed_heading(Run &run, int16_t selector)
{
    clear_actor_pool(run);
    spawn_actor(run, 210, 20, KIND_FIGHTER, 0);
    run.actor_pool[0].param = selector;
    run.actor_pool[1].param = 4321; // what the slot held before
    spawn_actor(run, 210, 20, KIND_AIMED_SHOT, 0);
    return run.actor_pool[1].param;
}

// A selector and the heading of its shot in a normal and in a hard run. A selector the run does not
// know leaves the heading unwritten: 4321 is what the slot held before.
struct SpreadCase {
    int16_t selector, normal, hard;
};
constexpr SpreadCase spread_cases[] = {
    {0, 806, 806}, {1, 774, 774}, {2, 838, 838}, {3, 4321, 678}, {4, 4321, 934}, {5, 4321, 4321}, {-1, 4321, 4321},
};

TEST_F(SpawnerTest, AimedShotSpreadInANormalRun)
{
    for (const SpreadCase &c : spread_cases)
        EXPECT_EQ(aimed_heading(run, c.selector), c.normal) << "selector " << c.selector;
}

TEST_F(SpawnerTest, AimedShotSpreadInAHardRun)
{
    start_game(true);
    for (const SpreadCase &c : spread_cases)
        EXPECT_EQ(aimed_heading(run, c.selector), c.hard) << "selector " << c.selector;
}

TEST_F(SpawnerTest, SpreadBelowHeadingZeroWraps)
{
    // A shot level with the ship's centre, to its left, aims at heading 0; -128 is heading 896.
    start_game(true);
    spawn_actor(run, 250, 464, KIND_FIGHTER, 0);
    run.actor_pool[0].param = 3;
    spawn_actor(run, 250, 464, KIND_AIMED_SHOT, 0);
    EXPECT_EQ(static_cast<uint16_t>(run.actor_pool[1].param) % 1024, 896);
    // Heading 896 is down and to the right.
    aimed_shot_update(run, 1);
    aimed_shot_update(run, 1);
    EXPECT_GT(run.actor_pool[1].x, 250);
    EXPECT_GT(run.actor_pool[1].y, 464);
}

// Spawns a boss shot at (319, 100) (centre (320, 101), straight above the ship's centre: aim 768)
// from a boss with the given 'anim' and 'step'.
Actor boss_shot_from(Run &run, int16_t anim, int16_t step)
{
    clear_actor_pool(run);
    spawn_actor(run, 300, 60, KIND_BOSS, 0);
    run.actor_pool[0].anim = anim;
    run.actor_pool[0].step = step;
    run.actor_pool[1].param = 4321;
    run.actor_pool[1].angle = 4322;
    spawn_actor(run, 319, 100, KIND_BOSS_SHOT, 0);
    return run.actor_pool[1];
}

TEST_F(SpawnerTest, BossShotHeadingAndVariantInANormalRun)
{
    Actor shot = boss_shot_from(run, 0, 0);
    EXPECT_EQ(shot.param, 768 - 32);
    EXPECT_EQ(shot.angle, 0);
    shot = boss_shot_from(run, 1, 0);
    EXPECT_EQ(shot.param, 768 + 32);
    EXPECT_EQ(shot.angle, 1);
    EXPECT_EQ(shot.anim, 0);
    EXPECT_EQ(shot.origin_x, 319);
    EXPECT_EQ(shot.origin_y, 100);
}

TEST_F(SpawnerTest, BossShotHeadingAndVariantInAHardRun)
{
    start_game(true);
    Actor shot = boss_shot_from(run, 0, 7);
    EXPECT_EQ(shot.param, 768 + 60);
    EXPECT_EQ(shot.angle, 0);
    shot = boss_shot_from(run, 1, 7);
    EXPECT_EQ(shot.param, 768 - 60);
    EXPECT_EQ(shot.angle, 1);
    shot = boss_shot_from(run, 2, 7);
    EXPECT_EQ(shot.param, 768);
    EXPECT_EQ(shot.angle, 1);
    shot = boss_shot_from(run, 2, 6);
    EXPECT_EQ(shot.angle, 0);
    // An unknown selector writes neither field.
    shot = boss_shot_from(run, 3, 7);
    EXPECT_EQ(shot.param, 4321);
    EXPECT_EQ(shot.angle, 4322);
}

TEST_F(SpawnerTest, DebrisTakesItsHeadingFromTheParentArgument)
{
    const Actor &d = run.actor_pool[spawn(264, 0, KIND_DEBRIS, 758)];
    EXPECT_EQ(d.param, 758);
    EXPECT_EQ(d.angle, 0);
    EXPECT_EQ(d.origin_x, 264);
    EXPECT_EQ(d.origin_y, 0);
}

TEST_F(PoolTest, SpawnsDuringTheUpdatePassMoveAboveTheCurrentSlotOnly)
{
    // Slots 0 to 9 live except 4, the fighter in slot 10 about to fire its fan of three.
    for (int i = 0; i < 10; i++)
        spawn_actor(run, -100, -100, KIND_EXPLOSION, 0);
    ASSERT_EQ(spawn(300, 100, KIND_FIGHTER), 10);
    run.actor_pool[4].active = 0;
    run.actor_pool[10].step = 8;
    update_actors(run);
    ASSERT_EQ(run.actor_pool[4].kind, KIND_AIMED_SHOT);
    ASSERT_EQ(run.actor_pool[11].kind, KIND_AIMED_SHOT);
    ASSERT_EQ(run.actor_pool[12].kind, KIND_AIMED_SHOT);
    // The shot below the fighter has not moved yet; the two above have had their first update.
    EXPECT_EQ(run.actor_pool[4].angle, 0);
    EXPECT_EQ(run.actor_pool[4].anim, 0);
    EXPECT_EQ(run.actor_pool[11].angle, 4);
    EXPECT_EQ(run.actor_pool[12].angle, 4);
    update_actors(run);
    EXPECT_EQ(run.actor_pool[4].angle, 4);
    EXPECT_EQ(run.actor_pool[11].angle, 8);
}

} // namespace
