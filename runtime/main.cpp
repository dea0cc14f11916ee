// main.cpp: the vorpaline executable.
#include "runtime/program.h"

int main(int argc, char *argv[]) { return run_program(read_program_options(argc, argv)); }
