// bitmap_fuzzer.cpp: any file as a bitmap, loaded the way the game loads its font, its sheets and its
// icon: load_bitmap (the header check, then SDL's loader), the palette imposed on a sheet, conversion to
// the 8-bit back buffer's format with colour key 0, and blits of the result partly off the edges.
//
// The input is written to font.bmp and fuzz.bmp in a folder of its own (under FUZZ_WORK_DIR when set)
// and read back by load_font and load_sprite_sheets themselves. The surfaces the game keeps for its
// whole run are freed after each input, so that the leak check sees only what the loaders leave behind.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "fuzz_support.h"
#include "runtime/back_buffer.h"
#include "runtime/bitmap.h"
#include "runtime/palette.h"
#include "runtime/platform_sdl.h"
#include "runtime/platform.h"
#include "runtime/sprite_sheets.h"
#include "runtime/startup.h"

namespace {

std::string work_dir;
constexpr size_t header_bytes = 14 + 124; // the file header and the longest info header
constexpr int max_side = 8192;            // the header check's limits
constexpr int64_t max_pixels = int64_t{16} << 20;

void write_file(const char *name, const uint8_t *data, size_t size)
{
    std::FILE *file = std::fopen(name, "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

void write_text(const char *name, const char *text)
{
    write_file(name, reinterpret_cast<const uint8_t *>(text), std::strlen(text));
}

void remove_work_dir()
{
    for (const char *name : {"font.bmp", "fuzz.bmp", "kvs.ini", "fuzz.kvs"})
        unlink(name);
    if (chdir("/") == 0)
        rmdir(work_dir.c_str());
}

// A sheet's frames and places to draw them: inside, across every edge, and a frame larger than any
// bitmap the check lets through.
const char frame_list[] = "0,0,16,16\n-8,-8,64,64\n3,5,1,1\n0,0,65535,65535\n";
const int16_t places[][2] = {{0, 0}, {300, 200}, {-8, -8}, {630, 470}, {-32768, 32767}};

void draw_with_everything()
{
    DrawTarget screen = back_buffer_target();
    for (const auto &place : places) {
        for (uint8_t frame = 0; frame < 5; frame++)
            draw_sprite(screen, static_cast<uint16_t>(place[0]), static_cast<uint16_t>(place[1]), 0, frame);
        draw_text(screen, place[0], static_cast<uint16_t>(place[1]), "Score 0123456789 \x01\xff");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quiet_stdout();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FUZZ_CHECK(SDL_Init(SDL_INIT_VIDEO) == 0);
    FUZZ_CHECK(open_display(0) && create_back_buffer());
    fill_default_palette();
    set_palette(palette);

    // FUZZ_WORK_DIR, or in memory where the machine has it: a file system on disk writes every
    // rewritten input back.
    const char *base = std::getenv("FUZZ_WORK_DIR");
    if (base == nullptr)
        base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string dir = std::string(base) + "/vorpaline-bitmap-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(dir.data()) != nullptr);
    work_dir = dir;
    FUZZ_CHECK(chdir(dir.c_str()) == 0);
    std::atexit(remove_work_dir);
    write_text("kvs.ini", "fuzz\n");
    write_text("fuzz.kvs", frame_list);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    write_file("font.bmp", data, size);
    write_file("fuzz.bmp", data, size);

    // The icon: the loaded surface itself gets colour key 0.
    Image *loaded = load_bitmap("font.bmp");
    bool accepted = check_bitmap_header(data, size < header_bytes ? size : header_bytes, size) == BITMAP_OK;
    FUZZ_CHECK(loaded == nullptr || accepted);
    if (loaded != nullptr) {
        SDL_Surface *icon = loaded->surface;
        // SDL never gets a picture larger than the header check lets through.
        FUZZ_CHECK(icon->w >= 1 && icon->h >= 1 && icon->w <= max_side && icon->h <= max_side);
        FUZZ_CHECK(int64_t{icon->w} * icon->h <= max_pixels);
        set_window_icon(loaded);
        free_image(loaded);
    }

    load_font();
    load_sprite_sheets();
    FUZZ_CHECK(sheet_count == 1);
    draw_with_everything();

    free_image(font_image);
    font_image = nullptr;
    free_image(sprite_sheets[0].image);
    sprite_sheets[0].image = nullptr;
    return 0;
}
