// settings.cpp: reads krv.ini.
#include "runtime/settings.h"

#include <cstring>

#include "runtime/data_file.h"
#include "runtime/scan.h"

uint8_t fullscreen = 1;
uint8_t show_fps = 0;

void default_settings()
{
    fullscreen = 1;
    show_fps = 0;
}

// krv.ini: one setting per line, "key = number" (pattern "%s = %d"): a key of non-blank characters,
// then "=" after optional blanks, then a decimal number; text after the number is ignored. A key
// joined to its "=" is read as one long key with no number, and the line is ignored. Lines are read
// 1023 characters at a time; the rest of a longer line is read as a line of its own. Keys are kept
// to 19 characters: a longer key matches no setting.
void read_settings(std::FILE *file)
{
    char line[1024];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const char *p = line;
        char key[20];
        int32_t value = 0;
        if (!scan_word(p, key, sizeof key))
            continue;
        scan_blanks(p);
        if (!scan_char(p, '=') || !scan_int(p, value))
            continue;
        if (std::strcmp(key, "krv_fullscreen") == 0) {
            if (value == 0 || value == 1) {
                fullscreen = static_cast<uint8_t>(value);
                std::printf(value ? "setting...Fullscreen mode\n" : "setting...Window mode\n");
            } else {
                std::printf("ERROR!...krv_fullscreen is invalid number\n");
            }
        } else if (std::strcmp(key, "krv_showfps") == 0) {
            if (value == 0 || value == 1) {
                show_fps = static_cast<uint8_t>(value);
                std::printf(value ? "setting...show FPS\n" : "setting...don't show FPS\n");
            } else {
                std::printf("ERROR!...krv_showfps is invalid number\n");
            }
        }
    }
}

void load_settings()
{
    std::FILE *file = open_data_file("krv.ini", "r");
    if (file == nullptr)
        return;
    read_settings(file);
    std::fclose(file);
}
