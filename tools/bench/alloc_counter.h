// alloc_counter.h: the allocation counter of the no-allocation test. The test binary replaces malloc,
// calloc, realloc, the aligned allocators and the global operator new; each forwards to the C
// library's own allocator and, while counting is on, counts the call and keeps its call stack.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int caught_stack_depth = 24;
constexpr int caught_capacity = 32;

struct CaughtAllocation {
    size_t size;
    int depth;
    void *stack[caught_stack_depth];
};

void start_counting();
void stop_counting();
uint64_t counted_allocations();

// The first caught_capacity allocations counted since start_counting.
int caught_count();
const CaughtAllocation &caught(int n);

// Prints a caught allocation's stack, one frame a line, with the object file and symbol of each.
void print_caught(const CaughtAllocation &allocation);
