// main.cpp: vorpaline-artgen OUTDIR [ARTDIR] - regenerates the game's data files from art/.
#include <exception>
#include <filesystem>
#include <iostream>

#include "artwork.hpp"

#ifndef VORPALINE_ART_DIR
#error "VORPALINE_ART_DIR must name the art source directory"
#endif

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: vorpaline-artgen OUTDIR [ARTDIR]\n"
                  << "  ARTDIR defaults to " << VORPALINE_ART_DIR << "\n";
        return 2;
    }
    const std::filesystem::path out_dir = argv[1];
    const std::filesystem::path art_dir = argc == 3 ? argv[2] : VORPALINE_ART_DIR;
    try {
        const auto files = artgen::build_artwork(art_dir);
        artgen::write_artwork(files, out_dir);
        for (const auto& file : files) {
            std::cout << (out_dir / file.name).string() << " (" << file.bytes.size() << " bytes)\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "vorpaline-artgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
