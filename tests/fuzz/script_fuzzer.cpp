// script_fuzzer.cpp: any submission through the score server's verification, with small bounds: the
// checks, the parse, and the script played on the game's own code. A refusal says why in one line
// (a malformed line by a number the text has); an accepted run keeps within the bounds; the same
// script played twice, and its canonical inputs played as a script, give the same answer.
#include <algorithm>
#include <string_view>

#include "fuzz_support.h"
#include "verify.h"

namespace {

// Small enough for many executions a second with every tick drawn, large enough for the seed of a
// whole run to a game over (1,768 ticks, none drawn).
constexpr VerifyLimits fuzz_limits = {4096, 1800};

bool same(const Verification &a, const Verification &b)
{
    return a.fault == b.fault && a.message == b.message && a.inputs == b.inputs && a.run.score == b.run.score &&
           a.run.hard == b.run.hard && a.run.cleared == b.run.cleared && a.run.ticks == b.run.ticks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string_view text(reinterpret_cast<const char *>(data), size);
    Verification first = verify_script(text, fuzz_limits);
    FUZZ_CHECK(first.message.find('\n') == std::string::npos);
    FUZZ_CHECK((first.fault == VerifyFault::none) == first.message.empty());
    switch (first.fault) {
    case VerifyFault::none:
        FUZZ_CHECK(first.run.ticks < fuzz_limits.max_ticks);
        break;
    case VerifyFault::too_large:
        FUZZ_CHECK(size > fuzz_limits.max_bytes);
        break;
    case VerifyFault::malformed_line: {
        unsigned line = 0;
        FUZZ_CHECK(std::sscanf(first.message.c_str(), "line %u:", &line) == 1);
        FUZZ_CHECK(line >= 1 && line <= static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        break;
    }
    default:
        break;
    }
    if (first.fault == VerifyFault::none || first.fault == VerifyFault::no_finished_run) {
        FUZZ_CHECK(same(first, verify_script(text, fuzz_limits)));
        Verification canonical = verify_script(first.inputs, fuzz_limits);
        FUZZ_CHECK(canonical.fault == first.fault && canonical.inputs == first.inputs &&
                   canonical.run.score == first.run.score && canonical.run.ticks == first.run.ticks);
    }
    return 0;
}
