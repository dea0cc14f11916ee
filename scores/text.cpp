// text.cpp: a strict UTF-8 reader.
#include "text.h"

bool next_code_point(std::string_view text, size_t &pos, uint32_t &code_point)
{
    if (pos >= text.size())
        return false;
    auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    uint8_t lead = byte(pos);
    size_t length;
    uint32_t value, least;
    if (lead < 0x80) {
        code_point = lead;
        pos += 1;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return false; // a continuation byte, or a lead byte no code point has
    }
    if (text.size() - pos < length)
        return false;
    for (size_t i = 1; i < length; i++) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (value < least || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return false;
    code_point = value;
    pos += length;
    return true;
}

bool is_plain_text(std::string_view text)
{
    size_t pos = 0;
    uint32_t code_point;
    while (pos < text.size()) {
        if (!next_code_point(text, pos, code_point))
            return false;
        if (is_control(code_point) && code_point != '\t' && code_point != '\r' && code_point != '\n')
            return false;
    }
    return true;
}
