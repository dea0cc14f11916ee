// source_text.hpp: reading the art sources line by line and reporting errors with file:line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace artgen {

// One line of a source file, remembered with where it came from.
struct SourceLine {
    std::string text;
    int number = 0;
};

// A whole source file split into lines (without line terminators).
struct SourceText {
    std::string name;
    std::vector<SourceLine> lines;
};

// Thrown for any problem in an art source; the message names the file and line.
class SourceError : public std::runtime_error {
public:
    SourceError(const std::string& file, int line, const std::string& message);
};

SourceText read_source(const std::filesystem::path& path);
SourceText source_from_string(const std::string& name, std::string_view text);

std::string trim(std::string_view text);
std::vector<std::string> split_words(std::string_view text);
bool starts_with_word(std::string_view text, std::string_view word);

// A line that is blank or whose first non-blank character is '#'.
bool is_blank_or_comment(std::string_view text);

// The next line from `next` on that is neither blank nor a comment, with `next` moved past it; nullptr
// at the end of the file. A parser that reads rows of its own moves `next` on past them.
const SourceLine* next_content_line(const SourceText& source, std::size_t& next);

// Strict decimal integer; throws SourceError naming `file`/`line` on anything else.
int parse_number(const std::string& word, const std::string& file, int line);

void write_bytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> to_bytes(std::string_view text);

}  // namespace artgen
