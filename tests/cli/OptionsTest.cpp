// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as tessel-render reads it, before any effect exists.
#include "cli/Options.h"

#include <gtest/gtest.h>

using cli::parseOptions;
using cli::SoundAction;

TEST(Options, DefaultsRenderTheDemoPhraseWithOneFile) {
    cli::ParseResult r = parseOptions({"--", "--odd-name.wav"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_FALSE(r.options.input.has_value());
    EXPECT_EQ(r.options.output, "--odd-name.wav") << "a double dash ends the options";
    EXPECT_EQ(r.options.tempoBpm, 120.0);
    EXPECT_EQ(r.options.blockSize, 512);
    EXPECT_FALSE(r.options.tailSeconds.has_value()) << "the tail is automatic by default";
    EXPECT_EQ(r.options.format, cli::SampleFormat::pcm24);
}

TEST(Options, SoundOptionsKeepCommandLineOrder) {
    cli::ParseResult r =
        parseOptions({"--set", "DlyL Time = 250 ms ", "--program", "3", "--bank=a.dlb",
                      "--set=CC# Main In=1", "--preset", "p.dlp", "in.flac", "out.wav"});
    ASSERT_TRUE(r.ok()) << r.error;
    const auto& s = r.options.sound;
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].kind, SoundAction::Kind::set);
    EXPECT_EQ(s[0].name, "DlyL Time") << "spaces around '=' are not part of the name";
    EXPECT_EQ(s[0].value, "250 ms") << "the value is kept as typed, for the effect to read";
    EXPECT_EQ(s[1].kind, SoundAction::Kind::program);
    EXPECT_EQ(s[1].name, "3");
    EXPECT_EQ(s[2].kind, SoundAction::Kind::bank);
    EXPECT_EQ(s[2].name, "a.dlb");
    EXPECT_EQ(s[3].name, "CC# Main In") << "only the first '=' separates name and value";
    EXPECT_EQ(s[3].value, "1");
    EXPECT_EQ(s[4].kind, SoundAction::Kind::preset);
    EXPECT_EQ(r.options.input, "in.flac");
    EXPECT_EQ(r.options.output, "out.wav");
}

TEST(Options, RenderingSettingsAndLaterValuesWin) {
    cli::ParseResult r = parseOptions({"--tempo", "90", "--tempo=97.5", "--block", "64", "--rate",
                                       "48000", "--tail", "2.5", "--format", "float", "out.wav"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.tempoBpm, 97.5);
    EXPECT_EQ(r.options.blockSize, 64);
    EXPECT_EQ(r.options.demoRateHz, 48000.0);
    EXPECT_EQ(r.options.tailSeconds, 2.5);
    EXPECT_EQ(r.options.format, cli::SampleFormat::float32);
}

TEST(Options, RangeEndsAreAccepted) {
    for (auto args : std::vector<std::vector<std::string>>{
             {"--tempo", "30", "--block", "1", "--set", "A=0", "--tail", "0", "o.wav"},
             {"--tempo", "400", "--block", "8192", "--set", "A=1", "o.wav"},
             {"--set", "A=1e-3", "--rate", "384000", "o.wav"},
             {"--rate", "4096", "o.wav"}}) {
        cli::ParseResult r = parseOptions(args);
        EXPECT_TRUE(r.ok()) << args[1] << ": " << r.error;
    }
}

TEST(Options, ListsAndHelpNeedNoFiles) {
    EXPECT_TRUE(parseOptions({"--list-programs"}).options.listPrograms);
    cli::ParseResult params = parseOptions({"--program", "2", "--list-params"});
    ASSERT_TRUE(params.ok()) << params.error;
    EXPECT_TRUE(params.options.listParams);
    EXPECT_EQ(params.options.sound.size(), 1u);
    cli::ParseResult help = parseOptions({"--tempo", "nonsense", "-h"});
    EXPECT_TRUE(help.ok()) << "help wins over errors elsewhere on the line";
    EXPECT_TRUE(help.options.help);
    EXPECT_NE(cli::usageText().find("Usage: tessel-render [OPTIONS] [INPUT] OUTPUT"),
              std::string::npos);
}

TEST(Options, BadCommandLinesNameTheProblem) {
    struct Case {
        std::vector<std::string> args;
        const char* expected; // part of the message
    };
    const Case cases[] = {
        {{}, "missing output"},
        {{"a.wav", "b.wav", "c.wav"}, "too many files"},
        {{"--frobnicate", "o.wav"}, "unknown option '--frobnicate'"},
        {{"o.wav", "--tempo"}, "--tempo needs a value"},
        {{"--tempo", "fast", "o.wav"}, "'fast' is not a number"},
        {{"--tempo", "1,5", "o.wav"}, "'1,5' is not a number"},
        {{"--tempo", "29.9", "o.wav"}, "outside 30..400"},
        {{"--tempo", "inf", "o.wav"}, "not a number"},
        {{"--block", "1.5", "o.wav"}, "not a whole number"},
        {{"--block", "8193", "o.wav"}, "outside 1..8192"},
        {{"--block", "99999999999999999999", "o.wav"}, "not a whole number"},
        {{"--rate", "100", "o.wav"}, "outside"},
        {{"--rate", "384001", "o.wav"}, "outside 4096..384000"},
        {{"--rate", "48000", "in.wav", "o.wav"}, "demo phrase"},
        {{"--tail", "-1", "o.wav"}, "outside"},
        {{"--tail", "nan", "o.wav"}, "not a number"},
        {{"--format", "16", "o.wav"}, "must be 24 or float"},
        {{"--set", "DlyL Time", "o.wav"}, "NAME=VALUE"},
        {{"--set", "=0.5", "o.wav"}, "NAME=VALUE"},
        {{"--set", " = 5", "o.wav"}, "NAME=VALUE"},
        {{"--set", "DlyL Time= ", "o.wav"}, "needs a value"},
        {{"--program", "", "o.wav"}, "non-empty"},
        {{"--list-params", "o.wav"}, "take no files"},
    };
    for (const Case& c : cases) {
        cli::ParseResult r = parseOptions(c.args);
        std::string line;
        for (const auto& a : c.args) line += "[" + a + "]";
        EXPECT_FALSE(r.ok()) << line << " was accepted";
        EXPECT_NE(r.error.find(c.expected), std::string::npos)
            << line << ": message '" << r.error << "' lacks '" << c.expected << "'";
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << "messages are one line";
    }
}
