// artwork.cpp: reading every art source and producing the game's palette, font, icon and sheets.
#include "artwork.hpp"

#include "bmp_writer.hpp"
#include "font_source.hpp"
#include "palette.hpp"
#include "sheet_packer.hpp"
#include "source_text.hpp"
#include "sprite_source.hpp"

namespace artgen {
namespace {

constexpr std::size_t max_sheet_name = 14;
constexpr std::size_t max_kvs_line = 30;

std::vector<std::string> read_sheet_names(const SourceText& source) {
    std::vector<std::string> names;
    for (const SourceLine& line : source.lines) {
        if (is_blank_or_comment(line.text)) {
            continue;
        }
        const std::string name = trim(line.text);
        if (name.size() > max_sheet_name) {
            throw SourceError(source.name, line.number, "sheet names are at most 14 characters");
        }
        for (char c : name) {
            const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
            if (!ok) {
                throw SourceError(source.name, line.number, "sheet names use a-z, 0-9, '_' and '-'");
            }
        }
        for (const std::string& earlier : names) {
            if (earlier == name) {
                throw SourceError(source.name, line.number, "sheet '" + name + "' listed twice");
            }
        }
        names.push_back(name);
    }
    if (names.empty()) {
        throw SourceError(source.name, 0, "no sheets listed");
    }
    return names;
}

IndexedImage read_icon(const std::filesystem::path& path) {
    const SourceText source = read_source(path);
    SpriteSheetSource icon = parse_sprite_source(source);
    if (icon.frames.size() != 1 || !icon.frames[0] || icon.frames[0]->width != 32 ||
        icon.frames[0]->height != 32) {
        throw SourceError(source.name, 0, "the icon is a single 32x32 frame 0");
    }
    return *icon.frames[0];
}

std::string kvs_checked(const std::string& sheet, const std::vector<FrameRect>& rects) {
    const std::string text = kvs_text(rects);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end - start > max_kvs_line) {
            throw std::runtime_error(sheet + ".kvs: a frame line is longer than the game reads");
        }
        start = end + 1;
    }
    return text;
}

}  // namespace

std::vector<ArtworkFile> build_artwork(const std::filesystem::path& art_dir) {
    const Palette palette = parse_palette(read_source(art_dir / "palette.txt"));
    std::vector<ArtworkFile> files;
    files.push_back({"krvcolor.ini", to_bytes(palette_ini_text(palette))});

    const FontSource font = parse_font_source(read_source(art_dir / "font.txt"));
    files.push_back({"font.bmp", encode_bmp(build_font_image(font), palette)});

    files.push_back({"icon.bmp", encode_bmp(read_icon(art_dir / "icon.txt"), palette)});

    const std::vector<std::string> sheets = read_sheet_names(read_source(art_dir / "sheets.txt"));
    std::string sheet_list;
    for (const std::string& name : sheets) {
        sheet_list += name + "\n";
    }
    files.push_back({"kvs.ini", to_bytes(sheet_list)});

    for (const std::string& name : sheets) {
        const SpriteSheetSource source = parse_sprite_source(read_source(art_dir / (name + ".txt")));
        const PackedSheet sheet = pack_sheet(source.frames);
        files.push_back({name + ".kvs", to_bytes(kvs_checked(name, sheet.rects))});
        files.push_back({name + ".bmp", encode_bmp(sheet.image, palette)});
    }
    return files;
}

void write_artwork(const std::vector<ArtworkFile>& files, const std::filesystem::path& out_dir) {
    std::filesystem::create_directories(out_dir);
    for (const ArtworkFile& file : files) {
        write_bytes(out_dir / file.name, file.bytes);
    }
}

}  // namespace artgen
