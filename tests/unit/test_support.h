// test_support.h: helpers shared by the unit tests.
#pragma once

#include <cstdio>
#include <string>

#include <unistd.h>

// An in-memory stream over 'text', for the data-file readers.
inline std::FILE *text_stream(const std::string &text)
{
    // fmemopen with a size of 0 is not allowed; an empty text gets a one-byte buffer read as empty.
    static std::string storage[64];
    static int next = 0;
    std::string &kept = storage[next++ % 64];
    kept = text;
    if (kept.empty())
        return std::fopen("/dev/null", "r");
    return fmemopen(kept.data(), kept.size(), "r");
}

// Runs 'body' with standard output captured, and returns what it printed.
template <typename Body> std::string capture_stdout(Body body)
{
    std::fflush(stdout);
    std::FILE *capture = std::tmpfile();
    int saved = dup(fileno(stdout));
    dup2(fileno(capture), fileno(stdout));
    body();
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
    std::string out;
    std::rewind(capture);
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, capture)) > 0)
        out.append(chunk, n);
    std::fclose(capture);
    return out;
}
