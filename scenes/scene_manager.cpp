// scene_manager.cpp: switches between the title and the game.
#include "scenes/scene_manager.h"

#include "runtime/main_loop.h"
#include "scenes/game_scene.h"
#include "scenes/title_scene.h"

const Scene title_scene = {title_init, title_update, title_draw, title_transition};
const Scene game_scene = {game_init, game_update, game_draw, game_transition};

Scene current_scene;
uint16_t hi_score = 0;

namespace {

void install(const Scene &scene)
{
    current_scene = scene;
    current_scene.init();
}

} // namespace

void install_title_scene() { current_scene = title_scene; }

void scene_update() { current_scene.update(); }

void scene_draw() { current_scene.draw(); }

void scene_transition()
{
    switch (current_scene.transition()) {
    case TRANSITION_TITLE:
        install(title_scene);
        break;
    case TRANSITION_GAME:
        install(game_scene);
        break;
    case TRANSITION_QUIT:
        quit_requested = 1;
        break;
    default:
        break; // 0 and every unknown code stay
    }
}

void apply_hi_score_rule()
{
    if (score > hi_score)
        hi_score = score;
}
