// scan_test.cpp: the scanf-like helpers behind the data-file readers, including numbers beyond 32 bits.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/scan.h"

namespace {

TEST(ScanInt, SkipsBlanksTakesASignAndStopsAfterTheDigits)
{
    const char *p = " \t\n-42,7";
    int32_t value = 0;
    ASSERT_TRUE(scan_int(p, value));
    EXPECT_EQ(value, -42);
    EXPECT_STREQ(p, ",7");

    p = "+9";
    ASSERT_TRUE(scan_int(p, value));
    EXPECT_EQ(value, 9);
}

TEST(ScanInt, FailsWithoutADigitAndLeavesPositionAndValue)
{
    for (const char *text : {"", "   ", "-", "+ 1", "- 1", "x1", ",1"}) {
        const char *p = text;
        int32_t value = 123;
        EXPECT_FALSE(scan_int(p, value)) << '"' << text << '"';
        EXPECT_EQ(p, text);
        EXPECT_EQ(value, 123);
    }
}

TEST(ScanInt, NumbersBeyondThirtyTwoBitsWrap)
{
    struct Case {
        const char *text;
        int32_t value;
    };
    const Case cases[] = {
        {"2147483647", 2147483647},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-4294967297", -1},
        // 10^20 mod 2^32 = 1661992960
        {"100000000000000000000", 1661992960},
        {"99999999999999999999999999999999999999", static_cast<int32_t>(0xFFFFFFFFu)}, // 10^38 - 1 ≡ -1
    };
    for (const Case &c : cases) {
        const char *p = c.text;
        int32_t value = 0;
        ASSERT_TRUE(scan_int(p, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(*p, '\0') << c.text;
    }
}

TEST(ScanWord, TakesOneWordAndKeepsToTheCapacity)
{
    char word[6];
    std::memset(word, 'X', sizeof word);
    const char *p = "  abc def";
    ASSERT_TRUE(scan_word(p, word, sizeof word));
    EXPECT_STREQ(word, "abc");
    EXPECT_STREQ(p, " def");

    char guarded[8];
    std::memset(guarded, 'X', sizeof guarded);
    p = "abcdefghij";
    ASSERT_TRUE(scan_word(p, guarded, 5));
    EXPECT_STREQ(guarded, "abcd");
    EXPECT_EQ(guarded[5], 'X') << "wrote past the capacity";
    EXPECT_STREQ(p, "efghij");
}

TEST(ScanWord, FailsOnABlankLineWithoutStoring)
{
    char word[4] = {'X', 'X', 'X', 'X'};
    const char *text = " \t\r\n";
    const char *p = text;
    EXPECT_FALSE(scan_word(p, word, sizeof word));
    EXPECT_EQ(p, text);
    EXPECT_EQ(word[0], 'X');
}

TEST(ScanChar, MatchesOnlyTheVeryNextCharacter)
{
    const char *p = " =";
    EXPECT_FALSE(scan_char(p, '='));
    scan_blanks(p);
    EXPECT_TRUE(scan_char(p, '='));
    EXPECT_EQ(*p, '\0');
    EXPECT_FALSE(scan_char(p, '='));
}

} // namespace
