// SPDX-License-Identifier: GPL-3.0-or-later
// What tessel-render does with bad input: one clear line on stderr, a non-zero exit, and
// no output file, partial or otherwise.
#include "ToolFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sndfile.h>
#include <thread>

namespace {

// A folder holding a good stereo input, a text file dressed as audio and a file with
// three channels.
class ToolErrors : public ::testing::Test {
protected:
    void SetUp() override {
        clitest::writeSound(dir.file("in.wav"), clitest::testSignal(44100.0, 2, 0.2, 1),
                            SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        clitest::writeSound(dir.file("three.wav"), clitest::testSignal(44100.0, 3, 0.1, 2),
                            SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        std::ofstream(dir.file("text.wav")) << "this is not a sound file\n";
        before = dir.entries();
    }

    // Runs the tool expecting a failure whose one-line message contains `expected`, and
    // checks that the folder holds exactly what it held before.
    void expectFailure(const std::vector<std::string>& args, const std::string& expected) {
        std::string line;
        for (const auto& a : args) line += "[" + a + "]";
        clitest::ToolRun run = clitest::runTool(args, dir);
        EXPECT_NE(run.exitCode, 0) << line << " succeeded";
        EXPECT_LT(run.exitCode, 128) << line << " crashed";
        auto lines = run.errLines();
        ASSERT_EQ(lines.size(), 1u) << line << ": stderr was '" << run.err << "'";
        EXPECT_EQ(lines[0].rfind("tessel-render: ", 0), 0u) << line << ": " << lines[0];
        EXPECT_NE(lines[0].find(expected), std::string::npos)
            << line << ": '" << lines[0] << "' lacks '" << expected << "'";
        EXPECT_EQ(run.out, "") << line;
        EXPECT_EQ(dir.entries(), before) << line << " left a file behind";
    }

    clitest::TempDir dir;
    std::vector<std::string> before;
};

} // namespace

TEST_F(ToolErrors, BadFilesAreRefused) {
    expectFailure({"missing.wav", "out.wav"}, "no such file");
    expectFailure({"text.wav", "out.wav"}, "not an audio file");
    expectFailure({"three.wav", "out.wav"}, "3 channels");
    expectFailure({".", "out.wav"}, "directory");
    expectFailure({"in.wav", "out.mp3"}, ".wav or .flac");
    expectFailure({"in.wav", "out"}, ".wav or .flac");
    expectFailure({"--format", "float", "in.wav", "out.flac"}, "FLAC");
    expectFailure({"in.wav", "no-such-folder/out.wav"}, "cannot write");
    expectFailure({"in.wav", "in.wav"}, "overwrite the input");
    expectFailure({"in.wav"}, "exists and no input was named");
    expectFailure({}, "missing output");
}

// Number and range errors are covered where the command line is parsed; these need the
// effect's own names.
TEST_F(ToolErrors, UnknownNamesAndBadValuesAreRefused) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--program", "No Such Program", "out.wav"}, "unknown program 'No Such Program'"},
        {{"--program", "Piano Cse", "out.wav"}, "(did you mean 'Piano Case'?)"},
        {{"--program", "61", "out.wav"}, "outside 0..60"},
        {{"--set", "No Such=0.5", "out.wav"}, "unknown parameter 'No Such'"},
        {{"--set", "DlyLTime=0.5", "out.wav"}, "did you mean 'DlyL Time'"},
        {{"--set", "DlyL Time=1.5", "out.wav"}, "outside [0, 1]"},
        {{"--set", "DlyL Time=250 dB", "out.wav"}, "'DlyL Time' is measured in ms, not 'dB'"},
        {{"--set", "Rvb Type=hall", "out.wav"}, "takes one of spring, plate"},
        {{"--set", "DlyL Den=5", "out.wav"}, "takes one of 1, 2, 3, 4, 6, 8"},
        {{"--set", "CC# Main In=CC 200", "out.wav"}, "takes a controller (CC 0 to CC 127)"},
        {{"--set", "Main Mix=lots", "out.wav"}, "'lots' is not a value"},
        {{"--list-params", "--set", "Nope=1"}, "unknown parameter"},
    };
    for (const auto& c : cases) expectFailure(c.args, c.message);
}

TEST_F(ToolErrors, BadBankAndPresetFilesAreRefused) {
    std::ofstream(dir.file("short.dlb")) << "W2TK7";
    std::ofstream(dir.file("wrong.dlb")) << "ABCD7";
    before = dir.entries();
    expectFailure({"--bank", "missing.dlb", "in.wav", "out.wav"},
                  "cannot read bank 'missing.dlb': no such file");
    expectFailure({"--bank", "short.dlb", "in.wav", "out.wav"},
                  "cannot load bank 'short.dlb': Invalid file format!");
    expectFailure({"--bank", "wrong.dlb", "in.wav", "out.wav"}, "Invalid file format!");
    expectFailure({"--preset", "short.dlb", "in.wav", "out.wav"}, "Not a preset file!");
}

TEST_F(ToolErrors, FailedRenderLeavesAnExistingOutputAlone) {
    std::ofstream(dir.file("out.wav")) << "keep me";
    before = dir.entries();
    expectFailure({"--set", "Nope=0.5", "in.wav", "out.wav"}, "unknown parameter");
    EXPECT_EQ(TempFolder::readText(dir.file("out.wav")), "keep me");
}

TEST_F(ToolErrors, InterruptedRenderRemovesItsTemporaryFile) {
    // An hour of tail keeps the tool busy long enough to be stopped mid-render.
    int pid = clitest::startTool({"--tail", "3600", "in.wav", "out.wav"}, dir);
    bool writing = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        for (const std::string& name : dir.entries())
            writing = writing || name.rfind(".out.wav.partial-", 0) == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid, SIGTERM);
    int code = clitest::waitTool(pid);
    ASSERT_TRUE(writing) << "the temporary output never appeared";
    EXPECT_EQ(code, 130) << "an interrupted render exits with 130";
    std::vector<std::string> after;
    for (const std::string& name : dir.entries())
        if (name.rfind(".tool-", 0) != 0) after.push_back(name);
    EXPECT_EQ(after, before) << "the interrupted render left a file behind";
    std::string err = TempFolder::readText(dir.file(".tool-stderr"));
    EXPECT_NE(err.find("tessel-render: interrupted"), std::string::npos) << err;
}
