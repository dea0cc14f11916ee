// window_probe.cpp: looks at the game's real X11 window for the window tests: finds it by its class,
// asks it to close the way a window manager does, and checks its pixels and its icon.
//
//   window_probe find CLASS SECONDS
//       prints the id of the first viewable top-level window whose WM_CLASS name or class is CLASS
//   window_probe close WINDOW
//       sends WM_PROTOCOLS / WM_DELETE_WINDOW, as a window manager's close button does
//   window_probe size WINDOW                     prints "W H"
//   window_probe name WINDOW                     prints the window's WM_NAME (an empty line without one)
//   window_probe grab WINDOW OUT.ppm             writes the window's pixels as a binary PPM
//   window_probe icon WINDOW [ICON.bmp]
//       prints "WxH" of the window's _NET_WM_ICON, or "none"; with ICON.bmp the icon must show that
//       bitmap with its index-0 pixels transparent
//   window_probe read WINDOW X Y BG FONT.bmp SECONDS
//       prints the text drawn in 8x8 cells of colour BG from (X, Y) rightwards, told apart by the
//       glyphs of FONT.bmp; waits until at least one cell reads
//   window_probe colour FRAME.bmp INDEX          prints entry INDEX of the bitmap's colour table as RRGGBB
//   window_probe expect WINDOW SECONDS [--font FONT.bmp] [--sheet SHEET.bmp --palette FRAME.bmp] [--samples N]
//                       [--dump OUT.ppm] CHECK...
//       grabs the window until every CHECK holds in N grabs in a row (default 1); fails after SECONDS
//       (status 1), or at once with status 3 when the window is destroyed
//
// A CHECK is one of (colours as RRGGBB, rectangles as X,Y,W,H in window pixels):
//   fill:RECT:COLOUR    every pixel has COLOUR
//   some:RECT:COLOUR    at least one pixel has COLOUR
//   other:RECT:COLOUR   at least one pixel has another colour
//   text:X,Y:BG:STRING  the 8x8 cells of STRING from (X, Y): BG where the glyph of FONT.bmp has index 0,
//                       another colour where it has ink; without --font every pixel of every cell is BG
//   sprite:X,Y:FX,FY,W,H  the frame at (FX, FY), W x H, of SHEET.bmp drawn at (X, Y): each pixel of index i
//                       other than 0 in the colour of entry i of FRAME.bmp's colour table
//
// FRAME.bmp is a frame saved by vorpaline-replay --bmp for the same data folder: its colour table is the
// game's palette as the game read it. The glyph of a byte is found through the runtime's glyph_cell.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/drawing.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto poll_interval = std::chrono::milliseconds(50);
constexpr int window_gone = 3; // the exit status of expect when the window was destroyed

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

std::string hex(Rgb c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool contains(int x, int y, int w, int h) const
    {
        return x >= 0 && y >= 0 && w >= 0 && h >= 0 && x + w <= width && y + h <= height;
    }
};

// An 8-bit uncompressed BMP: its pixel indices and its own colour table.
struct IndexedBitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> indices;
    std::vector<Rgb> colours;
    uint8_t at(int x, int y) const { return indices[static_cast<size_t>(y) * width + x]; }
};

[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "window_probe: %s\n", message.c_str());
    std::exit(2);
}

// ---------------------------------------------------------------------------------------------
// X11

bool x_error_seen = false;

int note_x_error(Display *, XErrorEvent *)
{
    // The game may close its window at any moment; a request on a vanished window just fails.
    x_error_seen = true;
    return 0;
}

Display *open_display()
{
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        fail("cannot open the display");
    XSetErrorHandler(note_x_error);
    return display;
}

Window parse_window(const char *text)
{
    char *end = nullptr;
    unsigned long id = std::strtoul(text, &end, 0);
    if (end == text || *end != '\0' || id == 0)
        fail(std::string("not a window id: ") + text);
    return static_cast<Window>(id);
}

double parse_seconds(const char *text)
{
    char *end = nullptr;
    double seconds = std::strtod(text, &end);
    if (end == text || *end != '\0' || seconds < 0)
        fail(std::string("not a number of seconds: ") + text);
    return seconds;
}

int parse_int(const std::string &text)
{
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        fail("not a number: " + text);
    return value;
}

Clock::time_point deadline_after(double seconds)
{
    return Clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

// Asks 'done' again every poll interval until it says yes or the deadline has passed; whether it did.
template <typename Done> bool poll_until(Clock::time_point deadline, Done done)
{
    for (;;) {
        if (done())
            return true;
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(poll_interval);
    }
}

bool has_class(Display *display, Window window, const std::string &wanted)
{
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint) == 0)
        return false;
    bool match = (hint.res_name != nullptr && wanted == hint.res_name) ||
                 (hint.res_class != nullptr && wanted == hint.res_class);
    if (hint.res_name != nullptr)
        XFree(hint.res_name);
    if (hint.res_class != nullptr)
        XFree(hint.res_class);
    return match;
}

bool window_exists(Display *display, Window window)
{
    x_error_seen = false;
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 && !x_error_seen;
}

bool is_viewable(Display *display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

std::vector<Window> children_of(Display *display, Window parent)
{
    Window root_return, parent_return, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, parent, &root_return, &parent_return, &children, &count) != 0 && children != nullptr) {
        result.assign(children, children + count);
        XFree(children);
    }
    return result;
}

// The top-level windows and, for a window manager that reparents, their children.
std::optional<Window> find_window(Display *display, const std::string &wanted)
{
    for (Window top : children_of(display, DefaultRootWindow(display))) {
        if (has_class(display, top, wanted) && is_viewable(display, top))
            return top;
        for (Window inner : children_of(display, top))
            if (has_class(display, inner, wanted) && is_viewable(display, inner))
                return inner;
    }
    return std::nullopt;
}

int component_shift(unsigned long mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

uint8_t component(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    unsigned long value = (pixel & mask) >> component_shift(mask);
    unsigned long top = mask >> component_shift(mask);
    return static_cast<uint8_t>(value * 255 / top);
}

std::optional<Picture> grab(Display *display, Window window)
{
    x_error_seen = false;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable)
        return std::nullopt;
    XImage *image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr || x_error_seen) {
        if (image != nullptr)
            XDestroyImage(image);
        return std::nullopt;
    }
    Picture picture;
    picture.width = image->width;
    picture.height = image->height;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            unsigned long pixel = XGetPixel(image, x, y);
            Rgb &c = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            c.r = component(pixel, image->red_mask);
            c.g = component(pixel, image->green_mask);
            c.b = component(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return picture;
}

void write_ppm(const Picture &picture, const std::string &path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
    for (Rgb c : picture.pixels) {
        out.put(static_cast<char>(c.r));
        out.put(static_cast<char>(c.g));
        out.put(static_cast<char>(c.b));
    }
    if (!out)
        fail("cannot write " + path);
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

uint32_t le16(const std::vector<uint8_t> &b, size_t at) { return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8; }

uint32_t le32(const std::vector<uint8_t> &b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

IndexedBitmap read_bitmap(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot open " + path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        fail(path + " is not a BMP file");
    uint32_t pixel_offset = le32(bytes, 10);
    uint32_t info_size = le32(bytes, 14);
    int32_t width = static_cast<int32_t>(le32(bytes, 18));
    int32_t height = static_cast<int32_t>(le32(bytes, 22));
    uint32_t depth = le16(bytes, 28);
    uint32_t compression = le32(bytes, 30);
    uint32_t colours_used = le32(bytes, 46);
    if (info_size < 40 || depth != 8 || compression != 0 || width <= 0 || height == 0)
        fail(path + ": only uncompressed 8-bit bitmaps are read here");
    bool bottom_up = height > 0;
    IndexedBitmap bitmap;
    bitmap.width = width;
    bitmap.height = bottom_up ? height : -height;
    size_t table = 14 + info_size;
    size_t entries = colours_used == 0 ? 256 : colours_used;
    size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
    if (table + entries * 4 > bytes.size() || pixel_offset + stride * bitmap.height > bytes.size())
        fail(path + " is cut short");
    for (size_t i = 0; i < entries; i++)
        bitmap.colours.push_back({bytes[table + 4 * i + 2], bytes[table + 4 * i + 1], bytes[table + 4 * i]});
    bitmap.colours.resize(256);
    bitmap.indices.resize(static_cast<size_t>(bitmap.width) * bitmap.height);
    for (int y = 0; y < bitmap.height; y++) {
        size_t row = pixel_offset + stride * static_cast<size_t>(bottom_up ? bitmap.height - 1 - y : y);
        for (int x = 0; x < bitmap.width; x++)
            bitmap.indices[static_cast<size_t>(y) * bitmap.width + x] = bytes[row + x];
    }
    return bitmap;
}

// Which pixels of a glyph carry ink (index 0 is the font's transparent key), row by row.
std::vector<bool> glyph_ink(const IndexedBitmap &font, uint8_t byte)
{
    GlyphCell cell = glyph_cell(byte);
    int gx = 8 * cell.column, gy = 8 * cell.row;
    if (gx + 8 > font.width || gy + 8 > font.height)
        fail("the font bitmap is too small for its glyph grid");
    std::vector<bool> ink(64);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            ink[y * 8 + x] = font.at(gx + x, gy + y) != 0;
    return ink;
}

// ---------------------------------------------------------------------------------------------
// Checks

Rgb parse_colour(const std::string &text)
{
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        fail("not a colour RRGGBB: " + text);
    unsigned long value = std::strtoul(text.c_str(), nullptr, 16);
    return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

std::vector<int> parse_numbers(const std::string &text, size_t count)
{
    std::vector<int> numbers;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        numbers.push_back(parse_int(text.substr(start, comma - start)));
        start = comma + 1;
    }
    if (numbers.size() != count)
        fail("expected " + std::to_string(count) + " numbers: " + text);
    return numbers;
}

struct Check {
    std::string text; // as given, for the report
    std::string kind;
    int x = 0, y = 0, w = 0, h = 0;
    Rgb colour;
    std::string string;           // text checks
    int frame_x = 0, frame_y = 0; // sprite checks: the frame's place in the sheet
};

// What the checks compare the window with, from the options of expect.
struct Sources {
    std::optional<IndexedBitmap> font;
    std::optional<IndexedBitmap> sheet;
    std::vector<Rgb> palette; // the game's 256 colours, from a frame it saved
};

Check parse_check(const std::string &text)
{
    Check check;
    check.text = text;
    size_t first = text.find(':');
    size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos)
        fail("malformed check: " + text);
    check.kind = text.substr(0, first);
    std::string place = text.substr(first + 1, second - first - 1);
    if (check.kind == "text") {
        size_t third = text.find(':', second + 1);
        if (third == std::string::npos)
            fail("malformed check: " + text);
        std::vector<int> xy = parse_numbers(place, 2);
        check.x = xy[0];
        check.y = xy[1];
        check.colour = parse_colour(text.substr(second + 1, third - second - 1));
        check.string = text.substr(third + 1);
        check.w = 8 * static_cast<int>(check.string.size());
        check.h = 8;
    } else if (check.kind == "sprite") {
        std::vector<int> xy = parse_numbers(place, 2);
        std::vector<int> frame = parse_numbers(text.substr(second + 1), 4);
        check.x = xy[0];
        check.y = xy[1];
        check.frame_x = frame[0];
        check.frame_y = frame[1];
        check.w = frame[2];
        check.h = frame[3];
    } else if (check.kind == "fill" || check.kind == "some" || check.kind == "other") {
        std::vector<int> rect = parse_numbers(place, 4);
        check.x = rect[0];
        check.y = rect[1];
        check.w = rect[2];
        check.h = rect[3];
        check.colour = parse_colour(text.substr(second + 1));
    } else {
        fail("unknown check: " + text);
    }
    return check;
}

// Empty when the check holds; otherwise what was wrong.
std::string evaluate_sprite(const Check &check, const Picture &picture, const Sources &sources)
{
    if (!sources.sheet || sources.palette.empty())
        fail("a sprite check needs --sheet and --palette");
    const IndexedBitmap &sheet = *sources.sheet;
    if (check.frame_x < 0 || check.frame_y < 0 || check.frame_x + check.w > sheet.width ||
        check.frame_y + check.h > sheet.height)
        fail("the frame of " + check.text + " is outside the sheet");
    int drawn = 0, wrong = 0;
    std::string first_wrong;
    for (int y = 0; y < check.h; y++) {
        for (int x = 0; x < check.w; x++) {
            uint8_t index = sheet.at(check.frame_x + x, check.frame_y + y);
            if (index == 0)
                continue; // the colour key: whatever lies below shows
            drawn++;
            Rgb expected = sources.palette[index];
            Rgb seen = picture.at(check.x + x, check.y + y);
            if (seen != expected && wrong++ == 0)
                first_wrong = " (at " + std::to_string(check.x + x) + "," + std::to_string(check.y + y) + " " +
                              hex(seen) + " for index " + std::to_string(index) + ", " + hex(expected) + ")";
        }
    }
    if (drawn == 0)
        fail("the frame of " + check.text + " has no pixel to draw");
    if (wrong != 0)
        return std::to_string(wrong) + " of the frame's " + std::to_string(drawn) + " pixels differ" + first_wrong;
    return "";
}

std::string evaluate(const Check &check, const Picture &picture, const Sources &sources)
{
    if (!picture.contains(check.x, check.y, check.w, check.h))
        return "outside the " + std::to_string(picture.width) + "x" + std::to_string(picture.height) + " window";
    if (check.kind == "sprite")
        return evaluate_sprite(check, picture, sources);
    const IndexedBitmap *font = sources.font ? &*sources.font : nullptr;
    int matching = 0;
    Rgb first_other = check.colour;
    bool seen_other = false;
    if (check.kind != "text") {
        for (int y = check.y; y < check.y + check.h; y++) {
            for (int x = check.x; x < check.x + check.w; x++) {
                Rgb c = picture.at(x, y);
                if (c == check.colour) {
                    matching++;
                } else if (!seen_other) {
                    first_other = c;
                    seen_other = true;
                }
            }
        }
        int total = check.w * check.h;
        std::string counted =
            std::to_string(matching) + " of " + std::to_string(total) + " pixels are " + hex(check.colour);
        if (check.kind == "fill" && matching != total)
            return counted + " (one other is " + hex(first_other) + ")";
        if (check.kind == "some" && matching == 0)
            return counted;
        if (check.kind == "other" && matching == total)
            return counted;
        return "";
    }

    std::string report;
    int wrong_cells = 0;
    for (size_t i = 0; i < check.string.size(); i++) {
        std::vector<bool> ink(64, false);
        if (font != nullptr)
            ink = glyph_ink(*font, static_cast<uint8_t>(check.string[i]));
        int cx = check.x + 8 * static_cast<int>(i);
        int wrong_background = 0, missing_ink = 0;
        for (int y = 0; y < 8; y++) {
            for (int x = 0; x < 8; x++) {
                bool background = picture.at(cx + x, check.y + y) == check.colour;
                if (ink[y * 8 + x] && background)
                    missing_ink++;
                if (!ink[y * 8 + x] && !background)
                    wrong_background++;
            }
        }
        if ((wrong_background != 0 || missing_ink != 0) && wrong_cells++ < 3) {
            report += " '" + std::string(1, check.string[i]) + "' at " + std::to_string(cx) + "," +
                      std::to_string(check.y) + ": " + std::to_string(wrong_background) +
                      " background pixels are not " + hex(check.colour) + ", " + std::to_string(missing_ink) +
                      " glyph pixels have no ink;";
        }
    }
    if (wrong_cells > 3)
        report += " and " + std::to_string(wrong_cells - 3) + " more cells";
    return report;
}

// The text in the cells from (x, y) rightwards: a cell reads as the first glyph whose ink matches
// it exactly; the reading stops at a cell without background pixels or without a matching glyph.
std::string read_text(const Picture &picture, int x, int y, Rgb background, const IndexedBitmap &font)
{
    std::string text;
    for (int cx = x; picture.contains(cx, y, 8, 8); cx += 8) {
        std::vector<bool> seen(64);
        bool any_background = false;
        for (int py = 0; py < 8; py++) {
            for (int px = 0; px < 8; px++) {
                bool is_background = picture.at(cx + px, y + py) == background;
                seen[py * 8 + px] = !is_background;
                any_background = any_background || is_background;
            }
        }
        if (!any_background)
            break;
        int found = 0;
        for (int byte = 0x20; byte <= 0x7E && found == 0; byte++)
            if (glyph_ink(font, static_cast<uint8_t>(byte)) == seen)
                found = byte;
        if (found == 0)
            break;
        text += static_cast<char>(found);
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// Subcommands

int command_find(int argc, char **argv)
{
    if (argc != 2)
        fail("usage: find CLASS SECONDS");
    Display *display = open_display();
    std::optional<Window> window;
    auto found = [&] {
        window = find_window(display, argv[0]);
        return window.has_value();
    };
    if (poll_until(deadline_after(parse_seconds(argv[1])), found)) {
        std::printf("%lu\n", static_cast<unsigned long>(*window));
        return 0;
    }
    std::fprintf(stderr, "window_probe: no viewable window of class %s\n", argv[0]);
    return 1;
}

int command_close(int argc, char **argv)
{
    if (argc != 1)
        fail("usage: close WINDOW");
    Display *display = open_display();
    Window window = parse_window(argv[0]);
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);

    // A window manager sends the close request only to a window that lists it in WM_PROTOCOLS.
    Atom *listed = nullptr;
    int count = 0;
    bool takes_delete = false;
    if (XGetWMProtocols(display, window, &listed, &count) != 0) {
        for (int i = 0; i < count; i++)
            takes_delete = takes_delete || listed[i] == delete_window;
        XFree(listed);
    }
    if (!takes_delete) {
        std::fprintf(stderr, "window_probe: window %s does not list WM_DELETE_WINDOW in WM_PROTOCOLS\n", argv[0]);
        return 1;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(delete_window);
    event.xclient.data.l[1] = CurrentTime;
    x_error_seen = false;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    if (x_error_seen) {
        std::fprintf(stderr, "window_probe: the close request to window %s failed\n", argv[0]);
        return 1;
    }
    return 0;
}

int command_size(int argc, char **argv)
{
    if (argc != 1)
        fail("usage: size WINDOW");
    Display *display = open_display();
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, parse_window(argv[0]), &attributes) == 0 || x_error_seen)
        fail("no such window");
    std::printf("%d %d\n", attributes.width, attributes.height);
    return 0;
}

int command_name(int argc, char **argv)
{
    if (argc != 1)
        fail("usage: name WINDOW");
    Display *display = open_display();
    XTextProperty name{};
    std::string text;
    if (XGetWMName(display, parse_window(argv[0]), &name) != 0 && name.value != nullptr) {
        text.assign(reinterpret_cast<const char *>(name.value), name.nitems);
        XFree(name.value);
    }
    if (x_error_seen)
        fail("no such window");
    std::printf("%s\n", text.c_str());
    return 0;
}

int command_grab(int argc, char **argv)
{
    if (argc != 2)
        fail("usage: grab WINDOW OUT.ppm");
    Display *display = open_display();
    std::optional<Picture> picture = grab(display, parse_window(argv[0]));
    if (!picture)
        fail("cannot grab the window");
    write_ppm(*picture, argv[1]);
    return 0;
}

int command_icon(int argc, char **argv)
{
    if (argc != 1 && argc != 2)
        fail("usage: icon WINDOW [ICON.bmp]");
    Display *display = open_display();
    Window window = parse_window(argv[0]);
    Atom icon_atom = XInternAtom(display, "_NET_WM_ICON", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    // The property: width, height, then width x height pixels as ARGB, each in a long.
    int status = XGetWindowProperty(display, window, icon_atom, 0, 1 << 20, False, XA_CARDINAL, &type, &format, &count,
                                    &after, &data);
    if (status != Success || x_error_seen)
        fail("cannot read the window's properties");
    std::vector<unsigned long> values;
    if (data != nullptr) {
        if (type == XA_CARDINAL && format == 32) {
            const unsigned long *longs = reinterpret_cast<const unsigned long *>(data);
            values.assign(longs, longs + count);
        }
        XFree(data);
    }
    if (values.size() < 2) {
        std::printf("none\n");
        return 0;
    }
    unsigned long width = values[0], height = values[1];
    std::printf("%lux%lu\n", width, height);
    if (values.size() < 2 + width * height)
        fail("the icon property is shorter than its size says");
    if (argc == 1)
        return 0;

    IndexedBitmap bitmap = read_bitmap(argv[1]);
    if (static_cast<unsigned long>(bitmap.width) != width || static_cast<unsigned long>(bitmap.height) != height) {
        std::fprintf(stderr, "window_probe: the icon is %lux%lu, the bitmap %dx%d\n", width, height, bitmap.width,
                     bitmap.height);
        return 1;
    }
    int wrong = 0;
    for (int y = 0; y < bitmap.height; y++) {
        for (int x = 0; x < bitmap.width; x++) {
            uint32_t argb = static_cast<uint32_t>(values[2 + static_cast<size_t>(y) * width + x]);
            uint8_t index = bitmap.at(x, y);
            Rgb colour = bitmap.colours[index];
            uint32_t alpha = argb >> 24;
            Rgb seen{static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb)};
            bool right = index == 0 ? alpha == 0 : alpha == 255 && seen == colour;
            if (!right && wrong++ == 0)
                std::fprintf(stderr, "window_probe: icon pixel %d,%d is %08x, the bitmap has index %d (%s)\n", x, y,
                             argb, index, hex(colour).c_str());
        }
    }
    if (wrong != 0) {
        std::fprintf(stderr, "window_probe: %d icon pixels differ from %s\n", wrong, argv[1]);
        return 1;
    }
    return 0;
}

int command_colour(int argc, char **argv)
{
    if (argc != 2)
        fail("usage: colour FRAME.bmp INDEX");
    IndexedBitmap frame = read_bitmap(argv[0]);
    int index = parse_int(argv[1]);
    if (index < 0 || index > 255)
        fail(std::string("not a palette index: ") + argv[1]);
    std::printf("%s\n", hex(frame.colours[static_cast<size_t>(index)]).c_str());
    return 0;
}

int command_read(int argc, char **argv)
{
    if (argc != 6)
        fail("usage: read WINDOW X Y BG FONT.bmp SECONDS");
    Display *display = open_display();
    Window window = parse_window(argv[0]);
    int x = parse_int(argv[1]), y = parse_int(argv[2]);
    Rgb background = parse_colour(argv[3]);
    IndexedBitmap font = read_bitmap(argv[4]);
    std::string text;
    poll_until(deadline_after(parse_seconds(argv[5])), [&] {
        if (std::optional<Picture> picture = grab(display, window))
            text = read_text(*picture, x, y, background, font);
        return !text.empty();
    });
    std::printf("%s\n", text.c_str());
    return text.empty() ? 1 : 0;
}

int command_expect(int argc, char **argv)
{
    if (argc < 3)
        fail("usage: expect WINDOW SECONDS [--font FONT.bmp] [--sheet SHEET.bmp --palette FRAME.bmp] "
             "[--samples N] [--dump OUT.ppm] CHECK...");
    Display *display = open_display();
    Window window = parse_window(argv[0]);
    auto deadline = deadline_after(parse_seconds(argv[1]));
    Sources sources;
    int samples = 1;
    std::string dump;
    std::vector<Check> checks;
    for (int i = 2; i < argc; i++) {
        std::string arg = argv[i];
        bool takes_value =
            arg == "--font" || arg == "--sheet" || arg == "--palette" || arg == "--samples" || arg == "--dump";
        if (takes_value && i + 1 >= argc)
            fail(arg + " needs a value");
        if (arg == "--font")
            sources.font = read_bitmap(argv[++i]);
        else if (arg == "--sheet")
            sources.sheet = read_bitmap(argv[++i]);
        else if (arg == "--palette")
            sources.palette = read_bitmap(argv[++i]).colours;
        else if (arg == "--samples")
            samples = parse_int(argv[++i]);
        else if (arg == "--dump")
            dump = argv[++i];
        else
            checks.push_back(parse_check(arg));
    }
    if (checks.empty() || samples < 1)
        fail("nothing to check");

    int in_a_row = 0;
    bool gone = false;
    std::optional<Picture> last;
    std::vector<std::string> faults;
    bool shown = poll_until(deadline, [&] {
        std::optional<Picture> picture = grab(display, window);
        faults.clear();
        if (picture) {
            for (const Check &check : checks) {
                std::string fault = evaluate(check, *picture, sources);
                if (!fault.empty())
                    faults.push_back(check.text + ": " + fault);
            }
            last = std::move(picture);
        } else if (!window_exists(display, window)) {
            gone = true;
            return true;
        } else {
            faults.push_back("the window could not be grabbed (it is not mapped)");
        }
        in_a_row = faults.empty() ? in_a_row + 1 : 0;
        return in_a_row >= samples;
    });
    if (gone) {
        std::fprintf(stderr, "window_probe: window %s no longer exists\n", argv[0]);
        return window_gone;
    }
    if (shown)
        return 0;
    std::fprintf(stderr, "window_probe: the window did not show what was expected; in the last grab:\n");
    for (const std::string &fault : faults)
        std::fprintf(stderr, "  %s\n", fault.c_str());
    if (!dump.empty() && last) {
        write_ppm(*last, dump);
        std::fprintf(stderr, "  the last grab is in %s\n", dump.c_str());
    }
    return 1;
}

// The commands, by the name the first argument gives.
struct Command {
    const char *name;
    int (*run)(int argc, char **argv);
};
constexpr Command commands[] = {
    {"find", command_find},     {"close", command_close}, {"size", command_size},
    {"name", command_name},     {"grab", command_grab},   {"icon", command_icon},
    {"colour", command_colour}, {"read", command_read},   {"expect", command_expect},
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        fail("usage: window_probe find|close|size|name|grab|icon|colour|read|expect ...");
    std::string command = argv[1];
    for (const Command &known : commands)
        if (command == known.name)
            return known.run(argc - 2, argv + 2);
    fail("unknown command " + command);
}
