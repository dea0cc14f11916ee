// game_fixture.h: a fresh run for the game-rule tests, a recorder of draw calls, and small helpers to
// set up actors in the pool.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "actors/angle_math.h"
#include "actors/pool.h"
#include "actors/spawner.h"
#include "runtime/drawing.h"
#include "runtime/input.h"
#include "runtime/platform_sdl.h"
#include "runtime/startup.h"
#include "scenes/collisions.h"
#include "scenes/game_scene.h"
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

inline std::vector<RecordedDraw> &recorded_draws()
{
    static std::vector<RecordedDraw> draws;
    return draws;
}

inline void record_draw(const DrawCall &call)
{
    recorded_draws().push_back({call.type, call.x, call.y, call.w, call.h, call.colour, call.sheet, call.frame,
                                call.text != nullptr ? std::string(call.text) : std::string()});
}

// The recorded calls of one type.
inline std::vector<RecordedDraw> draws_of(DrawCallType type)
{
    std::vector<RecordedDraw> out;
    for (const RecordedDraw &draw : recorded_draws())
        if (draw.type == type)
            out.push_back(draw);
    return out;
}

// The recorded text call with this text, or nullptr.
inline const RecordedDraw *find_text(const std::string &text)
{
    for (const RecordedDraw &draw : recorded_draws())
        if (draw.type == DRAW_TEXT && draw.text == text)
            return &draw;
    return nullptr;
}

// A run in its first state: tables built, input cleared with no direction, game_init done.
class GameTest : public testing::Test {
  protected:
    void SetUp() override
    {
        build_trig_tables();
        init_input();
        input->dir_latch = 5;
        start_run(false);
        hi_score = 0;
    }

    void TearDown() override
    {
        draw_observer = nullptr;
        clear_actor_pool();
    }

    // game_init with the buttons that pick the run's mode held at that moment.
    static void start_run(bool hard)
    {
        input->held_1 = 1;
        input->held_3 = hard ? 1 : 0;
        game_init();
        input->held_1 = 0;
        input->held_3 = 0;
    }

    // Spawns and returns the slot the actor went to (no_free_slot when none).
    static uint16_t spawn(int16_t x, int16_t y, uint8_t kind, uint16_t parent = 0)
    {
        uint16_t slot = find_free_slot();
        spawn_actor(x, y, kind, parent);
        return slot;
    }

    // Marks every slot active (with the explosion's harmless handlers) so the pool is full.
    static void fill_pool()
    {
        for (uint16_t i = 0; i < actor_pool_size; i++)
            if (!actor_pool[i].active)
                spawn_actor(-100, -100, KIND_EXPLOSION, 0);
    }

    // Frees every slot except the one given.
    static void free_all_but(uint16_t keep)
    {
        for (uint16_t i = 0; i < actor_pool_size; i++)
            if (i != keep)
                actor_pool[i].active = 0;
    }

    static int count_active(uint16_t kind)
    {
        int n = 0;
        for (const Actor &actor : actor_pool)
            if (actor.active && actor.kind == kind)
                n++;
        return n;
    }

    // One game tick with the ship kept out of harm.
    static void safe_tick()
    {
        invincible_ticks = 2;
        game_update();
    }
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
        recorded_draws().clear();
        draw_observer = record_draw;
    }

    void TearDown() override
    {
        draw_observer = nullptr;
        back_buffer = saved_back_buffer;
        if (own_back_buffer != nullptr)
            SDL_FreeSurface(own_back_buffer);
        recorded_draws().clear();
        GameTest::TearDown();
    }

    SDL_Surface *saved_back_buffer = nullptr;
    SDL_Surface *own_back_buffer = nullptr;
};
