// --bank and --preset load the editor's file formats into the effect before rendering.
#include "ToolFixture.h"
#include "presets/FileFormats.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The value column of --list-params for parameter `index`.
std::string listedValue(const std::string& out, int index) {
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string first, name, value;
        std::getline(fields, first, '\t');
        std::getline(fields, name, '\t');
        std::getline(fields, value, '\t');
        if (first == std::to_string(index)) return value;
    }
    return "<missing>";
}

ProgramRecord distinctRecord(const std::string& name, float mainIn) {
    ProgramRecord record;
    record.name = name;
    record.values.fill(0.0f);
    record.values[0] = mainIn;
    record.values[30] = record.values[31] = 5.0f / 6.0f;
    return record;
}

} // namespace

TEST(PresetFileOptions, BankReplacesTheProgramsAndProgramPicksFromIt) {
    clitest::TempDir dir;
    BankRecords bank;
    for (std::size_t i = 0; i < bank.size(); ++i)
        bank[i] = distinctRecord("Bank " + std::to_string(i), 0.01f * static_cast<float>(i));
    writeBytes(dir.file("mine.dlb"), encodeBank(bank));

    clitest::ToolRun programs =
        clitest::runTool({"--bank", dir.file("mine.dlb"), "--list-programs"}, dir);
    ASSERT_EQ(programs.exitCode, 0) << programs.err;
    EXPECT_NE(programs.out.find("3\tBank 3\n"), std::string::npos) << programs.out;

    clitest::ToolRun params = clitest::runTool(
        {"--bank", dir.file("mine.dlb"), "--program", "Bank 25", "--list-params"}, dir);
    ASSERT_EQ(params.exitCode, 0) << params.err;
    EXPECT_EQ(listedValue(params.out, 0).substr(0, 4), "0.25") << params.out;
}

TEST(PresetFileOptions, PresetReplacesTheCurrentProgram) {
    clitest::TempDir dir;
    writeBytes(dir.file("one.dlp"), encodePreset(distinctRecord("Mine", 0.125f)));
    clitest::ToolRun run =
        clitest::runTool({"--program", "7", "--preset", dir.file("one.dlp"), "--list-params"}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(listedValue(run.out, 0).substr(0, 5), "0.125") << run.out;

    clitest::ToolRun names = clitest::runTool(
        {"--program", "7", "--preset", dir.file("one.dlp"), "--list-programs"}, dir);
    ASSERT_EQ(names.exitCode, 0) << names.err;
    EXPECT_NE(names.out.find("7\tMine\n"), std::string::npos) << names.out;
}
