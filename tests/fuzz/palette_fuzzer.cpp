// palette_fuzzer.cpp: any krvcolor.ini through read_palette; the fourth byte of every entry stays 0.
#include "fuzz_support.h"
#include "runtime/palette.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quiet_stdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (Colour &entry : palette)
        entry = Colour{0, 0, 0, 0};
    std::FILE *file = input_stream(data, size);
    read_palette(file);
    std::fclose(file);
    for (const Colour &entry : palette)
        FUZZ_CHECK(entry.unused == 0);
    return 0;
}
