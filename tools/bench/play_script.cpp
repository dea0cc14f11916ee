// play_script.cpp: the generated play pattern for the benchmarks.
#include "play_script.h"

#include <iterator>

namespace {

// Steering keys of the pattern's six 8-tick legs; fire is pressed on the even ticks of each leg.
constexpr const char *legs[] = {"L", "R", "U", "R", "L", ""};
constexpr uint32_t leg_ticks = 8;

} // namespace

std::string play_script(uint32_t ticks, bool late)
{
    std::string text = "# generated: run after run from the title\n";
    for (uint32_t t = 0; t < ticks; t++) {
        std::string keys = legs[(t / leg_ticks) % std::size(legs)];
        if (t % 2 == 0)
            keys += '1';
        if (late)
            keys += '~';
        text += keys.empty() ? "-" : keys;
        text += '\n';
    }
    return text;
}
