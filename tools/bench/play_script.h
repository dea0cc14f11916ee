// play_script.h: generated input scripts that play the game from the title for a given number of ticks.
#pragma once

#include <cstdint>
#include <string>

// A script of exactly 'ticks' ticks: a 48-tick pattern that steers left, right and up while pressing
// fire every other tick. On the title each press of button 1 starts a normal run (the cursor never
// moves to "end"), so the script plays run after run, each ending in a game over. With 'late' every
// tick is marked '~' and nothing is drawn.
std::string play_script(uint32_t ticks, bool late);
