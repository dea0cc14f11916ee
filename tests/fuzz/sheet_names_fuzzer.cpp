// sheet_names_fuzzer.cpp: any kvs.ini through read_sheet_names. At most 256 entries are written, each a
// terminated name of non-blank characters (or empty), and the row after the 256th is never touched.
#include <cstring>

#include "fuzz_support.h"
#include "runtime/sprite_sheets.h"

namespace {

char names[max_sheets + 1][sheet_name_capacity];

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quiet_stdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::memset(names, 'X', sizeof names);
    std::FILE *file = input_stream(data, size);
    int count = read_sheet_names(file, names);
    std::fclose(file);
    FUZZ_CHECK(count >= 0 && count <= max_sheets);
    for (int i = 0; i < count; i++) {
        size_t length = strnlen(names[i], sheet_name_capacity);
        FUZZ_CHECK(length < sheet_name_capacity);
        for (size_t c = 0; c < length; c++)
            FUZZ_CHECK(!is_blank(names[i][c]));
    }
    for (char c : names[max_sheets])
        FUZZ_CHECK(c == 'X');
    return 0;
}
