// scores_verify_bench.cpp: vorpaline-scores-verify-bench SCRIPT... [--repeat N]: how long the
// score server's verification of each script takes in this thread: the checks, the parse and the
// script played (drawn where it says). Prints the best and the median of N runs, wall and thread CPU
// time, and what verification made of the script. Pin it to one core with taskset -c 0.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "verify.h"

namespace {

double thread_cpu_ms()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double wall_ms()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    int repeat = 5;
    std::vector<std::string> scripts;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else
            scripts.push_back(argv[i]);
    }
    if (scripts.empty()) {
        std::fprintf(stderr, "usage: vorpaline-scores-verify-bench SCRIPT... [--repeat N]\n");
        return 2;
    }
    std::printf("%-28s %7s %7s %10s %10s %10s  %s\n", "script", "ticks", "drawn", "best wall", "median", "median CPU",
                "verified");
    for (const std::string &path : scripts) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        std::string script = text.str();
        std::vector<double> wall, cpu;
        Verification result;
        for (int n = 0; n < repeat; n++) {
            double w = wall_ms(), c = thread_cpu_ms();
            result = verify_script(script);
            wall.push_back(wall_ms() - w);
            cpu.push_back(thread_cpu_ms() - c);
        }
        // The ticks of the script and how many of them it lets be drawn, from its canonical form.
        uint64_t ticks = 0, drawn = 0;
        std::istringstream inputs(result.inputs);
        std::string keys;
        uint64_t count;
        while (inputs >> keys >> count) {
            ticks += count;
            if (keys.find('~') == std::string::npos)
                drawn += count;
        }
        std::string name = path.substr(path.rfind('/') + 1);
        std::string verdict = result.fault == VerifyFault::none
                                  ? "score " + std::to_string(result.run.score) + ", run of " +
                                        std::to_string(result.run.ticks) + " ticks"
                                  : result.message;
        std::printf("%-28s %7llu %7llu %7.1f ms %7.1f ms %7.1f ms  %s\n", name.c_str(),
                    static_cast<unsigned long long>(ticks), static_cast<unsigned long long>(drawn),
                    *std::min_element(wall.begin(), wall.end()), median(wall), median(cpu), verdict.c_str());
    }
    return 0;
}
