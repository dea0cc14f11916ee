// scene_manager.cpp: switches between the title and the game.
#include "scenes/scene_manager.h"

#include "scenes/game_scene.h"
#include "scenes/run.h"
#include "scenes/title_scene.h"

const Scene title_scene = {title_init, title_update, title_draw, title_transition};
const Scene game_scene = {game_init, game_update, game_draw, game_transition};

namespace {

void install(Run &run, const Scene &scene)
{
    run.current_scene = scene;
    run.current_scene.init(run);
}

} // namespace

void install_title_scene(Run &run) { run.current_scene = title_scene; }

bool title_is_current(const Run &run) { return run.current_scene.update == title_scene.update; }

void scene_update(Run &run) { run.current_scene.update(run); }

void scene_draw(Run &run) { run.current_scene.draw(run); }

void scene_transition(Run &run)
{
    switch (run.current_scene.transition(run)) {
    case TRANSITION_TITLE:
        install(run, title_scene);
        break;
    case TRANSITION_GAME:
        install(run, game_scene);
        break;
    case TRANSITION_QUIT:
        run.quit_requested = 1;
        break;
    default:
        break; // 0 and every unknown code stay
    }
}

void apply_hi_score_rule(Run &run)
{
    if (run.score > run.hi_score)
        run.hi_score = run.score;
}
