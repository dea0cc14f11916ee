// sprite_sheet_test.cpp: the sheet list and frame list readers: echoes, errors, limits and short buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/sprite_sheets.h"
#include "test_support.h"

namespace {

struct SheetList {
    int count = 0;
    std::string out;
    std::vector<std::string> names;
};

SheetList read_names(const std::string &text)
{
    static char names[max_sheets + 1][sheet_name_capacity];
    std::memset(names, 'X', sizeof names); // so that an entry left unwritten shows up
    SheetList result;
    std::FILE *file = text_stream(text);
    result.out = capture_stdout([&] { result.count = read_sheet_names(file, names); });
    std::fclose(file);
    for (int i = 0; i < result.count; i++)
        result.names.emplace_back(names[i], strnlen(names[i], sheet_name_capacity));
    EXPECT_EQ(names[max_sheets][0], 'X') << "wrote past the 256 entries";
    return result;
}

struct FrameList {
    std::string out;
    Rect frames[max_frames];
};

// Reads 'text' as a frame list over frames that all start as the marker 1,2,3,4.
FrameList read_frames(const std::string &text, const char *file_name = "ship.kvs")
{
    FrameList result;
    for (Rect &frame : result.frames)
        frame = Rect{1, 2, 3, 4};
    std::FILE *file = text_stream(text);
    result.out = capture_stdout([&] { read_frame_list(file, file_name, result.frames); });
    std::fclose(file);
    return result;
}

void expect_frame(const Rect &frame, int x, int y, int w, int h)
{
    EXPECT_EQ(frame.x, x);
    EXPECT_EQ(frame.y, y);
    EXPECT_EQ(frame.w, w);
    EXPECT_EQ(frame.h, h);
}

TEST(SheetNames, EachNameIsTheFirstWordOfItsLineAndIsEchoed)
{
    SheetList list = read_names("title\n  ship  spare\nenemy");
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.names, (std::vector<std::string>{"title", "ship", "enemy"}));
    EXPECT_EQ(list.out, "title\nship\nenemy\n");
}

TEST(SheetNames, BlankLineKeepsItsNumberWithAnEmptyName)
{
    SheetList list = read_names("title\n\n   \nenemy\n");
    EXPECT_EQ(list.count, 4);
    EXPECT_EQ(list.names, (std::vector<std::string>{"title", "", "", "enemy"}));
    EXPECT_EQ(list.out, "title\n\n\nenemy\n");
}

TEST(SheetNames, LineLongerThanTheBufferIsSplitIntoTheNextEntry)
{
    // 15 characters per read: a 14-character name fits with its line end, a 15-character one leaves
    // its line end for an empty entry, and a 20-character one leaves its last 5 for a name of its own.
    SheetList list = read_names("abcdefghijklmn\nabcdefghijklmno\nabcdefghijklmnopqrst\nlast\n");
    EXPECT_EQ(list.names,
              (std::vector<std::string>{"abcdefghijklmn", "abcdefghijklmno", "", "abcdefghijklmno", "pqrst", "last"}));
    EXPECT_EQ(list.count, 6);
}

TEST(SheetNames, AtMost256EntriesAreRead)
{
    std::string text;
    for (int i = 0; i < 300; i++) {
        text += 's';
        text += std::to_string(i);
        text += '\n';
    }
    SheetList list = read_names(text);
    ASSERT_EQ(list.count, 256);
    EXPECT_EQ(list.names[255], "s255");
    EXPECT_EQ(list.out.find("s256"), std::string::npos);
}

TEST(SheetNames, EmptyListHasNoSheets)
{
    SheetList list = read_names("");
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.out, "");
}

TEST(FrameList, FourNumbersWithOrWithoutTrailingCommaAreOneFrameEchoedWithoutIt)
{
    FrameList list = read_frames("0,16,32,8\n0,16,32,8,\n 5, 6,\t7,  8 ,\n");
    expect_frame(list.frames[0], 0, 16, 32, 8);
    expect_frame(list.frames[1], 0, 16, 32, 8);
    expect_frame(list.frames[2], 5, 6, 7, 8);
    EXPECT_EQ(list.out, "0,16,32,8\n0,16,32,8\n5,6,7,8\n");
}

TEST(FrameList, FramesBeyondTheLastLineAreLeftAlone)
{
    FrameList list = read_frames("0,0,8,8\n8,0,8,8\n16,0,8,8\n");
    expect_frame(list.frames[2], 16, 0, 8, 8);
    for (int k = 3; k < max_frames; k++)
        expect_frame(list.frames[k], 1, 2, 3, 4);
}

TEST(FrameList, IncompleteLineIsReportedWithoutLineEndAndEmptied)
{
    FrameList list = read_frames("0,0,8,8\n1,2,3\n4,5,6,7\n\nx\n1 ,2,3,4\n");
    expect_frame(list.frames[0], 0, 0, 8, 8);
    expect_frame(list.frames[1], 0, 0, 0, 0);
    expect_frame(list.frames[2], 4, 5, 6, 7);
    expect_frame(list.frames[3], 0, 0, 0, 0);
    expect_frame(list.frames[4], 0, 0, 0, 0);
    expect_frame(list.frames[5], 0, 0, 0, 0); // no blank is allowed before a comma
    expect_frame(list.frames[6], 1, 2, 3, 4); // no line 6
    EXPECT_EQ(list.out, "0,0,8,8\n"
                        "ERROR! ship.kvs..l1 is invalid number."
                        "4,5,6,7\n"
                        "ERROR! ship.kvs..l3 is invalid number."
                        "ERROR! ship.kvs..l4 is invalid number."
                        "ERROR! ship.kvs..l5 is invalid number.");
}

TEST(FrameList, NumbersAreStoredAndEchoedAsSixteenBitValues)
{
    // x and y signed, w and h unsigned: 70000 keeps its low 16 bits (4464), -1 is 65535 as a size.
    FrameList list = read_frames("70000,-1,-1,70000\n-32768,32768,65536,65535\n");
    expect_frame(list.frames[0], 4464, -1, 65535, 4464);
    expect_frame(list.frames[1], -32768, -32768, 0, 65535);
    EXPECT_EQ(list.out, "4464,-1,65535,4464\n-32768,-32768,0,65535\n");
}

TEST(FrameList, RestOfALineLongerThan31CharactersIsTheNextFrame)
{
    // 31 characters per read: the first frame and blanks, then "5,6,7,8" as frame 1.
    std::string first = "1,2,3,4," + std::string(31 - 8, ' ');
    FrameList list = read_frames(first + "5,6,7,8\n9,10,11,12\n");
    expect_frame(list.frames[0], 1, 2, 3, 4);
    expect_frame(list.frames[1], 5, 6, 7, 8);
    expect_frame(list.frames[2], 9, 10, 11, 12);

    // A number cut by the buffer end: "...,12" then "34" (too few numbers).
    std::string cut = std::string(31 - 9, ' ') + "100,20,12" + "34\n";
    list = read_frames(cut);
    EXPECT_EQ(list.out, "ERROR! ship.kvs..l0 is invalid number.ERROR! ship.kvs..l1 is invalid number.");
}

TEST(FrameList, AtMost256LinesAreRead)
{
    std::string text;
    for (int k = 0; k < 257; k++)
        text += std::to_string(k) + ",0,8,8\n";
    FrameList list = read_frames(text);
    expect_frame(list.frames[255], 255, 0, 8, 8);
    EXPECT_EQ(list.out.find("256,0,8,8"), std::string::npos);
    EXPECT_EQ(list.out.rfind("255,0,8,8\n"), list.out.size() - 10);
}

} // namespace
