// sprite_sheets.cpp: reads kvs.ini, the frame lists and the sheet bitmaps.
#include "runtime/sprite_sheets.h"

#include "runtime/data_file.h"
#include "runtime/platform.h"
#include "runtime/scan.h"

SpriteSheet sprite_sheets[max_sheets];
int sheet_count = 0;

namespace {

char sheet_names[max_sheets][sheet_name_capacity];

} // namespace

// kvs.ini: one sheet name per line, the first run of non-blank characters (pattern "%s\n"). Lines are
// read 15 characters at a time, so a name is at most 14 characters and its line end; the rest of a
// longer line is read as the next entry. At most 256 entries are used. A blank line keeps its place
// in the numbering but names no sheet.
int read_sheet_names(std::FILE *file, char names[][sheet_name_capacity])
{
    char line[sheet_name_capacity];
    int count = 0;
    while (count < max_sheets && std::fgets(line, sizeof line, file) != nullptr) {
        const char *p = line;
        if (!scan_word(p, names[count], sheet_name_capacity))
            names[count][0] = '\0';
        std::printf("%s\n", names[count]);
        count++;
    }
    return count;
}

// <name>.kvs: one frame per line, "x,y,w,h" with an optional trailing comma (pattern
// "%d,%d,%d,%d,\n"), blanks allowed before each number. Lines are read 31 characters at a time; the
// rest of a longer line is read as the next frame's line. At most 256 lines are used. x and y are
// kept as signed, w and h as unsigned 16-bit values.
void read_frame_list(std::FILE *file, const char *file_name, Rect frames[max_frames])
{
    char line[32];
    for (int k = 0; k < max_frames && std::fgets(line, sizeof line, file) != nullptr; k++) {
        const char *p = line;
        int32_t v[4];
        bool complete = scan_int(p, v[0]) && scan_char(p, ',') && scan_int(p, v[1]) && scan_char(p, ',') &&
                        scan_int(p, v[2]) && scan_char(p, ',') && scan_int(p, v[3]);
        if (complete) {
            frames[k].x = static_cast<int16_t>(v[0]);
            frames[k].y = static_cast<int16_t>(v[1]);
            frames[k].w = static_cast<uint16_t>(v[2]);
            frames[k].h = static_cast<uint16_t>(v[3]);
            std::printf("%d,%d,%d,%d\n", frames[k].x, frames[k].y, frames[k].w, frames[k].h);
        } else {
            // No line end: the next output continues on the same line.
            std::printf("ERROR! %s..l%d is invalid number.", file_name, k);
            frames[k] = Rect{0, 0, 0, 0};
        }
    }
}

namespace {

void load_sheet(SpriteSheet &sheet, const char *name)
{
    // A name is at most sheet_name_capacity - 1 characters, as read_sheet_names stores it.
    constexpr int longest_name = sheet_name_capacity - 1;
    char file_name[sheet_name_capacity + 8];
    std::snprintf(file_name, sizeof file_name, "%.*s.kvs", longest_name, name);
    std::FILE *frame_file = open_data_file(file_name, "rb");
    std::printf("Loading %s\n", file_name);
    // Without its frame list a sheet keeps empty frames and so draws nothing.
    if (frame_file != nullptr) {
        read_frame_list(frame_file, file_name, sheet.frames);
        std::fclose(frame_file);
    }

    std::snprintf(file_name, sizeof file_name, "%.*s.bmp", longest_name, name);
    Image *loaded = load_bitmap(file_name);
    if (loaded == nullptr)
        return; // no image: the sheet draws nothing
    // The sheet's pixel values are palette indices, kept as they are.
    sheet.image = convert_by_index(loaded);
    free_image(loaded);
}

} // namespace

void load_sprite_sheets()
{
    std::FILE *list = open_data_file("kvs.ini", "r");
    if (list == nullptr) {
        std::printf("File \"kvs.ini\" can't open.\n");
        return;
    }
    std::printf("Loading kvs.ini\n");
    sheet_count = read_sheet_names(list, sheet_names);
    std::fclose(list);

    for (int s = 0; s < sheet_count; s++)
        if (sheet_names[s][0] != '\0')
            load_sheet(sprite_sheets[s], sheet_names[s]);
}
