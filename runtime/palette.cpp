// palette.cpp: reads krvcolor.ini.
#include "runtime/palette.h"

#include "runtime/data_file.h"
#include "runtime/scan.h"
#include "runtime/platform.h"

Colour palette[256];

// krvcolor.ini: one entry per line from entry 0, three decimal numbers "red green blue" (pattern
// "%d %d %d \n"), each stored as its low 8 bits. At most 256 lines are used.
void read_palette(std::FILE *file)
{
    // The colour values carry over from the line before when a line gives fewer than three.
    int32_t rgb[3] = {0, 0, 0};
    char line[1024];
    for (int i = 0; i < 256 && std::fgets(line, sizeof line, file) != nullptr; i++) {
        std::printf("%s", line);
        const char *p = line;
        for (int32_t &value : rgb) {
            if (!scan_int(p, value))
                break;
            scan_blanks(p);
        }
        palette[i].r = static_cast<uint8_t>(rgb[0]);
        palette[i].g = static_cast<uint8_t>(rgb[1]);
        palette[i].b = static_cast<uint8_t>(rgb[2]);
        std::printf("%d,%d,%d\n\n", palette[i].r, palette[i].g, palette[i].b);
    }
}

void fill_default_palette()
{
    for (int i = 0; i < 256; i++) {
        uint8_t grey = static_cast<uint8_t>(i);
        palette[i].r = grey;
        palette[i].g = grey;
        palette[i].b = grey;
    }
}

void load_palette()
{
    std::FILE *file = open_data_file("krvcolor.ini", "r");
    if (file == nullptr) {
        std::printf("File \"krvcolor.ini\" can't open. Setting default color table.\n");
        fill_default_palette();
    } else {
        std::printf("Loading...krvcolor.ini\n");
        read_palette(file);
        std::fclose(file);
    }
    set_palette(palette);
}
