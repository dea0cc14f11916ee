// main.cpp: the vorpaline executable; the arguments are not used.
#include "runtime/program.h"

int main(int argc, char *argv[])
{
    (void)argc;
    (void)argv;
    return run_program();
}
