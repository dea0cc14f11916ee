// fuzz_support.h: what the fuzz targets share: a quiet standard output, a stream over the input, and a
// check that stops the run as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The readers echo every line they read; the fuzzers send all of it to /dev/null, once, at start-up.
inline void quiet_stdout()
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
}

// A read-only stream over the input, as the readers get from fopen. fmemopen refuses a size of 0, so
// the empty input is read from /dev/null instead.
inline std::FILE *input_stream(const uint8_t *data, size_t size)
{
    std::FILE *file = size == 0 ? std::fopen("/dev/null", "r") : fmemopen(const_cast<uint8_t *>(data), size, "r");
    if (file == nullptr)
        std::abort();
    return file;
}

// A reader broke one of its promises: report it and stop as libFuzzer's crash.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)
