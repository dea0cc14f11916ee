// data_file_test.cpp: data files are opened only when they are regular files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>

#include "runtime/data_file.h"

namespace {

class DataFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vorpaline-data-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }

    void TearDown() override
    {
        for (const char *name : {"plain", "link", "folder", "fifo", "dangling"})
            std::remove(path(name).c_str());
        rmdir(dir.c_str());
    }

    std::string path(const char *name) const { return dir + "/" + name; }

    void write_plain(const char *text)
    {
        std::FILE *file = std::fopen(path("plain").c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(text, file);
        std::fclose(file);
    }

    std::string dir;
};

std::string read_all(std::FILE *file)
{
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

TEST_F(DataFileTest, RegularFileAndLinkToOneAreReadWhole)
{
    write_plain("0 0 0\n17 17 17\n");
    ASSERT_EQ(symlink(path("plain").c_str(), path("link").c_str()), 0);
    for (const char *name : {"plain", "link"}) {
        std::FILE *file = open_data_file(path(name).c_str(), "r");
        ASSERT_NE(file, nullptr) << name;
        // Reads block as usual once open: the descriptor is not left non-blocking.
        EXPECT_EQ(fcntl(fileno(file), F_GETFL) & O_NONBLOCK, 0) << name;
        EXPECT_EQ(read_all(file), "0 0 0\n17 17 17\n") << name;
        std::fclose(file);
    }
}

TEST_F(DataFileTest, MissingFileAndDanglingLinkCannotBeOpened)
{
    EXPECT_EQ(open_data_file(path("plain").c_str(), "r"), nullptr);
    ASSERT_EQ(symlink(path("nowhere").c_str(), path("dangling").c_str()), 0);
    EXPECT_EQ(open_data_file(path("dangling").c_str(), "r"), nullptr);
}

TEST_F(DataFileTest, FolderAndDevicesAreTakenAsFilesThatCannotBeOpened)
{
    ASSERT_EQ(mkdir(path("folder").c_str(), 0755), 0);
    EXPECT_EQ(open_data_file(path("folder").c_str(), "r"), nullptr);
    EXPECT_EQ(open_data_file("/dev/zero", "rb"), nullptr); // would never reach its end
    EXPECT_EQ(open_data_file("/dev/null", "r"), nullptr);
}

TEST_F(DataFileTest, FifoWithoutAWriterIsRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0644), 0);
    std::string fifo = path("fifo");
    auto opening = std::async(std::launch::async, [fifo] { return open_data_file(fifo.c_str(), "r"); });
    if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Release the waiting open so that the test can end, then report it.
        int writer = open(fifo.c_str(), O_RDWR);
        std::FILE *file = opening.get();
        if (file != nullptr)
            std::fclose(file);
        close(writer);
        FAIL() << "opening a FIFO waited for a writer";
    }
    EXPECT_EQ(opening.get(), nullptr);
}

} // namespace
