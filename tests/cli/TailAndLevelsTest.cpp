// SPDX-License-Identifier: GPL-3.0-or-later
// What a musician hears at the edges of a render through the built tool: tails that keep
// every echo and fade when cut, overs reported, an input that ends early, and bounces that
// alternate between the sides.
#include "ToolFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sndfile.h>

namespace {

constexpr double kRate = 44100.0;
const float kQuiet = std::pow(10.0f, -90.0f / 20.0f);

// A 10 ms click at half scale.
std::vector<float> click() {
    return std::vector<float>(441, 0.5f);
}

// A seeded 50 ms noise burst with a quick decay.
std::vector<float> burst() {
    std::vector<float> out(2205);
    unsigned state = 7;
    for (std::size_t i = 0; i < out.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        float noise = static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
        out[i] = 0.5f * noise * std::exp(-static_cast<float>(i) / 600.0f);
    }
    return out;
}

clitest::ToolRun render(const clitest::Sound& input, std::vector<std::string> args,
                        const clitest::TempDir& dir) {
    clitest::writeSound(dir.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    args.insert(args.end(), {"in.wav", "out.wav"});
    return clitest::runTool(args, dir);
}

double correlation(const clitest::Sound& sound) {
    double lr = 0.0, ll = 0.0, rr = 0.0;
    for (long long i = 0; i < sound.frames(); ++i) {
        const double l = sound.at(i, 0), r = sound.at(i, 1);
        lr += l * r;
        ll += l * l;
        rr += r * r;
    }
    return lr / std::sqrt(ll * rr + 1e-30);
}

} // namespace

TEST(RenderTail, AClickThroughTheDefaultProgramKeepsItsEcho) {
    clitest::TempDir dir;
    clitest::ToolRun run = render(clitest::monoWith(kRate, 0.1, click(), 0), {}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    clitest::Sound out = clitest::readSound(dir.file("out.wav"));
    // The default program repeats once after 2000 ms; the tail outlasts that echo.
    EXPECT_GT(clitest::peakBetween(out, 1.995, 2.02), 0.05f) << "the 2000 ms echo is missing";
    EXPECT_LT(clitest::peakBetween(out, 0.1, 1.99), kQuiet) << "nothing before the echo";
    ASSERT_GT(out.frames(), std::llround(4.0 * kRate)) << "the tail stopped before it was quiet";
    EXPECT_LT(clitest::peakBetween(out, 2.1, 1e9), kQuiet) << "it ends quiet";
    EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
}

TEST(RenderTail, EndlessFeedbackFadesAtTheLimitAndSaysSo) {
    clitest::TempDir dir;
    const double rate = 8000.0;
    const std::vector<std::string> sound = {"--program",    "1 8 Feedback", "--set",
                                            "DlyL Fb=0 dB", "--set",        "DlyR Fb=0 dB"};
    const struct {
        std::vector<std::string> tail;
        double seconds;
        const char* message;
    } cases[] = {
        {{},
         30.0,
         "the tail reached its limit of 30.0 s; the last 0.50 s fade out (these "
         "settings can ring without end"},
        {{"--tail", "2"}, 2.0, "at the end of the 2.00 s tail; the last 0.50 s fade out"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = sound;
        args.insert(args.end(), c.tail.begin(), c.tail.end());
        clitest::ToolRun run = render(clitest::monoWith(rate, 0.2, burst(), 0), args, dir);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        clitest::Sound out = clitest::readSound(dir.file("out.wav"));
        EXPECT_EQ(out.frames(), std::llround((0.2 + c.seconds) * rate));
        const double end = static_cast<double>(out.frames()) / rate;
        EXPECT_GT(clitest::peakBetween(out, end - 1.0, end - 0.5), 0.01f) << "still ringing";
        EXPECT_LT(clitest::peakBetween(out, end - 0.01, end), 0.002f) << "faded to nothing";
    }
}

TEST(RenderLevels, OversAreReportedWithAWayToAvoidThem) {
    clitest::TempDir dir;
    clitest::Sound loud = clitest::testSignal(kRate, 2, 0.5, 3);
    for (float& s : loud.samples) s *= 2.5f; // peaks above 0 dBFS
    const struct {
        const char* format;
        const char* advice;
    } cases[] = {
        {"24", "were clipped in the 24-bit file; --format float keeps them, or lower \"Main "
               "Out\" by "},
        {"float", "the float file keeps them, but lower \"Main Out\" by "},
    };
    for (const auto& c : cases) {
        clitest::ToolRun run =
            render(loud, {"--set", "Main Out=+6 dB", "--tail", "0", "--format", c.format}, dir);
        ASSERT_EQ(run.exitCode, 0) << "overs are a warning, not a failure: " << run.err;
        EXPECT_NE(run.err.find("samples went beyond full scale (peak +"), std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find(c.advice), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("(--set \"Main Out="), std::string::npos) << run.err;
    }
    clitest::ToolRun clean = render(loud, {"--tail", "0"}, dir);
    EXPECT_EQ(clean.err.find("full scale"), std::string::npos) << clean.err;
}

TEST(RenderInput, AnInputThatEndsEarlyIsRenderedWithAWarning) {
    clitest::TempDir dir;
    clitest::Sound whole = clitest::testSignal(kRate, 2, 7.5, 9);
    for (int format : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16}) {
        const std::string name = (format & SF_FORMAT_FLAC) != 0 ? "cut.flac" : "cut.wav";
        clitest::writeSound(dir.file(name), whole, format);
        std::filesystem::resize_file(dir.file(name),
                                     std::filesystem::file_size(dir.file(name)) / 10);
        clitest::ToolRun run = clitest::runTool({"--tail", "0", name, "out.wav"}, dir);
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
        EXPECT_NE(run.err.find("warning: the input '" + name +
                               "' ended early: it promises 7.50 s, but only 0."),
                  std::string::npos)
            << run.err;
        EXPECT_LT(clitest::readSound(dir.file("out.wav")).frames(), std::llround(kRate));
    }
}

TEST(BounceProgram, ACentredSoundAlternatesBetweenTheSides) {
    clitest::TempDir dir;
    for (const char* program : {"1 4 Bounce", "1 8 Bounce"}) {
        // The wet part alone, from a mono source.
        clitest::ToolRun run = render(clitest::monoWith(kRate, 0.1, burst(), 0),
                                      {"--program", program, "--set", "Main Mix=100 %"}, dir);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        clitest::Sound out = clitest::readSound(dir.file("out.wav"));
        EXPECT_LT(correlation(out), 0.5) << program;
        // At 120 beats per minute the repeats come every quarter (eighth): left, right, left.
        const double step = program[2] == '4' ? 0.5 : 0.25;
        for (int k = 1; k <= 4; ++k) {
            const double at = k * step;
            const int side = k % 2 == 1 ? 0 : 1;
            EXPECT_GT(clitest::peakBetween(out, at, at + 0.06, side), 0.02f)
                << program << " repeat " << k;
            EXPECT_LT(clitest::peakBetween(out, at, at + 0.06, 1 - side), 0.001f)
                << program << " repeat " << k << " is on both sides";
        }
    }
}

// The engine starts from its settings at once when switched on: nothing glides from the
// construction values in the first fifth of a second.
TEST(RenderStart, AHitAtTheStartIsAsLoudAsTheSameHitLater) {
    clitest::TempDir dir;
    clitest::Sound input = clitest::monoWith(kRate, 2.0, burst(), 0);
    const std::vector<float> hit = burst();
    for (std::size_t i = 0; i < hit.size(); ++i) input.samples[44100 + i] = hit[i];
    clitest::ToolRun run = render(input, {"--program", "Piano Case", "--tail", "0"}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    clitest::Sound out = clitest::readSound(dir.file("out.wav"));
    const float first = clitest::peakBetween(out, 0.0, 0.2);
    const float later = clitest::peakBetween(out, 1.0, 1.2);
    EXPECT_NEAR(20.0 * std::log10(first / later), 0.0, 1.0);
}
