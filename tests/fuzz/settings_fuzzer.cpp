// settings_fuzzer.cpp: any krv.ini through read_settings; the two settings stay 0 or 1.
#include "fuzz_support.h"
#include "runtime/settings.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quiet_stdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    default_settings();
    std::FILE *file = input_stream(data, size);
    read_settings(file);
    std::fclose(file);
    FUZZ_CHECK(fullscreen <= 1);
    FUZZ_CHECK(show_fps <= 1);
    return 0;
}
