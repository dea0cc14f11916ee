// main.cpp: the vorpaline executable. SDL.h is included for its entry glue on the platforms that
// have one; the arguments are not used.
#include <SDL.h>

#include "runtime/main_loop.h"

int main(int argc, char *argv[])
{
    (void)argc;
    (void)argv;
    return run_program();
}
