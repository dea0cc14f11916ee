// replay_script_test.cpp: the replay tool's input scripts: counts, comments, keys, malformed lines.
#include <gtest/gtest.h>

#include "input_script.h"

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
