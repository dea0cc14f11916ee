// sprite_source.cpp: parsing legends and frame grids of the sprite sources.
#include "sprite_source.hpp"

#include <array>
#include <map>

namespace artgen {
namespace {

struct FrameSize {
    int width = 0;
    int height = 0;
};

FrameSize parse_size(const std::string& word, const std::string& file, int line) {
    const std::size_t x = word.find('x');
    if (x == std::string::npos) {
        throw SourceError(file, line, "expected a size WxH, got '" + word + "'");
    }
    FrameSize size{parse_number(word.substr(0, x), file, line), parse_number(word.substr(x + 1), file, line)};
    if (size.width <= 0 || size.height <= 0 || size.width > 256 || size.height > 256) {
        throw SourceError(file, line, "frame size " + word + " is out of range");
    }
    return size;
}

bool is_legend_line(const std::vector<std::string>& words) {
    return words.size() >= 3 && words[0].size() == 1 && words[1] == "=";
}

}  // namespace

SpriteSheetSource parse_sprite_source(const SourceText& source) {
    const std::string& file = source.name;
    std::array<std::optional<std::uint8_t>, 256> legend;
    std::map<int, std::optional<IndexedImage>> frames;
    bool seen_frame = false;

    std::size_t i = 0;
    while (const SourceLine* next = next_content_line(source, i)) {
        const SourceLine& line = *next;
        const std::vector<std::string> words = split_words(line.text);
        if (is_legend_line(words)) {
            if (seen_frame) {
                throw SourceError(file, line.number, "legend entries must come before the frames");
            }
            const unsigned char c = static_cast<unsigned char>(words[0][0]);
            const int index = parse_number(words[2], file, line.number);
            if (index > 255) {
                throw SourceError(file, line.number, "palette index " + words[2] + " is above 255");
            }
            if (legend[c]) {
                throw SourceError(file, line.number, std::string("legend character '") + words[0] + "' given twice");
            }
            legend[c] = static_cast<std::uint8_t>(index);
            continue;
        }
        if (words[0] != "frame" || words.size() < 3) {
            throw SourceError(file, line.number, "expected 'c = N' or 'frame K WxH'");
        }
        seen_frame = true;
        const int number = parse_number(words[1], file, line.number);
        if (frames.count(number) != 0) {
            throw SourceError(file, line.number, "frame " + words[1] + " given twice");
        }
        if (words[2] == "unused") {
            frames[number] = std::nullopt;
            continue;
        }
        const FrameSize size = parse_size(words[2], file, line.number);
        IndexedImage image(size.width, size.height);
        for (int row = 0; row < size.height; ++row, ++i) {
            if (i >= source.lines.size()) {
                throw SourceError(file, line.number, "frame " + words[1] + " ends before its last row");
            }
            const SourceLine& grid_line = source.lines[i];
            const std::string cells = trim(grid_line.text);
            if (static_cast<int>(cells.size()) != size.width) {
                throw SourceError(file, grid_line.number,
                                  "row is " + std::to_string(cells.size()) + " wide, frame is " +
                                      std::to_string(size.width));
            }
            for (int col = 0; col < size.width; ++col) {
                const unsigned char c = static_cast<unsigned char>(cells[col]);
                if (!legend[c]) {
                    throw SourceError(file, grid_line.number,
                                      std::string("character '") + cells[col] + "' is not in the legend");
                }
                image.set(col, row, *legend[c]);
            }
        }
        frames[number] = std::move(image);
    }

    SpriteSheetSource sheet;
    int expected = 0;
    for (auto& [number, image] : frames) {
        if (number != expected) {
            throw SourceError(file, 0, "frame " + std::to_string(expected) + " is missing");
        }
        sheet.frames.push_back(std::move(image));
        ++expected;
    }
    if (sheet.frames.empty()) {
        throw SourceError(file, 0, "no frames");
    }
    return sheet;
}

}  // namespace artgen
