// artwork.hpp: turning the whole art/ directory into the data files the game loads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace artgen {

struct ArtworkFile {
    std::string name;  // file name inside the data directory
    std::vector<std::uint8_t> bytes;
};

// Reads palette.txt, font.txt, icon.txt, sheets.txt and one <sheet>.txt per listed sheet,
// and returns krvcolor.ini, font.bmp, icon.bmp, kvs.ini and each sheet's .kvs and .bmp.
std::vector<ArtworkFile> build_artwork(const std::filesystem::path& art_dir);

// Writes the files into `out_dir`, creating the directory if needed.
void write_artwork(const std::vector<ArtworkFile>& files, const std::filesystem::path& out_dir);

}  // namespace artgen
