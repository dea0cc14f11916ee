// route_finder.cpp: vorpaline-route-finder [--hard] OUT.script
//
// Searches for an input script that plays a whole run without losing a ship: from the title through
// the stage and the boss to the staff roll and back to the title, where it chooses "end". It drives
// the game's own ticks without a window: from a copy of the run it tries every steering
// direction for a short segment, firing all the while, keeps the choices after which some simple
// continuation still survives, prefers the one that scores most and stays under its target, and backs
// up when a segment has no survivor.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/drawing.h"
#include "runtime/input_script.h"
#include "runtime/main_loop.h"
#include "scenes/run.h"

namespace {

constexpr int segment_ticks = 8;
constexpr int lookahead_ticks = 40;
constexpr uint32_t max_run_ticks = 20000;

// The run being searched, drawing nothing: drawing changes the run only in the title and the ending,
// and the stage is searched with every tick late.
Run run;
DrawTarget no_pixels = counting_target();
bool drawing = false;

std::vector<uint16_t> recorded; // the keys of every tick played for good

// A steering choice: a keypad direction (5 = none) and whether button 2 is held.
struct Choice {
    uint8_t dir;
    bool fast;
};

uint16_t direction_keys(uint8_t dir)
{
    switch (dir) {
    case 1: return SCRIPT_DOWN | SCRIPT_LEFT;
    case 2: return SCRIPT_DOWN;
    case 3: return SCRIPT_DOWN | SCRIPT_RIGHT;
    case 4: return SCRIPT_LEFT;
    case 6: return SCRIPT_RIGHT;
    case 7: return SCRIPT_UP | SCRIPT_LEFT;
    case 8: return SCRIPT_UP;
    case 9: return SCRIPT_UP | SCRIPT_RIGHT;
    default: return 0;
    }
}

// Button 1 goes down on every second tick, so every press fires.
uint16_t keys_for(Choice choice, uint32_t tick)
{
    uint16_t keys = direction_keys(choice.dir);
    if (choice.fast && choice.dir != 5)
        keys |= SCRIPT_BUTTON_1 << 1;
    if (tick % 2 == 0)
        keys |= SCRIPT_BUTTON_1;
    return keys;
}

void play(uint16_t keys)
{
    run_tick(run, script_snapshot(keys), drawing ? on_time_driver : late_driver);
}

bool ship_wrecked() { return run.ship_state >= ship_first_wreck; }

bool stage_running() { return run.game_phase == PHASE_COUNTDOWN || run.game_phase == PHASE_STAGE; }

// Plays a choice for some ticks; false as soon as the ship is wrecked.
bool survive(Choice choice, int ticks)
{
    for (int t = 0; t < ticks && stage_running(); t++) {
        play(keys_for(choice, run.frame_clock.ticks));
        if (ship_wrecked())
            return false;
    }
    return true;
}

// The x the ship would like to stand under: the lowest hittable enemy above it, or the boss.
int target_x()
{
    int best_x = 320, best_y = -10000;
    for (const Actor &a : run.actor_pool) {
        if (!a.active || !(a.kind == KIND_FIGHTER || a.kind == KIND_HUNTER || a.kind == KIND_BOSS))
            continue;
        if (a.y < run.player_ship.y && a.y > best_y) {
            best_y = a.y;
            best_x = a.x + a.w / 2;
        }
    }
    return best_x;
}

struct Rated {
    Choice choice;
    long value;
};

std::vector<Rated> rate_choices(const Run &from)
{
    std::vector<Rated> rated;
    const Choice escapes[] = {{5, false}, {4, true}, {6, true}, {2, true}, {8, false}};
    for (uint8_t dir = 1; dir <= 9; dir++) {
        for (int fast = 0; fast <= 1; fast++) {
            if (dir == 5 && fast)
                continue;
            Choice choice{dir, fast == 1};
            run = from;
            if (!survive(choice, segment_ticks))
                continue;
            const Run after = run;
            long value = -1000000;
            for (Choice escape : escapes) {
                run = after;
                if (survive(escape, lookahead_ticks)) {
                    run = after;
                    long centre = run.player_ship.x + 8;
                    long off_target = std::labs(centre - target_x());
                    long low = run.player_ship.y < 300 ? (300 - run.player_ship.y) * 4 : 0;
                    survive(escape, lookahead_ticks);
                    value = std::max(value, static_cast<long>(run.score) * 10 - off_target - low);
                }
            }
            if (value > -1000000)
                rated.push_back({choice, value});
        }
    }
    std::sort(rated.begin(), rated.end(), [](const Rated &a, const Rated &b) { return a.value > b.value; });
    return rated;
}

struct Step {
    Run start;
    size_t recorded_before;
    std::vector<Rated> options;
    size_t next;
};

bool play_the_stage()
{
    std::vector<Step> steps;
    steps.reserve(4096);
    while (stage_running()) {
        if (run.frame_clock.ticks > max_run_ticks)
            return false;
        Step step;
        step.start = run;
        step.recorded_before = recorded.size();
        step.options = rate_choices(step.start);
        step.next = 0;
        steps.push_back(std::move(step));
        // Take the next untried option of the newest step; back up while a step has none left.
        while (!steps.empty() && steps.back().next >= steps.back().options.size())
            steps.pop_back();
        if (steps.empty())
            return false;
        Step &current = steps.back();
        run = current.start;
        recorded.resize(current.recorded_before);
        Choice choice = current.options[current.next++].choice;
        for (int t = 0; t < segment_ticks && stage_running(); t++) {
            uint16_t keys = keys_for(choice, run.frame_clock.ticks);
            play(keys);
            recorded.push_back(keys);
        }
        if (run.frame_clock.ticks % 600 < segment_ticks)
            std::fprintf(stderr, "tick %u phase %u stage tick %u score %u actors %d\n", run.frame_clock.ticks,
                         run.game_phase, run.game_tick, run.score, [] {
                             int n = 0;
                             for (const Actor &a : run.actor_pool)
                                 n += a.active;
                             return n;
                         }());
    }
    return run.game_phase == PHASE_ENDING;
}

void play_for_good(uint16_t keys)
{
    play(keys);
    recorded.push_back(keys);
}

void write_script(const char *path, bool hard)
{
    std::FILE *out = std::fopen(path, "w");
    if (out == nullptr) {
        std::fprintf(stderr, "can't write %s\n", path);
        std::exit(2);
    }
    char header[96];
    std::snprintf(header, sizeof header, "A whole %s run found by vorpaline-route-finder%s: no ship is lost.",
                  hard ? "hard" : "normal", hard ? " --hard" : "");
    ScriptWriter writer;
    start_script(writer, out, header);
    for (uint16_t keys : recorded)
        write_script_tick(writer, keys);
    finish_script(writer);
    std::fclose(out);
}

} // namespace

int main(int argc, char *argv[])
{
    bool hard = argc == 3 && std::strcmp(argv[1], "--hard") == 0;
    if (argc != (hard ? 3 : 2)) {
        std::fprintf(stderr, "usage: vorpaline-route-finder [--hard] OUT.script\n");
        return 2;
    }
    start_run(run, no_pixels, 0);

    play_for_good(hard ? (SCRIPT_BUTTON_1 | SCRIPT_BUTTON_1 << 2) : SCRIPT_BUTTON_1); // "start"
    if (!play_the_stage()) {
        std::fprintf(stderr, "no surviving route found (tick %u, phase %u)\n", run.frame_clock.ticks, run.game_phase);
        return 1;
    }
    // The ending runs to its end only in drawn ticks: it ends at the first drawn frame from t 1100.
    drawing = true;
    while (!title_is_current(run))
        play_for_good(0);
    play_for_good(0);
    play_for_good(SCRIPT_DOWN);
    play_for_good(SCRIPT_BUTTON_1); // "end"
    write_script(argv[hard ? 2 : 1], hard);
    std::fprintf(stderr, "found a route of %zu ticks, score %u\n", recorded.size(), run.score);
    return 0;
}
