// frame_list_fuzzer.cpp: any <name>.kvs through read_frame_list; the slot after the 256th frame is
// never touched.
#include <cstring>

#include "fuzz_support.h"
#include "runtime/sprite_sheets.h"

namespace {

Rect frames[max_frames + 1];
const Rect untouched{-1, -1, 0xBEEF, 0xBEEF};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quiet_stdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (Rect &frame : frames)
        frame = untouched;
    std::FILE *file = input_stream(data, size);
    read_frame_list(file, "fuzz.kvs", frames);
    std::fclose(file);
    const Rect &after = frames[max_frames];
    FUZZ_CHECK(after.x == untouched.x && after.y == untouched.y && after.w == untouched.w && after.h == untouched.h);
    return 0;
}
