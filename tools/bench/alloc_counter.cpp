// alloc_counter.cpp: the replaced allocation functions. Every call made by the program or by the
// libraries it loads (SDL, the C and C++ libraries) reaches these, since a function defined in the
// executable takes precedence over the same name in a shared library.
#include "alloc_counter.h"

#include <dlfcn.h>
#include <errno.h>
#include <execinfo.h>

#include <atomic>
#include <cstdio>
#include <new>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<uint64_t> allocations{0};
std::atomic<int> caught_used{0};
CaughtAllocation caught_list[caught_capacity];
thread_local bool noting = false; // backtrace() must not count what it might allocate itself

void note(size_t size)
{
    if (!counting.load(std::memory_order_relaxed) || noting)
        return;
    noting = true;
    allocations.fetch_add(1, std::memory_order_relaxed);
    int n = caught_used.fetch_add(1, std::memory_order_relaxed);
    if (n < caught_capacity) {
        caught_list[n].size = size;
        caught_list[n].depth = backtrace(caught_list[n].stack, caught_stack_depth);
    }
    noting = false;
}

bool valid_alignment(size_t alignment) { return alignment >= sizeof(void *) && (alignment & (alignment - 1)) == 0; }

} // namespace

void start_counting()
{
    // backtrace() loads its unwinder on first use, which allocates: do that now, outside the count.
    void *frames[4];
    backtrace(frames, 4);
    allocations = 0;
    caught_used = 0;
    counting = true;
}

void stop_counting() { counting = false; }

uint64_t counted_allocations() { return allocations.load(); }

int caught_count()
{
    int n = caught_used.load();
    return n < caught_capacity ? n : caught_capacity;
}

const CaughtAllocation &caught(int n) { return caught_list[n]; }

void print_caught(const CaughtAllocation &allocation)
{
    std::printf("  %zu bytes, from:\n", allocation.size);
    // Frame 0 is note() itself, frame 1 the replaced function.
    for (int f = 2; f < allocation.depth; f++) {
        Dl_info info{};
        void *address = allocation.stack[f];
        if (dladdr(address, &info) != 0 && info.dli_fname != nullptr) {
            auto offset = static_cast<const char *>(address) - static_cast<const char *>(info.dli_fbase);
            std::printf("    %s+0x%tx %s\n", info.dli_fname, offset, info.dli_sname != nullptr ? info.dli_sname : "?");
        } else {
            std::printf("    %p\n", address);
        }
    }
}

extern "C" {

void *malloc(size_t size)
{
    note(size);
    return __libc_malloc(size);
}

void *calloc(size_t count, size_t size)
{
    note(count * size);
    return __libc_calloc(count, size);
}

void *realloc(void *pointer, size_t size)
{
    note(size);
    return __libc_realloc(pointer, size);
}

void free(void *pointer) { __libc_free(pointer); }

void *memalign(size_t alignment, size_t size)
{
    note(size);
    return __libc_memalign(alignment, size);
}

void *aligned_alloc(size_t alignment, size_t size)
{
    note(size);
    return __libc_memalign(alignment, size);
}

int posix_memalign(void **out, size_t alignment, size_t size)
{
    if (!valid_alignment(alignment))
        return EINVAL;
    note(size);
    void *pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr)
        return ENOMEM;
    *out = pointer;
    return 0;
}

void *valloc(size_t size)
{
    note(size);
    return __libc_memalign(4096, size);
}

} // extern "C"

void *operator new(size_t size)
{
    void *pointer = malloc(size == 0 ? 1 : size);
    if (pointer == nullptr)
        throw std::bad_alloc();
    return pointer;
}

void *operator new[](size_t size) { return operator new(size); }

void *operator new(size_t size, const std::nothrow_t &) noexcept { return malloc(size == 0 ? 1 : size); }

void *operator new[](size_t size, const std::nothrow_t &) noexcept { return malloc(size == 0 ? 1 : size); }

void *operator new(size_t size, std::align_val_t alignment)
{
    void *pointer = aligned_alloc(static_cast<size_t>(alignment), size == 0 ? 1 : size);
    if (pointer == nullptr)
        throw std::bad_alloc();
    return pointer;
}

void *operator new[](size_t size, std::align_val_t alignment) { return operator new(size, alignment); }

void operator delete(void *pointer) noexcept { free(pointer); }
void operator delete[](void *pointer) noexcept { free(pointer); }
void operator delete(void *pointer, size_t) noexcept { free(pointer); }
void operator delete[](void *pointer, size_t) noexcept { free(pointer); }
void operator delete(void *pointer, std::align_val_t) noexcept { free(pointer); }
void operator delete[](void *pointer, std::align_val_t) noexcept { free(pointer); }
void operator delete(void *pointer, size_t, std::align_val_t) noexcept { free(pointer); }
void operator delete[](void *pointer, size_t, std::align_val_t) noexcept { free(pointer); }
