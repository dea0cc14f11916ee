// changed_area.cpp: the words of a picture that changed since it was last presented, converted, and
// the bands of rows they lie in.
#include "runtime/changed_area.h"

#include <algorithm>
#include <cstring>

namespace {

// Eight pixels at a time: compared byte by byte, the search would cost a present as much as it saves.
uint64_t word_at(const uint8_t *pixels, int word)
{
    uint64_t value;
    std::memcpy(&value, pixels + 8 * word, sizeof value);
    return value;
}

// A band of rows being gathered, in words sideways.
struct Band {
    int top, bottom, left, right;
};

Rect rect_of(const Band &band)
{
    return Rect{static_cast<int16_t>(8 * band.left), static_cast<int16_t>(band.top),
                static_cast<uint16_t>(8 * (band.right - band.left)), static_cast<uint16_t>(band.bottom - band.top)};
}

} // namespace

int present_changes(const uint8_t *now, uint8_t *shown, uint32_t *rgba, const uint32_t palette[256], int width,
                    int height, Rect *areas, int max_areas)
{
    const int words = width / 8;
    int count = 0;
    bool open = false;
    Band band = {};
    for (int y = 0; y < height; y++) {
        const int row = y * words;
        int left = words, right = 0;
        for (int word = 0; word < words; word++) {
            uint64_t value = word_at(now, row + word);
            if (value == word_at(shown, row + word))
                continue;
            std::memcpy(shown + 8 * (row + word), &value, sizeof value);
            for (int k = 0; k < 8; k++)
                rgba[8 * (row + word) + k] = palette[now[8 * (row + word) + k]];
            left = std::min(left, word);
            right = word + 1;
        }
        if (right == 0)
            continue;
        if (open && (y - band.bottom < changed_rows_joined || count == max_areas - 1)) {
            band = {band.top, y + 1, std::min(band.left, left), std::max(band.right, right)};
            continue;
        }
        if (open)
            areas[count++] = rect_of(band);
        band = {y, y + 1, left, right};
        open = true;
    }
    if (open)
        areas[count++] = rect_of(band);
    return count;
}
