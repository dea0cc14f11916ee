// generated_data_test.cpp: the committed data/ files are exactly what the generator makes from art/.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>

#include "artwork.hpp"
#include "data_readers.hpp"

namespace art_test {
namespace {

// A fresh directory under the system temp dir, removed again at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        std::random_device random;
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("vorpaline-art-" + std::to_string(random()) + "-" + std::to_string(ticks));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

TEST(GeneratedData, CommittedFilesMatchTheArtSources) {
    ScratchDir scratch;
    artgen::write_artwork(artgen::build_artwork(art_dir()), scratch.path());

    std::set<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
        written.insert(entry.path().filename().string());
    }
    const std::set<std::string> expected(generated_file_names().begin(), generated_file_names().end());
    EXPECT_EQ(written, expected);

    for (const std::string& name : generated_file_names()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(std::filesystem::exists(data_dir() / name)) << "data/" << name << " is missing";
        const std::vector<std::uint8_t> fresh = read_bytes(scratch.path() / name);
        const std::vector<std::uint8_t> committed = read_bytes(data_dir() / name);
        EXPECT_EQ(fresh.size(), committed.size());
        EXPECT_TRUE(fresh == committed) << "data/" << name << " is stale: rebuild the 'artwork' target";
    }
}

TEST(GeneratedData, GenerationIsDeterministic) {
    const auto first = artgen::build_artwork(art_dir());
    const auto second = artgen::build_artwork(art_dir());
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].name, second[i].name);
        EXPECT_TRUE(first[i].bytes == second[i].bytes) << first[i].name;
    }
}

}  // namespace
}  // namespace art_test
