// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's text helpers: escaping for the terminal, name matching, and reading numbers
// back out of the effect's value texts.
#include "cli/NameMatching.h"
#include "cli/ParameterValues.h"
#include "cli/Printable.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Printable, ControlBytesAndBrokenUtf8AreEscaped) {
    const struct {
        std::string_view raw, shown;
    } cases[] = {
        {"Piano Case", "Piano Case"},   {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {"\x1b[31m", "\\x1b[31m"},      {"back\\slash", "back\\\\slash"},
        {"caf\xC3\xA9", "caf\xC3\xA9"}, // UTF-8 stays
        {"\xC2\x9B", "\\xc2\\x9b"},     // a C1 control in UTF-8 does not
        {"\xFF\x7F", "\\xff\\x7f"},     {std::string_view("nul\0", 4), "nul\\x00"},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::printable(c.raw), c.shown);
}

TEST(NameMatching, ExactThenLooseThenNearMisses) {
    const std::vector<std::string> names = {"3 16 Feedback ", "3 16 Feedback HP", "Piano Case",
                                            "piano case"};
    EXPECT_EQ(cli::matchName(names, "piano case").index, 3) << "an exact match wins";
    EXPECT_EQ(cli::matchName(names, "PIANO CASE ").index, 2) << "else the first loose match";
    EXPECT_EQ(cli::matchName(names, "3 16 Feedback").index, 0);
    cli::NameMatch miss = cli::matchName(names, "3 16 Fedback");
    EXPECT_FALSE(miss.index);
    ASSERT_FALSE(miss.nearMisses.empty());
    EXPECT_EQ(miss.nearMisses[0], 0);
    EXPECT_TRUE(cli::matchName(names, "Reverb").nearMisses.empty());
}

TEST(ParameterValues, NumbersAreReadFromEveryKindOfValueText) {
    const struct {
        std::string_view text;
        double number;
    } cases[] = {
        {"-6.02060", -6.0206},   {"2000.000000", 2000.0}, {"16000", 16000.0}, {"D:70<>30:W", 30.0},
        {"L:+45<>45-:R", -45.0}, {"L:-45<>45+:R", 45.0},  {"L:0<>0:R", 0.0},  {"-100", -100.0},
    };
    for (const auto& c : cases) {
        std::optional<double> number = cli::displayNumber(c.text);
        ASSERT_TRUE(number) << c.text;
        EXPECT_DOUBLE_EQ(*number, c.number) << c.text;
    }
    EXPECT_TRUE(std::isinf(*cli::displayNumber("-oo")));
    EXPECT_FALSE(cli::displayNumber("plate"));
    EXPECT_FALSE(cli::displayNumber("12 dB"));
}
