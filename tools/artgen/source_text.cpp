// source_text.cpp: line reading, word splitting and number parsing for the art sources.
#include "source_text.hpp"

#include <cctype>
#include <fstream>
#include <sstream>

namespace artgen {

SourceError::SourceError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}

SourceText source_from_string(const std::string& name, std::string_view text) {
    SourceText source;
    source.name = name;
    int number = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        source.lines.push_back({line, number});
        ++number;
        start = end + 1;
    }
    return source;
}

SourceText read_source(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw SourceError(path.string(), 0, "cannot open file");
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    return source_from_string(path.filename().string(), contents.str());
}

std::string trim(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    std::size_t last = text.size();
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

std::vector<std::string> split_words(std::string_view text) {
    std::vector<std::string> words;
    std::istringstream in{std::string(text)};
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

bool starts_with_word(std::string_view text, std::string_view word) {
    const std::vector<std::string> words = split_words(text);
    return !words.empty() && words.front() == word;
}

bool is_blank_or_comment(std::string_view text) {
    const std::string trimmed = trim(text);
    return trimmed.empty() || trimmed.front() == '#';
}

const SourceLine* next_content_line(const SourceText& source, std::size_t& next) {
    while (next < source.lines.size()) {
        const SourceLine& line = source.lines[next++];
        if (!is_blank_or_comment(line.text)) {
            return &line;
        }
    }
    return nullptr;
}

int parse_number(const std::string& word, const std::string& file, int line) {
    if (word.empty() || word.size() > 9) {
        throw SourceError(file, line, "expected a number, got '" + word + "'");
    }
    int value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') {
            throw SourceError(file, line, "expected a number, got '" + word + "'");
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

void write_bytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("failed writing " + path.string());
    }
}

std::vector<std::uint8_t> to_bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace artgen
