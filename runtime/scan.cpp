// scan.cpp: scanf-like directives for the data-file readers.
#include "runtime/scan.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

} // namespace

void scan_blanks(const char *&p)
{
    while (is_blank(*p))
        p++;
}

bool scan_int(const char *&p, int32_t &value)
{
    const char *q = p;
    scan_blanks(q);
    bool negative = false;
    if (*q == '+' || *q == '-') {
        negative = *q == '-';
        q++;
    }
    if (!is_digit(*q))
        return false;
    uint32_t magnitude = 0;
    while (is_digit(*q))
        magnitude = magnitude * 10u + static_cast<uint32_t>(*q++ - '0'); // unsigned: wraps, never overflows
    value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
    p = q;
    return true;
}

bool scan_word(const char *&p, char *word, size_t capacity)
{
    const char *q = p;
    scan_blanks(q);
    size_t n = 0;
    while (*q != '\0' && !is_blank(*q) && n + 1 < capacity)
        word[n++] = *q++;
    if (n == 0)
        return false;
    word[n] = '\0';
    p = q;
    return true;
}

bool scan_char(const char *&p, char c)
{
    if (*p != c)
        return false;
    p++;
    return true;
}
