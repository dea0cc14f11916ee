// test_main.cpp: the unit tests' entry. Tests that need SDL use its dummy drivers, set here in the
// test process's own environment (the game itself reads no environment variable).
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
