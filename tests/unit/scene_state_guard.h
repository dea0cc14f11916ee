// scene_state_guard.h: keeps the scenes' and the run's globals and puts them back.
#pragma once

#include <gtest/gtest.h>

#include "scenes/run_state.h"

// Saves everything that the scene handlers and game_init write, and starts from the input record
// bound by init_input and the flag and scene state as at program start. The destructor restores.
class SceneStateGuard {
  public:
    SceneStateGuard()
    {
        save_run_state(saved);
        init_input();
        quit_requested = 0;
        title_cursor = 0;
        title_blink = 0;
        hi_score = 0;
        install_title_scene();
    }

    ~SceneStateGuard() { restore_run_state(saved); }

  private:
    static inline RunState saved; // one guard at a time; too large for the stack of every test
};

class SceneStateTest : public testing::Test {
  private:
    SceneStateGuard guard;
};
