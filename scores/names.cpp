// names.cpp: trims and checks a submitted name.
#include "names.h"

#include <cstdint>

#include "text.h"

namespace {

// Unicode's White_Space characters: trimmed from both ends (the C0 and C1 ones are refused inside).
bool is_blank(uint32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Shown in a table row, these would end the line or reorder the text after the name: the line and
// paragraph separators, and the bidirectional embeddings, overrides and isolates.
bool breaks_the_line(uint32_t c)
{
    return c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

bool check_name(std::string_view submitted, std::string &name, std::string &error)
{
    // Valid UTF-8 throughout, and where the text between the blanks at both ends lies.
    constexpr size_t none = std::string_view::npos;
    size_t pos = 0, begin = none, end = 0;
    uint32_t c;
    while (pos < submitted.size()) {
        size_t at = pos;
        if (!next_code_point(submitted, pos, c)) {
            error = "the name is not valid UTF-8";
            return false;
        }
        if (!is_blank(c)) {
            if (begin == none)
                begin = at;
            end = pos;
        }
    }
    if (begin == none) {
        error = "the name is empty";
        return false;
    }
    std::string_view trimmed = submitted.substr(begin, end - begin);
    size_t characters = 0;
    for (pos = 0; pos < trimmed.size(); characters++) {
        next_code_point(trimmed, pos, c);
        if (is_control(c) || breaks_the_line(c)) {
            error = "the name has a control character";
            return false;
        }
    }
    if (characters > max_name_characters) {
        error = "the name is longer than " + std::to_string(max_name_characters) + " characters";
        return false;
    }
    name = trimmed;
    return true;
}
