# install_checks.py: checks of the installed tree and of the running installed game, read with Python's own
# zlib and struct so that the PNG files are judged by a decoder that is not ours.
#
#   install_checks.py png BMP PNG EDGE      PNG is BMP scaled to EDGE x EDGE, index 0 transparent
#   install_checks.py desktop FILE          the desktop entry starts vorpaline and names its window class
#   install_checks.py title XWD [FACTOR]    a window dump of the title: its texts drawn, the space between dark;
#                                           with FACTOR, the picture scaled up by it with sharp pixels
#   install_checks.py converter TOOL        the converter on made-up BMP files, good and bad
import struct
import subprocess
import sys
import tempfile
import zlib


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


# --- BMP and PNG -------------------------------------------------------------------------------------


def read_bmp(data):
    """An uncompressed 8-bit BMP: (width, height, [(r, g, b)], rows of indices top to bottom)."""
    expect(data[:2] == b"BM", "not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    info_size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    colours = struct.unpack_from("<I", data, 46)[0] or 256
    expect(bits == 8 and compression == 0, "BMP is not uncompressed 8-bit")
    palette = []
    for i in range(colours):
        b, g, r, _ = data[14 + info_size + 4 * i : 18 + info_size + 4 * i]
        palette.append((r, g, b))
    stride = (width + 3) // 4 * 4
    rows = [data[offset + stride * y : offset + stride * y + width] for y in range(abs(height))]
    if height > 0:
        rows.reverse()
    return width, abs(height), palette, [list(r) for r in rows]


def read_png(data):
    """A non-interlaced 8-bit palette PNG: (width, height, [(r, g, b)], tRNS bytes, rows of indices)."""
    expect(data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature")
    at = 8
    chunks = []
    while at < len(data):
        expect(at + 12 <= len(data), "truncated chunk")
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8 : at + 8 + length]
        expect(len(body) == length, "truncated chunk %r" % kind)
        (crc,) = struct.unpack_from(">I", data, at + 8 + length)
        expect(crc == zlib.crc32(kind + body), "bad CRC on chunk %r" % kind)
        chunks.append((kind, body))
        at += 12 + length
    kinds = [k for k, _ in chunks]
    expect(kinds[0] == b"IHDR", "IHDR is not the first chunk")
    expect(kinds[-1] == b"IEND", "IEND is not the last chunk")
    width, height, depth, colour_type, method, filtering, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    expect((depth, colour_type, method, filtering, interlace) == (8, 3, 0, 0, 0),
           "IHDR is not an 8-bit non-interlaced palette image: %r" % (chunks[0][1],))
    expect(kinds.count(b"PLTE") == 1, "no single PLTE chunk")
    plte = dict(chunks)[b"PLTE"]
    expect(len(plte) % 3 == 0 and 0 < len(plte) <= 768, "bad PLTE length")
    palette = [tuple(plte[i : i + 3]) for i in range(0, len(plte), 3)]
    trns = dict(chunks).get(b"tRNS", b"")
    expect(len(trns) <= len(palette), "tRNS longer than the palette")
    expect(kinds.index(b"PLTE") < kinds.index(b"IDAT"), "PLTE after IDAT")
    if trns:
        expect(kinds.index(b"PLTE") < kinds.index(b"tRNS") < kinds.index(b"IDAT"), "tRNS out of place")
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    expect(len(raw) == (width + 1) * height, "image data is %d bytes, not %d" % (len(raw), (width + 1) * height))
    rows = []
    for y in range(height):
        line = raw[(width + 1) * y : (width + 1) * (y + 1)]
        expect(line[0] == 0, "row %d uses filter %d, which this check does not undo" % (y, line[0]))
        rows.append(list(line[1:]))
        expect(max(rows[-1]) < len(palette), "row %d has an index outside the palette" % y)
    return width, height, palette, trns, rows


def check_png_against(png, width, height, palette, rows, edge):
    p_width, p_height, p_palette, trns, p_rows = read_png(png)
    expect((p_width, p_height) == (edge, edge), "PNG is %dx%d, not %dx%d" % (p_width, p_height, edge, edge))
    expect(p_palette == palette, "PNG palette differs from the BMP's")
    expect(len(trns) >= 1 and trns[0] == 0, "palette index 0 is not transparent")
    expect(all(a == 255 for a in trns[1:]), "an index other than 0 is not opaque")
    factor = edge // width
    expect(factor * width == edge and factor * height == edge, "EDGE is not a whole multiple of the picture")
    for y in range(edge):
        for x in range(edge):
            expect(p_rows[y][x] == rows[y // factor][x // factor],
                   "pixel %d,%d is %d, not %d" % (x, y, p_rows[y][x], rows[y // factor][x // factor]))


def command_png(bmp_path, png_path, edge):
    width, height, palette, rows = read_bmp(open(bmp_path, "rb").read())
    check_png_against(open(png_path, "rb").read(), width, height, palette, rows, int(edge))


# --- desktop entry -----------------------------------------------------------------------------------


def command_desktop(path):
    lines = open(path, encoding="utf-8").read().splitlines()
    expect(lines and lines[0] == "[Desktop Entry]", "the first line is not [Desktop Entry]")
    entry = {}
    for line in lines[1:]:
        if not line or line.startswith("#"):
            continue
        expect(not line.startswith("["), "a second group: %s" % line)
        key, sep, value = line.partition("=")
        expect(sep == "=", "not a key=value line: %s" % line)
        expect(key not in entry, "%s given twice" % key)
        entry[key] = value
    wanted = {
        "Type": "Application",
        "Name": "vorpaline",
        "Exec": "vorpaline",
        "Icon": "vorpaline",
        "Terminal": "false",
        "Categories": "Game;ArcadeGame;",
        "StartupWMClass": "vorpaline",
    }
    for key, value in wanted.items():
        expect(entry.get(key) == value, "%s is %r, not %r" % (key, entry.get(key), value))
    expect(entry.get("Comment", "") != "", "no Comment")


# --- window dump -------------------------------------------------------------------------------------


def read_xwd(data):
    """A ZPixmap dump of 24 or 32 bits a pixel: (width, height, pixel(x, y) -> 0xRRGGBB)."""
    header = struct.unpack_from(">25I", data, 0)
    header_size, version, pixmap_format = header[0:3]
    width, height, byte_order = header[4], header[5], header[7]
    bits_per_pixel, bytes_per_line = header[11], header[12]
    red_mask, green_mask, blue_mask = header[14:17]
    colours = header[19]
    expect(version == 7 and pixmap_format == 2, "not a ZPixmap window dump")
    expect(bits_per_pixel == 32, "window dump has %d bits a pixel" % bits_per_pixel)
    expect((red_mask, green_mask, blue_mask) == (0xFF0000, 0xFF00, 0xFF), "unexpected colour masks")
    pixels = header_size + 12 * colours
    layout = "<I" if byte_order == 0 else ">I"

    def pixel(x, y):
        return struct.unpack_from(layout, data, pixels + bytes_per_line * y + 4 * x)[0] & 0xFFFFFF

    return width, height, pixel


def lit_in(pixel, left, top, width, height):
    """The bright pixels in a box: the font's strokes, not the dark cells behind them."""

    def bright(value):
        return max(value >> 16, value >> 8 & 0xFF, value & 0xFF) >= 0x80

    return sum(1 for y in range(top, top + height) for x in range(left, left + width) if bright(pixel(x, y)))


def command_title(path, factor="1"):
    width, height, scaled_pixel = read_xwd(open(path, "rb").read())
    factor = int(factor)
    expect((width, height) == (640 * factor, 480 * factor),
           "the window is %dx%d, not %dx%d" % (width, height, 640 * factor, 480 * factor))
    # Sharp: every FACTOR x FACTOR block is one colour, as nearest-neighbour sampling makes it; smoothing
    # blends the blocks at every edge of the font's strokes.
    if factor > 1:
        for y in range(0, height, factor):
            for x in range(0, width, factor):
                block = {scaled_pixel(x + i, y + j) for j in range(factor) for i in range(factor)}
                expect(len(block) == 1, "the %dx%d block at %d,%d has %d colours: the picture is not sharp"
                       % (factor, factor, x, y, len(block)))

    def pixel(x, y):
        return scaled_pixel(x * factor, y * factor)

    # The 8x8 font: "vorpaline" at 220,80, "presented by krv 2004" at 315,90, "start" at 220,390.
    for name, left, top, chars in (("title", 220, 80, 9), ("credit", 315, 90, 21), ("start", 220, 390, 5)):
        lit = lit_in(pixel, left, top, 8 * chars, 8)
        expect(8 * chars <= lit < 64 * chars * 3 // 4, "the %s text has %d lit pixels" % (name, lit))
    # Between the credit line and the menu there is nothing.
    dark = lit_in(pixel, 0, 120, 640, 250)
    expect(dark == 0, "%d lit pixels between the title and the menu" % dark)


# --- the converter on made-up files ------------------------------------------------------------------


def make_bmp(width, height, palette, rows, top_down=False, bits=8, colours_field=None):
    stride = (width + 3) // 4 * 4
    pixel_rows = rows if top_down else list(reversed(rows))
    pixels = b"".join(bytes(r) + b"\0" * (stride - width) for r in pixel_rows)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    colours = len(palette) if colours_field is None else colours_field
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0, len(pixels),
                       2835, 2835, colours, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + table + pixels


def command_converter(tool):
    with tempfile.TemporaryDirectory() as folder:
        converter_cases(tool, folder)


def converter_cases(tool, folder):
    def run(bmp, edge):
        open(folder + "/in.bmp", "wb").write(bmp)
        result = subprocess.run([tool, folder + "/in.bmp", folder + "/out.png", str(edge)], capture_output=True)
        return result.returncode, result.stderr.decode(errors="replace")

    def good(name, width, palette, rows, edge, **kwargs):
        code, err = run(make_bmp(width, width, palette, rows, **kwargs), edge)
        expect(code == 0, "%s: the converter failed: %s" % (name, err))
        try:
            check_png_against(open(folder + "/out.png", "rb").read(), width, width, palette, rows, edge)
        except Failure as e:
            raise Failure("%s: %s" % (name, e))

    def bad(name, bmp, edge):
        code, _ = run(bmp, edge)
        expect(code != 0, "%s: the converter accepted it" % name)

    grey = [(i, i, i) for i in range(256)]
    ramp = [(i * 16, 255 - i * 16, (i * 37) % 256) for i in range(16)]
    # Widths that leave 3, 2 and 1 bytes of row padding; the rows differ so a flip shows.
    for width in (5, 6, 7):
        rows = [[(x * 3 + y * 5) % 16 for x in range(width)] for y in range(width)]
        good("%dx%d bottom-up" % (width, width), width, ramp, rows, width)
        good("%dx%d top-down" % (width, width), width, ramp, rows, width, top_down=True)
        good("%dx%d scaled by 3" % (width, width), width, ramp, rows, 3 * width)
    # A palette of 256 with a colours field of 0 (meaning all 256).
    rows = [[(x * 7 + y * 11) % 256 for x in range(32)] for y in range(32)]
    good("32x32 with a full palette", 32, grey, rows, 32, colours_field=0)
    good("32x32 scaled to 128", 32, grey, rows, 128)
    # Large enough that the image data needs several stored blocks (65535 bytes at most each).
    rows = [[(x ^ y) % 256 for x in range(200)] for y in range(200)]
    good("200x200 scaled to 600", 200, grey, rows, 600)

    square = [[1, 2], [3, 0]]
    bad("a 24-bit BMP", make_bmp(2, 2, ramp, square, bits=24), 2)
    bad("a size that is not a whole multiple", make_bmp(2, 2, ramp, square), 3)
    bad("an index outside a 2-colour palette", make_bmp(2, 2, ramp[:2], square), 2)
    bad("a truncated file", make_bmp(5, 5, ramp, [[0] * 5] * 5)[:-10], 5)
    bad("not a BMP", b"GIF89a" + b"\0" * 100, 2)
    bad("a picture that is not square", make_bmp(4, 2, ramp, [[0] * 4] * 2), 4)


def main(argv):
    commands = {"png": (command_png, 3, 3), "desktop": (command_desktop, 1, 1), "title": (command_title, 1, 2),
                "converter": (command_converter, 1, 1)}
    if len(argv) < 2 or argv[1] not in commands or not commands[argv[1]][1] <= len(argv) - 2 <= commands[argv[1]][2]:
        print(__doc__ or "usage: install_checks.py COMMAND ARGS", file=sys.stderr)
        return 2
    try:
        commands[argv[1]][0](*argv[2:])
    except Failure as e:
        print("FAIL %s: %s" % (argv[1], e), file=sys.stderr)
        return 1
    print("ok %s" % " ".join(argv[1:]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
