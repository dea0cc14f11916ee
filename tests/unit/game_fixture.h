// game_fixture.h: a fresh run for the game-rule tests, a recorder of its draw calls, and small helpers
// to set up actors in its pool.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "actors/angle_math.h"
#include "actors/pool.h"
#include "actors/spawner.h"
#include "runtime/back_buffer.h"
#include "runtime/drawing.h"
#include "runtime/input.h"
#include "runtime/platform_sdl.h"
#include "runtime/startup.h"
#include "scenes/collisions.h"
#include "scenes/game_scene.h"
#include "scenes/run.h"
#include "scenes/scene_manager.h"
#include "scenes/ship.h"

// One drawing call as the observer saw it, with its text copied.
struct RecordedDraw {
    DrawCallType type;
    int x, y;
    int w, h;
    int colour;
    int sheet, frame;
    std::string text;
};

// A run of the test's own in its first state: input cleared with no direction, game_init done. It
// draws into a target that only counts.
class GameTest : public testing::Test {
  protected:
    void SetUp() override
    {
        run.target = &target;
        init_input(run.input_states);
        input_of(run).dir_latch = 5;
        start_game(false);
    }

    // game_init with the buttons that pick the run's mode held at that moment.
    void start_game(bool hard)
    {
        input_of(run).held_1 = 1;
        input_of(run).held_3 = hard ? 1 : 0;
        game_init(run);
        input_of(run).held_1 = 0;
        input_of(run).held_3 = 0;
    }

    // Spawns and returns the slot the actor went to (no_free_slot when none).
    uint16_t spawn(int16_t x, int16_t y, uint8_t kind, uint16_t parent = 0)
    {
        uint16_t slot = find_free_slot(run);
        spawn_actor(run, x, y, kind, parent);
        return slot;
    }

    // Marks every slot active (with the explosion's harmless handlers) so the pool is full.
    void fill_pool()
    {
        for (uint16_t i = 0; i < actor_pool_size; i++)
            if (!run.actor_pool[i].active)
                spawn_actor(run, -100, -100, KIND_EXPLOSION, 0);
    }

    // Frees every slot except the one given.
    void free_all_but(uint16_t keep)
    {
        for (uint16_t i = 0; i < actor_pool_size; i++)
            if (i != keep)
                run.actor_pool[i].active = 0;
    }

    int count_active(uint16_t kind) const
    {
        int n = 0;
        for (const Actor &actor : run.actor_pool)
            if (actor.active && actor.kind == kind)
                n++;
        return n;
    }

    // Spawns the kind at (x, y) and runs its update 'updates' times: the actor, in the slot it took.
    const Actor &after_updates(int16_t x, int16_t y, uint8_t kind, int updates, uint16_t parent = 0)
    {
        uint16_t slot = spawn(x, y, kind, parent);
        for (int k = 0; k < updates; k++)
            run.actor_pool[slot].on_update(run, slot);
        return run.actor_pool[slot];
    }

    // A projectile's events: a shot's hit leaves it flying, leaving the playfield frees its slot.
    void expect_shots_pass_and_leaving_frees(uint16_t slot)
    {
        Actor &actor = run.actor_pool[slot];
        actor.on_event(run, slot, EVENT_SHOT_HIT);
        EXPECT_EQ(actor.active, 1);
        actor.on_event(run, slot, EVENT_LEFT_PLAYFIELD);
        EXPECT_EQ(actor.active, 0);
    }

    // The last ship wrecked by the kind in this phase: 245 steps later the wreck counter is at 250 and
    // the phase holds; the next step ends the run.
    template <typename Step> void expect_last_wreck_ends_the_run(uint8_t phase, uint16_t kind, Step step)
    {
        run.game_phase = phase;
        run.lives = 0;
        ship_hit(run, kind);
        for (int k = 0; k < 245; k++)
            step();
        EXPECT_EQ(run.ship_state, 250);
        EXPECT_EQ(run.game_phase, phase);
        step();
        EXPECT_EQ(run.game_phase, PHASE_OVER);
    }

    // One game tick with the ship kept out of harm.
    void safe_tick()
    {
        run.invincible_ticks = 2;
        game_update(run);
    }

    ::Run run; // testing::Test has a member function Run()
    DrawTarget target = counting_target();
};

// A GameTest whose draw calls are recorded. Text and rectangles are drawn into a back buffer of the
// test's own, made with SDL's dummy video driver and put back afterwards.
class DrawTest : public GameTest {
  protected:
    void SetUp() override
    {
        GameTest::SetUp();
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
            ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        }
        saved_back_buffer = back_buffer;
        own_back_buffer = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 8, 0, 0, 0, 0);
        ASSERT_NE(own_back_buffer, nullptr) << SDL_GetError();
        back_buffer = own_back_buffer;
        target = back_buffer_target();
        target.observer = record_draw;
        target.observer_context = &draws;
    }

    void TearDown() override
    {
        back_buffer = saved_back_buffer;
        if (own_back_buffer != nullptr)
            SDL_FreeSurface(own_back_buffer);
        GameTest::TearDown();
    }

    std::vector<RecordedDraw> &recorded_draws() { return draws; }

    // The recorded calls of one type.
    std::vector<RecordedDraw> draws_of(DrawCallType type) const
    {
        std::vector<RecordedDraw> out;
        for (const RecordedDraw &draw : draws)
            if (draw.type == type)
                out.push_back(draw);
        return out;
    }

    // The only sprite drawn is this frame at (x, y).
    void expect_one_sprite(int frame, int x, int y)
    {
        std::vector<RecordedDraw> sprites = draws_of(DRAW_SPRITE);
        ASSERT_EQ(sprites.size(), 1u);
        EXPECT_EQ(sprites[0].frame, frame);
        EXPECT_EQ(sprites[0].x, x);
        EXPECT_EQ(sprites[0].y, y);
    }

    // The recorded text call with this text, or nullptr.
    const RecordedDraw *find_text(const std::string &text) const
    {
        for (const RecordedDraw &draw : draws)
            if (draw.type == DRAW_TEXT && draw.text == text)
                return &draw;
        return nullptr;
    }

  private:
    static void record_draw(void *context, const DrawCall &call)
    {
        static_cast<std::vector<RecordedDraw> *>(context)->push_back(
            {call.type, call.x, call.y, call.w, call.h, call.colour, call.sheet, call.frame,
             call.text != nullptr ? std::string(call.text) : std::string()});
    }

    std::vector<RecordedDraw> draws;
    SDL_Surface *saved_back_buffer = nullptr;
    SDL_Surface *own_back_buffer = nullptr;
};
