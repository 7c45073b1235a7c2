// SPDX-License-Identifier: GPL-3.0-or-later
// The sound options through the built tool as a musician types them: program and
// parameter names, values in the units the host shows, settings that cannot be heard, bank
// and preset files, and the settings the tool reads but never writes.
#include "ToolFixture.h"
#include "platform/SettingsText.h"
#include "presets/FileFormats.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using clitest::Listing;
using clitest::listParams;

namespace {

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    TempFolder::writeText(path, std::string(bytes.begin(), bytes.end()));
}

ProgramRecord recordNamed(const std::string& name, float mainIn) {
    ProgramRecord record;
    record.name = name;
    record.values.fill(0.0f);
    record.values[0] = mainIn;
    record.values[30] = record.values[31] = 5.0f / 6.0f;
    return record;
}

} // namespace

TEST(SoundOptions, ProgramNamesIgnoreCaseAndSurroundingSpaces) {
    clitest::TempDir dir;
    const struct {
        const char* typed;
        const char* selected; // the note the tool prints
    } cases[] = {
        {"3 16 Feedback", "program 12 '3 16 Feedback '"},
        {"  piano CASE ", "program 60 'Piano Case'"},
        {"1 4 bounce", "program 18 '1 4 Bounce'"},
        {"7", "program 7 '1 6-1 12 Feedback'"},
    };
    for (const auto& c : cases) {
        clitest::ToolRun run = clitest::runTool({"--program", c.typed, "--list-programs"}, dir);
        EXPECT_EQ(run.exitCode, 0) << c.typed << ": " << run.err;
        EXPECT_NE(run.err.find(c.selected), std::string::npos) << c.typed << ": " << run.err;
    }
}

TEST(SoundOptions, ValuesInUnitsAreSetToTheNearestValueAndReadBack) {
    clitest::TempDir dir;
    Listing listing = listParams({"--set", "DlyL Time = 250 ms",    "--set", "Main In=-6 dB",
                                  "--set", "Flt Cutoff=2 kHz",      "--set", "DlyL Den=8",
                                  "--set", "Rvb Type=Plate",        "--set", "Main Mix=30 %",
                                  "--set", "Mod LfoOffset=-45 deg", "--set", "DlyR Range=1 s",
                                  "--set", "CC# Main In=CC 7",      "--set", "Main Out=0.25"},
                                 dir);
    ASSERT_EQ(listing.lines.size(), 96u) << listing.err;
    const struct {
        int index;
        const char* shown;
    } expected[] = {
        {35, "250.000"},   {0, "-6.00"},         {15, "2000"}, {28, "8"},    {38, "plate"},
        {2, "D:70<>30:W"}, {11, "L:+45<>45-:R"}, {31, "1000"}, {48, "CC 7"}, {1, "-12.041"},
    };
    for (const auto& e : expected) {
        const auto& fields = listing.line(e.index);
        ASSERT_EQ(fields.size(), 5u);
        EXPECT_EQ(fields[3].rfind(e.shown, 0), 0u)
            << fields[1] << " shows '" << fields[3] << "', expected '" << e.shown << "...'";
        EXPECT_NE(listing.err.find("'" + fields[1] + "' set to " + fields[3]), std::string::npos)
            << "the value set is reported: " << listing.err;
    }
    EXPECT_EQ(listing.line(1)[2], "0.25") << "a plain number is still a normalised value";
}

TEST(SoundOptions, SettingsThatCannotBeHeardAreNamedWithTheSwitchToSet) {
    clitest::TempDir dir;
    const struct {
        std::vector<std::string> args;
        const char* warning;
    } cases[] = {
        {{"--program", "1 4 Feedback", "--set", "DlyL Time=250 ms"},
         "'DlyL Time' is ignored while \"DlyL Mode\" is note: set \"DlyL Mode=time\" before it"},
        {{"--set", "Flt Cutoff=2 kHz"},
         "'Flt Cutoff' has no effect while \"Flt On\" is off (set \"Flt On=on\")"},
        {{"--set", "DlyL Den=8"}, "'DlyL Den' has no effect while \"DlyL Mode\" is time"},
        {{"--set", "Main Mix=1", "--program", "2"}, "--set 'Main Mix' comes before --program"},
        {{"--set", "Main In=+20 dB"}, "'Main In' reaches from -oo to 12.04120 dB here"},
        {{"--set", "DlyL Range=100", "--set", "DlyL Time=250 ms"},
         "'DlyL Time' reaches from 0.000000 to 100.000000 ms here; 250 ms is beyond it (set a "
         "longer \"DlyL Range\" before it)"},
        {{"--set", "Main Bypass=on"}, "\"Main Bypass\" is on"},
    };
    for (const auto& c : cases) {
        Listing listing = listParams(c.args, dir);
        EXPECT_NE(listing.err.find("warning: " + std::string(c.warning)), std::string::npos)
            << c.args.back() << ": " << listing.err;
    }
    // The note-mode time was dropped: the line keeps its quarter note.
    Listing dropped = listParams(cases[0].args, dir);
    EXPECT_EQ(dropped.line(35)[3], "500.000000");
    // A program chosen after a --set replaces the value set.
    EXPECT_EQ(listParams(cases[3].args, dir).line(2)[2],
              listParams({"--program", "2"}, dir).line(2)[2]);
    // Set in the right order, it is taken.
    Listing taken = listParams(
        {"--program", "1 4 Feedback", "--set", "DlyL Mode=time", "--set", "DlyL Time=250 ms"}, dir);
    EXPECT_EQ(taken.line(35)[3].rfind("250.000", 0), 0u) << taken.err;
    EXPECT_EQ(taken.err.find("warning"), std::string::npos) << taken.err;
}

TEST(SoundOptions, BankReplacesTheProgramsAndProgramPicksFromIt) {
    clitest::TempDir dir;
    BankRecords bank;
    for (std::size_t i = 0; i < bank.size(); ++i)
        bank[i] = recordNamed("Bank " + std::to_string(i), 0.01f * static_cast<float>(i));
    writeBytes(dir.file("mine.dlb"), encodeBank(bank));
    Listing listing = listParams({"--bank", "mine.dlb", "--program", "bank 25"}, dir);
    EXPECT_EQ(listing.line(0)[2].substr(0, 4), "0.25") << listing.err;

    writeBytes(dir.file("one.dlp"), encodePreset(recordNamed("Mine", 0.125f)));
    listing = listParams({"--program", "7", "--preset", "one.dlp"}, dir);
    EXPECT_EQ(listing.line(0)[2], "0.125") << listing.err;
    clitest::ToolRun names =
        clitest::runTool({"--program", "7", "--preset", "one.dlp", "--list-programs"}, dir);
    EXPECT_NE(names.out.find("7\tMine\n"), std::string::npos) << names.out;
}

TEST(SoundOptions, ControlBytesInNamesAreShownEscapedAndMatchedExactly) {
    clitest::TempDir dir;
    BankRecords bank;
    for (std::size_t i = 0; i < bank.size(); ++i)
        bank[i] = recordNamed("P" + std::to_string(i), 0.5f);
    bank[1].name = "Two\nLines";
    bank[2].name = "\x1b[31mRed\tTab";
    writeBytes(dir.file("odd\nname.dlb"), encodeBank(bank));

    clitest::ToolRun run = clitest::runTool({"--bank", "odd\nname.dlb", "--list-programs"}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto lines = clitest::tabbedLines(run.out);
    ASSERT_EQ(lines.size(), 61u) << "one line per program:\n" << run.out;
    EXPECT_EQ(lines[1][1], "Two\\nLines");
    EXPECT_EQ(lines[2][1], "\\x1b[31mRed\\tTab");
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "no escape byte reaches the terminal";

    run = clitest::runTool(
        {"--bank", "odd\nname.dlb", "--program", "\x1b[31mRed\tTab", "--list-programs"}, dir);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("program 2 '\\x1b[31mRed\\tTab'"), std::string::npos) << run.err;
    run = clitest::runTool({"--bank", "missing\n.dlb", "--list-programs"}, dir);
    EXPECT_NE(run.err.find("'missing\\n.dlb'"), std::string::npos) << "paths are escaped too";
}

TEST(SoundOptions, SettingsAreReadButNeverWritten) {
    clitest::TempDir dir;
    namespace fs = std::filesystem;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--list-programs"},
                                                 {"--list-params"},
                                                 {"--tail", "0", "o.wav"}}) {
        clitest::ToolRun run = clitest::runTool(args, dir);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_FALSE(fs::exists(dir.file(".config"))) << args[0] << " wrote the settings";
    }
    // A controller map the user stored is read.
    const fs::path midi = fs::path(dir.file(".config")) / "Drellsonic/Tessel/MIDI";
    fs::create_directories(midi);
    std::ofstream(midi / "values") << formatSettingsText("SOFTWARE\\Drellsonic\\Tessel\\MIDI",
                                                         {{"param000", std::uint32_t{7}}});
    const auto before = fs::last_write_time(midi / "values");
    Listing listing = listParams({}, dir);
    EXPECT_EQ(listing.line(48)[3], "CC 7") << listing.err;
    EXPECT_EQ(fs::last_write_time(midi / "values"), before);
}
