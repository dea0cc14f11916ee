// trace_compare.cpp: vorpaline-trace-compare EXPECTED ACTUAL
//
// Compares two replay traces line by line and, at the first difference, prints the tick and the key
// whose values differ, with both values. Exit status 0 when equal, 1 when they differ, 2 on error.
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// The innermost "key": that starts before position 'at' in a trace line.
std::string key_before(const std::string &line, size_t at)
{
    for (size_t i = at; i-- > 0;) {
        if (line[i] == ':' && i > 0 && line[i - 1] == '"') {
            size_t open = line.rfind('"', i - 2);
            if (open != std::string::npos)
                return line.substr(open + 1, i - 2 - open);
        }
    }
    return "(start)";
}

// The value around position 'at': from the opening bracket or comma before it to the next one.
std::string value_around(const std::string &line, size_t at)
{
    if (at >= line.size())
        return "(end of line)";
    size_t start = line.find_last_of("[{,", at);
    size_t end = line.find_first_of("]},", at);
    start = start == std::string::npos ? 0 : start + 1;
    if (end == std::string::npos)
        end = line.size();
    return line.substr(start, end - start);
}

std::string tick_of(const std::string &line)
{
    size_t p = line.find("\"tick\":");
    if (p == std::string::npos)
        return "?";
    size_t end = line.find(',', p);
    return line.substr(p + 7, end - p - 7);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorpaline-trace-compare EXPECTED ACTUAL\n");
        return 2;
    }
    std::ifstream expected(argv[1]), actual(argv[2]);
    if (!expected || !actual) {
        std::fprintf(stderr, "vorpaline-trace-compare: can't read %s\n", !expected ? argv[1] : argv[2]);
        return 2;
    }
    std::string a, b;
    for (unsigned line = 1;; line++) {
        bool more_a = static_cast<bool>(std::getline(expected, a));
        bool more_b = static_cast<bool>(std::getline(actual, b));
        if (!more_a && !more_b)
            return 0;
        if (more_a != more_b) {
            std::printf("traces differ in length: line %u is only in the %s trace (tick %s)\n", line,
                        more_a ? "expected" : "actual", tick_of(more_a ? a : b).c_str());
            return 1;
        }
        if (a == b)
            continue;
        size_t at = 0;
        while (at < a.size() && at < b.size() && a[at] == b[at])
            at++;
        std::printf("first difference at tick %s (line %u), key \"%s\": expected %s, got %s\n", tick_of(a).c_str(),
                    line, key_before(a, at).c_str(), value_around(a, at).c_str(), value_around(b, at).c_str());
        return 1;
    }
}
