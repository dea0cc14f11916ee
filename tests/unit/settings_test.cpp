// settings_test.cpp: the krv.ini reader: its messages, what it ignores, and over-long keys and lines.
#include <gtest/gtest.h>

#include <string>

#include "runtime/settings.h"
#include "test_support.h"

namespace {

// Reads 'text' as krv.ini from the defaults and returns what was printed.
std::string read_from_defaults(const std::string &text)
{
    default_settings();
    std::FILE *file = text_stream(text);
    std::string out = capture_stdout([&] { read_settings(file); });
    std::fclose(file);
    return out;
}

TEST(Settings, DefaultsAreFullScreenWithoutCounter)
{
    fullscreen = 0;
    show_fps = 1;
    default_settings();
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(show_fps, 0);
}

TEST(Settings, EmptyFileKeepsDefaultsAndPrintsNothing)
{
    EXPECT_EQ(read_from_defaults(""), "");
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(show_fps, 0);
}

TEST(Settings, WindowAndCounterPrintedInFileOrder)
{
    EXPECT_EQ(read_from_defaults("krv_fullscreen = 0\nkrv_showfps = 1\n"),
              "setting...Window mode\nsetting...show FPS\n");
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(show_fps, 1);

    EXPECT_EQ(read_from_defaults("krv_showfps = 0\nkrv_fullscreen = 1\n"),
              "setting...don't show FPS\nsetting...Fullscreen mode\n");
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(show_fps, 0);
}

TEST(Settings, InvalidValueIsReportedAndLeavesTheSetting)
{
    EXPECT_EQ(read_from_defaults("krv_showfps = 1\nkrv_showfps = 2\n"),
              "setting...show FPS\nERROR!...krv_showfps is invalid number\n");
    EXPECT_EQ(show_fps, 1);

    EXPECT_EQ(read_from_defaults("krv_fullscreen = -1\nkrv_fullscreen = 256\n"),
              "ERROR!...krv_fullscreen is invalid number\nERROR!...krv_fullscreen is invalid number\n");
    EXPECT_EQ(fullscreen, 1);
}

TEST(Settings, LinesThatDoNotScanOrNameNoSettingAreIgnoredSilently)
{
    const char *ignored = "KRV_FULLSCREEN = 0\n"  // keys are case-sensitive
                          "krv_fullscreen= 0\n"   // joined to "=": one long key, no number
                          "krv_showfps =1\n"      // still valid: blanks after "=" are optional
                          "krv_fullscreen=0\n"    // one word
                          "krv_fullscreen = no\n" // not a number
                          "krv_fullscreen = \n"   // no number at all
                          "krv_fullscreen 0\n"    // no "="
                          "krv_full = 0\n"        // a prefix of a key
                          "krv_fullscreenx = 0\n" // a key with a tail
                          "\n"
                          "   \n";
    EXPECT_EQ(read_from_defaults(ignored), "setting...show FPS\n");
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(show_fps, 1);
}

TEST(Settings, BlanksSignsAndTrailingTextAroundTheNumber)
{
    EXPECT_EQ(read_from_defaults("  krv_fullscreen\t=\t+0 window please\n"), "setting...Window mode\n");
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(read_from_defaults("krv_showfps = 1x\n"), "setting...show FPS\n");
    EXPECT_EQ(show_fps, 1);
}

TEST(Settings, LastValidLineWins)
{
    EXPECT_EQ(read_from_defaults("krv_fullscreen = 0\nkrv_fullscreen = 1\nkrv_fullscreen = 0\nkrv_fullscreen = 7\n"),
              "setting...Window mode\nsetting...Fullscreen mode\nsetting...Window mode\n"
              "ERROR!...krv_fullscreen is invalid number\n");
    EXPECT_EQ(fullscreen, 0);
}

TEST(Settings, KeyLongerThanNineteenCharactersMatchesNothing)
{
    EXPECT_EQ(read_from_defaults("krv_fullscreen_but_much_longer = 0\n"
                                 "krv_showfps_and_some_more_text_to_make_it_long = 1\n"
                                 "krv_fullscreen_xxxx = 0\n"
                                 "krv_fullscreen_xxxxx= 0\n"),
              "");
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(show_fps, 0);
}

TEST(Settings, RestOfALineLongerThan1023CharactersIsALineOfItsOwn)
{
    // The first read takes 1023 characters, ending just before the key, which is then read alone.
    std::string padding = "comment" + std::string(1023 - 7, ' ');
    EXPECT_EQ(read_from_defaults(padding + "krv_showfps = 1\n"), "setting...show FPS\n");
    EXPECT_EQ(show_fps, 1);

    // A key followed by 1023 - 17 blanks: the number is cut off into the next read, so nothing applies.
    std::string cut = "krv_fullscreen = " + std::string(1023 - 17, ' ') + "0\n";
    EXPECT_EQ(read_from_defaults(cut), "");
    EXPECT_EQ(fullscreen, 1);
}

} // namespace
