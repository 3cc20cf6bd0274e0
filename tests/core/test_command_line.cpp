#include "model/CommandLine.h"

#include <gtest/gtest.h>

using zembra::SplitCommandLine;
using Words = std::vector<std::string>;

TEST(CommandLine, SplitsLikeAShellWithoutOne)
{
    EXPECT_EQ(SplitCommandLine("notepad.exe"), Words{"notepad.exe"});
    EXPECT_EQ(SplitCommandLine("  mpv\t--volume=80   /home/u/Muzyka/budzik.mp3 "),
              (Words{"mpv", "--volume=80", "/home/u/Muzyka/budzik.mp3"}));
    EXPECT_EQ(SplitCommandLine("sh -c 'echo $HOME > /tmp/x; ls \"a b\"'"),
              (Words{"sh", "-c", "echo $HOME > /tmp/x; ls \"a b\""}));
    EXPECT_EQ(SplitCommandLine(R"(notify-send "Wstawaj, \"śpiochu\"" a\ b c\\d)"),
              (Words{"notify-send", "Wstawaj, \"śpiochu\"", "a b", "c\\d"}));
    // Quotes join with what touches them; an empty pair is an empty argument.
    EXPECT_EQ(SplitCommandLine("x'y'\"z\" ''"), (Words{"xyz", ""}));
    // Inside double quotes a backslash only escapes the four special characters.
    EXPECT_EQ(SplitCommandLine(R"("a\nb\$c")"), Words{R"(a\nb$c)"});
    EXPECT_EQ(SplitCommandLine("   "), Words{});
}

TEST(CommandLine, UnterminatedQuotesAreRefused)
{
    std::string error;
    EXPECT_FALSE(SplitCommandLine("sh -c 'echo", &error));
    EXPECT_EQ(error, "a single quote is not closed");
    EXPECT_FALSE(SplitCommandLine("say \"hello\\\"", &error));
    EXPECT_EQ(error, "a double quote is not closed");
}
