// replay_script_test.cpp: the replay tool's input scripts: counts, comments, keys, malformed lines; and the
// writer of recordings: folding, late and close ticks, comments, and a round trip through the parser.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/input_script.h"

namespace {

InputScript parse_ok(const std::string &text)
{
    InputScript script;
    ScriptError error;
    EXPECT_TRUE(parse_input_script(text, script, error)) << error.line << ": " << error.message;
    return script;
}

ScriptError parse_bad(const std::string &text)
{
    InputScript script;
    ScriptError error;
    EXPECT_FALSE(parse_input_script(text, script, error));
    return error;
}

} // namespace

TEST(ReplayScript, CountsCommentsAndBlankLines)
{
    InputScript script = parse_ok("# a comment line\n\n- 3\nU   # held for one tick\n\t D 2 \r\n1");
    ASSERT_EQ(script.entries.size(), 4u);
    EXPECT_EQ(script.entries[0].keys, 0);
    EXPECT_EQ(script.entries[0].count, 3u);
    EXPECT_EQ(script.entries[1].keys, SCRIPT_UP);
    EXPECT_EQ(script.entries[1].count, 1u);
    EXPECT_EQ(script.entries[2].keys, SCRIPT_DOWN);
    EXPECT_EQ(script.entries[2].count, 2u);
    EXPECT_EQ(script.entries[3].keys, SCRIPT_BUTTON_1); // the last line needs no line end
    EXPECT_EQ(script.ticks, 7u);
}

TEST(ReplayScript, EveryKeyHasItsOwnBit)
{
    InputScript script = parse_ok("UDLR123456EQ~\n");
    ASSERT_EQ(script.entries.size(), 1u);
    uint16_t keys = script.entries[0].keys;
    EXPECT_EQ(keys, SCRIPT_UP | SCRIPT_DOWN | SCRIPT_LEFT | SCRIPT_RIGHT | 0x3F0 | SCRIPT_ESCAPE | SCRIPT_CLOSE |
                        SCRIPT_LATE);
    EXPECT_EQ(script_key_of('2'), SCRIPT_BUTTON_1 << 1);
    EXPECT_EQ(script_key_of('6'), SCRIPT_BUTTON_1 << 5);
    EXPECT_EQ(script_key_of('u'), 0); // keys are upper case only
}

TEST(ReplayScript, LateAndCloseTicksAreEntriesLikeAnyOther)
{
    InputScript script = parse_ok("~ 4\nQ\n");
    ASSERT_EQ(script.entries.size(), 2u);
    EXPECT_EQ(script.entries[0].keys, SCRIPT_LATE);
    EXPECT_EQ(script.entries[0].count, 4u);
    EXPECT_EQ(script.entries[1].keys, SCRIPT_CLOSE);
}

TEST(ReplayScript, MalformedLinesNameTheirLineNumber)
{
    ScriptError unknown = parse_bad("- 2\n# fine\nUX\n");
    EXPECT_EQ(unknown.line, 3u);
    EXPECT_NE(unknown.message.find("'X'"), std::string::npos);

    EXPECT_EQ(parse_bad("U 0\n").line, 1u);       // counts start at 1
    EXPECT_EQ(parse_bad("- 3\nU -2\n").line, 2u); // no sign
    EXPECT_EQ(parse_bad("U 2x\n").line, 1u);      // digits only
    EXPECT_EQ(parse_bad("U 2 3\n").line, 1u);     // one count at most
    EXPECT_EQ(parse_bad("-U\n").line, 1u);        // '-' stands alone
    EXPECT_EQ(parse_bad("U 99999999999999999999\n").line, 1u);
    EXPECT_EQ(parse_bad(std::string("U\n\x01\n", 4)).line, 2u);
}

TEST(ReplayScript, AnEmptyScriptHasNoTicks)
{
    InputScript script = parse_ok("# nothing but comments\n\n");
    EXPECT_TRUE(script.entries.empty());
    EXPECT_EQ(script.ticks, 0u);
}

namespace {

// A script writer into memory; text() gives what it has written so far.
class ScriptWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { out = open_memstream(&buffer, &size); }
    void TearDown() override
    {
        std::fclose(out);
        std::free(buffer);
    }
    std::string text()
    {
        std::fflush(out);
        return std::string(buffer, size);
    }
    // Writes the ticks and finishes the script.
    void write_ticks(const std::vector<uint16_t> &ticks)
    {
        start_script(writer, out, "a test");
        for (uint16_t keys : ticks)
            write_script_tick(writer, keys);
        finish_script(writer);
    }

    std::FILE *out = nullptr;
    char *buffer = nullptr;
    size_t size = 0;
    ScriptWriter writer;
};

// The keys of every tick of a parsed script, its counts unfolded.
std::vector<uint16_t> unfolded(const InputScript &script)
{
    std::vector<uint16_t> ticks;
    for (const ScriptEntry &entry : script.entries)
        ticks.insert(ticks.end(), entry.count, entry.keys);
    return ticks;
}

} // namespace

TEST_F(ScriptWriterTest, FoldsIdenticalTicksAsTheyCome)
{
    const uint16_t fire = SCRIPT_BUTTON_1, left = SCRIPT_LEFT;
    start_script(writer, out, "recorded by a test");
    EXPECT_FALSE(write_script_tick(writer, 0));
    EXPECT_FALSE(write_script_tick(writer, 0));
    EXPECT_FALSE(write_script_tick(writer, 0));
    EXPECT_EQ(text(), "# recorded by a test\n"); // the run is still folding
    EXPECT_TRUE(write_script_tick(writer, fire));
    EXPECT_EQ(text(), "# recorded by a test\n- 3\n");
    EXPECT_TRUE(write_script_tick(writer, left | fire));
    EXPECT_FALSE(write_script_tick(writer, left | fire));
    EXPECT_TRUE(write_script_tick(writer, 0));
    finish_script(writer);
    EXPECT_EQ(text(), "# recorded by a test\n- 3\n1\nL1 2\n-\n");
    EXPECT_EQ(writer.ticks, 7u);
    EXPECT_EQ(writer.late_ticks, 0u);
}

TEST_F(ScriptWriterTest, LateAndCloseTicksAreWrittenAndCounted)
{
    write_ticks({SCRIPT_UP, SCRIPT_UP | SCRIPT_LATE, SCRIPT_UP | SCRIPT_LATE, SCRIPT_LATE, SCRIPT_CLOSE | SCRIPT_LATE,
                 SCRIPT_ESCAPE | SCRIPT_CLOSE});
    EXPECT_EQ(text(), "# a test\nU\nU~ 2\n~\nQ~\nEQ\n");
    EXPECT_EQ(writer.ticks, 6u);
    EXPECT_EQ(writer.late_ticks, 4u);
}

TEST_F(ScriptWriterTest, CommentsKeepTheirPlaceAmongTheEntries)
{
    start_script(writer, out, "first line");
    write_script_comment(writer, "options: --draws");
    write_script_tick(writer, SCRIPT_DOWN);
    write_script_tick(writer, SCRIPT_DOWN);
    write_script_comment(writer, "2 ticks"); // writes the entry still folding first
    write_script_tick(writer, SCRIPT_DOWN);  // and the next tick starts a new one
    finish_script(writer);
    EXPECT_EQ(text(), "# first line\n# options: --draws\nD 2\n# 2 ticks\nD\n");
}

TEST_F(ScriptWriterTest, WhatItWritesParsesBackTickForTick)
{
    // Every set of the thirteen keys once, some of them held for a while, in an order that mixes them.
    std::vector<uint16_t> ticks;
    for (uint32_t n = 0; n < (1u << 13); n++) {
        uint16_t keys = static_cast<uint16_t>((n * 2654435761u) >> 19);
        ticks.insert(ticks.end(), 1 + n % 3, keys);
    }
    write_ticks(ticks);
    InputScript script;
    ScriptError error;
    ASSERT_TRUE(parse_input_script(text(), script, error)) << error.line << ": " << error.message;
    EXPECT_EQ(unfolded(script), ticks);
    EXPECT_EQ(script.ticks, writer.ticks);
}

TEST(ReplayScript, KeysTextFollowsTheBitOrder)
{
    char text[max_keys_text + 1];
    script_keys_text(0, text);
    EXPECT_STREQ(text, "-");
    script_keys_text(0x1FFF, text);
    EXPECT_STREQ(text, "UDLR123456EQ~");
    script_keys_text(SCRIPT_LATE | SCRIPT_BUTTON_1 << 2 | SCRIPT_RIGHT | SCRIPT_UP, text);
    EXPECT_STREQ(text, "UR3~");
}
