// alloc_test.cpp: vorpaline-alloc-test, no allocation after start-up. Brings the runtime up and sets the
// replay up (script, trace stream, draw log), then counts every allocation while a whole run is
// replayed from the title into a run, through its game over and back to the title, drawn, with the
// trace and its draw log written. The run is replayed twice: the first pass may only make SDL's
// one-time blit maps, the second must allocate nothing at all. Run from the data folder.
#include <SDL.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "alloc_counter.h"
#include "play_script.h"
#include "replay.h"
#include "runtime/input_script.h"
#include "runtime/sprite_sheets.h"
#include "runtime/startup.h"

namespace {

Replay replay;

// Ends in the title after the first run's game over (about tick 1660 with this pattern); the pattern
// then starts the next run, which the last ticks play.
constexpr uint32_t script_ticks = 2400;

// The trace goes to memory so that the run's course can be checked afterwards.
char trace_text[64 << 20];
char trace_buffer[1 << 16];

int checks_passed = 0, checks_failed = 0;

void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    (ok ? checks_passed : checks_failed)++;
}

// The counter must see what it is meant to see, or a zero below would prove nothing.
void check_the_counter()
{
    void *(*volatile allocate)(size_t) = std::malloc;
    start_counting();
    void *block = allocate(24);
    stop_counting();
    std::free(block);
    check(counted_allocations() == 1, "the counter sees malloc");

    start_counting();
    void *object = ::operator new(24); // a call, which unlike a new-expression may not be left out
    stop_counting();
    ::operator delete(object);
    check(counted_allocations() == 1, "the counter sees operator new");

    start_counting();
    SDL_Surface *surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 8, 0, 0, 0, 0);
    stop_counting();
    SDL_FreeSurface(surface);
    check(counted_allocations() > 0, "the counter sees SDL's allocations");
}

// Whether SDL_UpperBlit is on the allocation's stack.
bool inside_first_blit(const CaughtAllocation &allocation)
{
    for (int f = 0; f < allocation.depth; f++) {
        Dl_info info{};
        if (dladdr(allocation.stack[f], &info) != 0 && info.dli_sname != nullptr &&
            std::strcmp(info.dli_sname, "SDL_UpperBlit") == 0)
            return true;
    }
    return false;
}

// What the first pass may allocate: within SDL_UpperBlit, the blit map of each surface that is blitted
// from (the font, each sheet, the back buffer onto the screen). A map is built at its surface's first
// blit; SDL 2 makes one allocation for it, classic SDL up to two (the map's colour table as well).
void check_first_pass()
{
    uint64_t counted = counted_allocations();
    std::printf("%llu allocations in the first pass\n", static_cast<unsigned long long>(counted));
    bool all_in_blit = true;
    for (int n = 0; n < caught_count(); n++) {
        print_caught(caught(n));
        all_in_blit = all_in_blit && inside_first_blit(caught(n));
    }
    const uint64_t blitted_surfaces = static_cast<uint64_t>(sheet_count) + 2;
    check(counted <= 2 * blitted_surfaces && counted <= caught_capacity,
          "the first pass allocates at most twice per blitted surface");
    check(all_in_blit, "the first pass allocates only inside SDL_UpperBlit");
}

// The index of the first trace line holding 'needle' at or after 'from', or npos.
size_t find_line(const std::string_view text, const char *needle, size_t from)
{
    size_t at = text.find(needle, from);
    return at == std::string_view::npos ? at : text.rfind('\n', at) + 1;
}

void check_the_course(std::string_view trace, uint64_t ticks)
{
    check(ticks == script_ticks, "every tick of the script was run");
    size_t game = find_line(trace, "\"scene\":\"game\"", 0);
    check(game != std::string_view::npos, "the run started");
    size_t back = game == std::string_view::npos ? game : find_line(trace, "\"scene\":\"title\"", game);
    check(back != std::string_view::npos, "the run ended in the title");
    check(trace.find("[\"sprite\",") != std::string_view::npos, "the trace holds drawn frames");
    check(trace.find("\"drawn\":0") != std::string_view::npos, "late ticks were run too");
}

std::string alloc_script()
{
    // The last 40 ticks are late: their drawing is skipped.
    std::string text = play_script(script_ticks - 40, false);
    return text + "~ 40\n";
}

} // namespace

int main()
{
    select_headless_drivers();
    if (runtime_init() != 0) {
        std::printf("FAILED: start-up\n");
        return 1;
    }
    check_the_counter();

    InputScript script;
    ScriptError error;
    if (!parse_input_script(alloc_script(), script, error)) {
        std::printf("FAILED: the script, line %u: %s\n", error.line, error.message.c_str());
        return 1;
    }
    std::FILE *trace = fmemopen(trace_text, sizeof trace_text - 1, "w");
    std::setvbuf(trace, trace_buffer, _IOFBF, sizeof trace_buffer);
    ReplayOptions options;
    options.trace = trace;
    options.draws = true;

    // The replay's own set-up: its draw log is allocated once, before the first tick.
    run_replay(replay, InputScript{}, options);

    // The first pass: SDL maps each pair of surfaces on their first blit, once for the whole program.
    start_counting();
    run_replay(replay, script, options);
    stop_counting();
    check_first_pass();

    // The second pass must allocate nothing at all, in our code or in the libraries.
    long start = std::ftell(trace);
    start_counting();
    uint64_t ticks = run_replay(replay, script, options);
    std::fflush(trace);
    stop_counting();
    uint64_t counted = counted_allocations();
    std::printf("%llu allocations while replaying %llu ticks a second time\n", static_cast<unsigned long long>(counted),
                static_cast<unsigned long long>(ticks));
    for (int n = 0; n < caught_count(); n++)
        print_caught(caught(n));
    check(counted == 0, "no allocation after start-up");

    long end = std::ftell(trace);
    check(start > 0 && end > start && end < static_cast<long>(sizeof trace_text) - 1, "the traces fitted in memory");
    if (end > start)
        check_the_course(std::string_view(trace_text + start, static_cast<size_t>(end - start)), ticks);
    std::fclose(trace);
    runtime_shutdown();
    std::printf("%d passed, %d failed\n", checks_passed, checks_failed);
    return checks_failed == 0 ? 0 : 1;
}
