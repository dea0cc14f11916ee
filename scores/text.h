// text.h: what the server accepts as text: UTF-8 read strictly, code point by code point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads the code point at 'pos' and moves 'pos' past it. False, with 'pos' unchanged, for anything
// but the shortest encoding of a code point up to U+10FFFF outside the surrogates.
bool next_code_point(std::string_view text, size_t &pos, uint32_t &code_point);

// A control character: C0 (U+0000 to U+001F), DEL, or C1 (U+0080 to U+009F).
constexpr bool is_control(uint32_t code_point)
{
    return code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F);
}

// Valid UTF-8 throughout, with no control character but tab, carriage return and line feed: a script
// as the recorder and the browser write it. A NUL or a byte of a binary file fails here.
bool is_plain_text(std::string_view text);
