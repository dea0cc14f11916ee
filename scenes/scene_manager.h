// scene_manager.h: the current scene, the transitions between scenes, and the hi score.
#pragma once

#include <cstdint>

struct Run;

using SceneHandler = int (*)(Run &run);
using SceneTransitionHandler = uint8_t (*)(Run &run);

struct Scene {
    SceneHandler init;                 // once, when the scene becomes current
    SceneHandler update;               // every tick
    SceneHandler draw;                 // every drawn tick, on a cleared back buffer
    SceneTransitionHandler transition; // every tick, last
};

// What a scene's transition handler asks for; any other code stays.
enum SceneTransition : uint8_t {
    TRANSITION_STAY = 0,
    TRANSITION_TITLE = 1,
    TRANSITION_GAME = 2,
    TRANSITION_QUIT = 255,
};

extern const Scene title_scene;
extern const Scene game_scene;

// Makes the title current without running its init (its state starts at zero anyway).
void install_title_scene(Run &run);

// Which scene is current: the trace's "title" or "game".
bool title_is_current(const Run &run);

void scene_update(Run &run);
void scene_draw(Run &run);
void scene_transition(Run &run);

// Raises the hi score to the score (unsigned comparison), at the end of every game update.
void apply_hi_score_rule(Run &run);
