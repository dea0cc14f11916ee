// startup_bench.h: the child side of the start-up benchmark.
#pragma once

// The descriptor on which the child writes its report.
constexpr int startup_report_fd = 3;

// The child's whole program: start-up, its report, shutdown. Returns the exit status.
int run_startup_child();
