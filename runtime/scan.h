// scan.h: the few pieces of formatted scanning that the data-file readers need.
//
// They behave like the C library's scanf directives on a text line ("%d", "%s", a blank, a literal
// character), without the undefined behaviour of "%d" on a number too large for an int: digits beyond
// the 32-bit range wrap, and every reader keeps only the low 8 or 16 bits anyway.
#pragma once

#include <cstddef>
#include <cstdint>

// A blank in a scan pattern: skips any run of white space, possibly empty.
void scan_blanks(const char *&p);

// "%d": optional white space, an optional sign, at least one decimal digit. On failure p is unchanged.
bool scan_int(const char *&p, int32_t &value);

// "%Ns": optional white space, then a run of at most 'capacity' - 1 non-blank characters, stored with
// a terminator. Fails (storing nothing) when the line holds no word.
bool scan_word(const char *&p, char *word, size_t capacity);

// A literal character of a scan pattern.
bool scan_char(const char *&p, char c);
