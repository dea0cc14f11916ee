// font_source.cpp: parsing the glyph grids and placing them in the font bitmap.
#include "font_source.hpp"

#include <vector>

namespace artgen {
namespace {

constexpr int unknown_code = -1;

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int parse_code(const std::string& word, const std::string& file, int line) {
    if (word == "unknown") {
        return unknown_code;
    }
    if (word.size() != 4 || word[0] != '0' || word[1] != 'x' || hex_digit(word[2]) < 0 ||
        hex_digit(word[3]) < 0) {
        throw SourceError(file, line, "expected a character code like 0x41, got '" + word + "'");
    }
    const int code = hex_digit(word[2]) * 16 + hex_digit(word[3]);
    if (code < 0x20 || code > 0x7F) {
        throw SourceError(file, line, "character " + word + " is outside 0x20..0x7F");
    }
    return code;
}

Glyph read_glyph(const SourceText& source, std::size_t first, int header_line) {
    Glyph glyph{};
    for (int row = 0; row < 8; ++row) {
        if (first + row >= source.lines.size()) {
            throw SourceError(source.name, header_line, "glyph ends before its eighth row");
        }
        const SourceLine& line = source.lines[first + row];
        const std::string cells = trim(line.text);
        if (cells.size() != 8) {
            throw SourceError(source.name, line.number, "glyph rows are eight cells wide");
        }
        for (int col = 0; col < 8; ++col) {
            if (cells[col] != '#' && cells[col] != '.') {
                throw SourceError(source.name, line.number, "glyph cells are '#' or '.'");
            }
            glyph[row][col] = cells[col] == '#';
        }
    }
    return glyph;
}

void place_glyph(IndexedImage& image, const Glyph& glyph, int left, int top, std::uint8_t ink) {
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 8; ++col) {
            image.set(left + col, top + row, glyph[row][col] ? ink : 0);
        }
    }
}

}  // namespace

FontSource parse_font_source(const SourceText& source) {
    FontSource font;
    std::array<bool, 96> have{};
    bool have_unknown = false;
    bool have_ink = false;

    std::size_t i = 0;
    while (const SourceLine* next = next_content_line(source, i)) {
        const SourceLine& line = *next;
        const std::vector<std::string> words = split_words(line.text);
        if (words[0] == "ink" && words.size() == 2) {
            const int ink = parse_number(words[1], source.name, line.number);
            if (ink < 1 || ink > 255) {
                throw SourceError(source.name, line.number, "ink must be a palette index 1..255");
            }
            font.ink = static_cast<std::uint8_t>(ink);
            have_ink = true;
            continue;
        }
        if (words[0] != "char" || words.size() < 2) {
            throw SourceError(source.name, line.number, "expected 'ink N' or 'char 0xHH name'");
        }
        const int code = parse_code(words[1], source.name, line.number);
        if (code != unknown_code && words.size() >= 3 && words[2].size() == 1 &&
            words[2][0] != static_cast<char>(code)) {
            throw SourceError(source.name, line.number, "glyph name '" + words[2] + "' does not match " + words[1]);
        }
        const Glyph glyph = read_glyph(source, i, line.number);
        i += 8;
        if (code == unknown_code) {
            if (have_unknown) {
                throw SourceError(source.name, line.number, "unknown glyph given twice");
            }
            font.unknown = glyph;
            have_unknown = true;
        } else {
            if (have[code - 0x20]) {
                throw SourceError(source.name, line.number, "glyph " + words[1] + " given twice");
            }
            font.glyphs[code - 0x20] = glyph;
            have[code - 0x20] = true;
        }
    }

    if (!have_ink) {
        throw SourceError(source.name, 0, "missing 'ink N'");
    }
    for (int code = 0x20; code <= 0x7F; ++code) {
        if (!have[code - 0x20]) {
            throw SourceError(source.name, 0, "missing glyph for character " + std::to_string(code));
        }
    }
    if (!have_unknown) {
        throw SourceError(source.name, 0, "missing 'char unknown'");
    }
    return font;
}

IndexedImage build_font_image(const FontSource& font) {
    IndexedImage image(128, 64);
    for (int code = 0x20; code <= 0x7F; ++code) {
        place_glyph(image, font.glyphs[code - 0x20], 8 * (code % 16), 8 * ((code - 0x20) / 16), font.ink);
    }
    place_glyph(image, font.unknown, 56, 56, font.ink);
    return image;
}

}  // namespace artgen
