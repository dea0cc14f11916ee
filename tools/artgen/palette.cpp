// palette.cpp: parsing the palette source (stops and ramps) and checking its rules.
#include "palette.hpp"

#include <map>
#include <optional>
#include <vector>

namespace artgen {
namespace {

struct Stop {
    int index = 0;
    Rgb colour;
};

std::uint8_t channel(const std::string& word, const std::string& file, int line) {
    const int value = parse_number(word, file, line);
    if (value > 255) {
        throw SourceError(file, line, "colour channel " + word + " is above 255");
    }
    return static_cast<std::uint8_t>(value);
}

// Parses "12 (10 20 30) 15 (40 50 60)" into stops; parentheses group a colour.
std::vector<Stop> parse_stops(const std::string& text, const std::string& file, int line) {
    std::string spaced;
    for (char c : text) {
        if (c == '(' || c == ')') {
            spaced += ' ';
            spaced += c;
            spaced += ' ';
        } else {
            spaced += c;
        }
    }
    const std::vector<std::string> words = split_words(spaced);
    std::vector<Stop> stops;
    std::size_t i = 0;
    while (i < words.size()) {
        if (i + 6 > words.size()) {
            throw SourceError(file, line, "expected INDEX (R G B)");
        }
        if (words[i + 1] != "(" || words[i + 5] != ")") {
            throw SourceError(file, line, "expected INDEX (R G B)");
        }
        Stop stop;
        stop.index = parse_number(words[i], file, line);
        if (stop.index > 255) {
            throw SourceError(file, line, "palette index " + words[i] + " is above 255");
        }
        stop.colour = {channel(words[i + 2], file, line), channel(words[i + 3], file, line),
                       channel(words[i + 4], file, line)};
        stops.push_back(stop);
        i += 6;
    }
    return stops;
}

std::uint8_t blend(int from, int to, int step, int steps) {
    return static_cast<std::uint8_t>((from * (steps - step) + to * step + steps / 2) / steps);
}

Rgb interpolate(const Stop& a, const Stop& b, int index) {
    const int steps = b.index - a.index;
    const int step = index - a.index;
    return {blend(a.colour.r, b.colour.r, step, steps), blend(a.colour.g, b.colour.g, step, steps),
            blend(a.colour.b, b.colour.b, step, steps)};
}

}  // namespace

Palette parse_palette(const SourceText& source) {
    std::array<std::optional<Rgb>, 256> entries;
    std::array<int, 256> defined_on{};
    auto define = [&](int index, Rgb colour, int line) {
        if (entries[index]) {
            throw SourceError(source.name, line,
                              "palette index " + std::to_string(index) + " already given on line " +
                                  std::to_string(defined_on[index]));
        }
        entries[index] = colour;
        defined_on[index] = line;
    };

    for (const SourceLine& line : source.lines) {
        const std::string text = trim(line.text.substr(0, line.text.find('#')));
        if (text.empty()) {
            continue;
        }
        const std::vector<Stop> stops = parse_stops(text, source.name, line.number);
        define(stops.front().index, stops.front().colour, line.number);
        for (std::size_t s = 1; s < stops.size(); ++s) {
            const Stop& a = stops[s - 1];
            const Stop& b = stops[s];
            if (b.index <= a.index) {
                throw SourceError(source.name, line.number, "ramp stops must rise");
            }
            for (int index = a.index + 1; index <= b.index; ++index) {
                define(index, interpolate(a, b, index), line.number);
            }
        }
    }

    Palette palette;
    std::map<Rgb, int> seen;
    for (int index = 0; index < 256; ++index) {
        if (!entries[index]) {
            throw SourceError(source.name, 0, "palette index " + std::to_string(index) + " is missing");
        }
        palette[index] = *entries[index];
        auto [where, inserted] = seen.emplace(palette[index], index);
        if (!inserted) {
            throw SourceError(source.name, defined_on[index],
                              "palette index " + std::to_string(index) + " repeats the colour of index " +
                                  std::to_string(where->second));
        }
    }
    if (palette[0] != Rgb{0, 0, 0}) {
        throw SourceError(source.name, defined_on[0], "palette index 0 must be black (the transparent key)");
    }
    return palette;
}

std::string palette_ini_text(const Palette& palette) {
    std::string text;
    for (const Rgb& c : palette) {
        text += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\n";
    }
    return text;
}

}  // namespace artgen
