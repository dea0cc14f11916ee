// sprite_sheets.h: the sheet table. A sprite is (sheet, frame): the 0-based line of the sheet's name in
// kvs.ini and the 0-based line of the frame's rectangle in <name>.kvs.
#pragma once

#include <cstdint>
#include <cstdio>

#include "runtime/pixels.h"

struct Image;

constexpr int max_sheets = 256;
constexpr int max_frames = 256;
constexpr int sheet_name_capacity = 16; // a name read from a 16-byte line buffer

struct SpriteSheet {
    Rect frames[max_frames]; // source rectangles inside the sheet's bitmap; 0,0,0,0 when unset
    Image *image;            // the bitmap in the back buffer's format, or none
};

extern SpriteSheet sprite_sheets[max_sheets];
extern int sheet_count;

// Reads the sheet list into 'names' (a blank line leaves its entry empty) and echoes each name.
// Returns the number of entries read, at most 256.
int read_sheet_names(std::FILE *file, char names[][sheet_name_capacity]);

// Reads a frame list into 'frames', echoing each frame or its error line; 'file_name' is for the
// error message.
void read_frame_list(std::FILE *file, const char *file_name, Rect frames[max_frames]);

// Reads kvs.ini and loads each listed sheet's frame list and bitmap.
void load_sprite_sheets();
