// main.cpp: the vorpaline executable; the arguments are not used.
#include "runtime/main_loop.h"

int main(int argc, char *argv[])
{
    (void)argc;
    (void)argv;
    return run_program();
}
