// changed_area.h: a present that converts and hands over only what changed since the last one: on the
// title a blinking cursor, in a run the sprites of the playfield's column.
#pragma once

#include <cstdint>

#include "runtime/pixels.h"

// Changed rows at most this far apart go into one rectangle: handing a rectangle to the canvas costs
// about as much as a few rows of pixels.
constexpr int changed_rows_joined = 8;

// Brings 'shown' (the picture as last presented) and 'rgba' (its colours through 'palette', 4 bytes a
// pixel) up to date with 'now', eight pixels at a time: only the words of 'now' that differ from
// 'shown' are looked up. Writes into 'areas' rectangles, top to bottom and apart, that hold every pixel
// that changed, their sides on multiples of 8 pixels, and gives their number: 0 when nothing changed,
// never more than 'max_areas' (the last one then takes in every change below it). The pictures are
// 'width' x 'height' bytes, row after row, 'width' a multiple of 8.
int present_changes(const uint8_t *now, uint8_t *shown, uint32_t *rgba, const uint32_t palette[256], int width,
                    int height, Rect *areas, int max_areas);
