// SPDX-License-Identifier: GPL-3.0-or-later
// The built tessel-render as a user runs it, its renders checked against the same input
// played through the plug-in library by the test host.
#include "ToolFixture.h"
#include "cli/Renderer.h"
#include "host/AudioEffect.h"
#include "presets/CPresetSystemEffect.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <sndfile.h>
#include <sstream>

using clitest::Sound;

namespace {

struct Reference {
    int program = -1; // none
    std::vector<std::pair<int, float>> sets;
    double tempo = 120.0;
    int block = 512;
    double tailSeconds = 0.0;
};

// Plays input through the plug-in library as tessel-render does: rate and block size, the
// sound settings, start, then input and tail in blocks with a running transport.
Sound referenceRender(const Sound& input, const Reference& ref) {
    TestHost host;
    if (!host.load()) throw std::runtime_error("the plug-in did not load");
    host.inputConnected[1] = input.channels == 2;
    host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(input.sampleRate));
    host.dispatch(effSetBlockSize, 0, ref.block);
    if (ref.program >= 0) {
        // The test host's effect is the library's own object of the same classes.
        auto* effect = static_cast<AudioEffect*>(host.effect()->object);
        static_cast<CPresetSystemEffect*>(effect)->selectProgram(ref.program);
    }
    for (auto [index, value] : ref.sets) host.setParameter(index, value);

    const long long inFrames = input.frames();
    const long long total = inFrames + std::llround(ref.tailSeconds * input.sampleRate);
    std::vector<float> inL(static_cast<std::size_t>(total)), inR(inL.size());
    for (long long i = 0; i < inFrames; ++i) {
        inL[static_cast<std::size_t>(i)] = input.at(i, 0);
        inR[static_cast<std::size_t>(i)] = input.at(i, input.channels - 1);
    }
    auto transportAt = [&](long long frame) {
        VstTimeInfo t{};
        t.samplePos = static_cast<double>(frame);
        t.sampleRate = input.sampleRate;
        t.tempo = ref.tempo;
        t.ppqPos = static_cast<double>(frame) / input.sampleRate * ref.tempo / 60.0;
        t.flags = kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying;
        return t;
    };
    host.timeInfo = transportAt(0);
    host.dispatch(effMainsChanged, 0, 1);

    Sound out;
    out.sampleRate = input.sampleRate;
    out.channels = 2;
    out.samples.resize(static_cast<std::size_t>(2 * total));
    std::vector<float> outL(static_cast<std::size_t>(ref.block)), outR(outL.size());
    for (long long pos = 0; pos < total; pos += ref.block) {
        auto n = static_cast<VstInt32>(std::min<long long>(ref.block, total - pos));
        host.timeInfo = transportAt(pos);
        float* in[2] = {inL.data() + pos, (input.channels == 2 ? inR.data() : inL.data()) + pos};
        float* outs[2] = {outL.data(), outR.data()};
        host.processReplacing(in, outs, n);
        for (VstInt32 i = 0; i < n; ++i) {
            out.samples[static_cast<std::size_t>(2 * (pos + i))] =
                outL[static_cast<std::size_t>(i)];
            out.samples[static_cast<std::size_t>(2 * (pos + i) + 1)] =
                outR[static_cast<std::size_t>(i)];
        }
    }
    host.dispatch(effMainsChanged, 0, 0);

    // A tail cut while the effect still sounds fades out, as the tool fades it.
    const auto fade = std::min<long long>(std::llround(cli::kTailFadeSeconds * input.sampleRate),
                                          total - inFrames);
    const float quiet = std::pow(10.0f, -90.0f / 20.0f);
    bool sounding = false;
    for (long long i = total - fade; i < total; ++i)
        sounding = sounding || std::fabs(out.at(i, 0)) >= quiet || std::fabs(out.at(i, 1)) >= quiet;
    for (long long i = 0; sounding && i < fade; ++i)
        for (int c = 0; c < 2; ++c)
            out.samples[static_cast<std::size_t>(2 * (total - fade + i) + c)] *=
                static_cast<float>(cli::tailFadeGain(i, fade));
    return out;
}

void expectSameSound(const Sound& actual, const Sound& expected, double tolerance) {
    ASSERT_EQ(actual.channels, 2) << "the output is stereo";
    ASSERT_EQ(actual.sampleRate, expected.sampleRate);
    ASSERT_EQ(actual.frames(), expected.frames()) << "output length";
    long long mismatches = 0, first = -1;
    for (long long i = 0; i < expected.frames(); ++i)
        for (int c = 0; c < 2; ++c)
            if (std::fabs(actual.at(i, c) - expected.at(i, c)) > tolerance) {
                if (first < 0) first = i;
                ++mismatches;
            }
    EXPECT_EQ(mismatches, 0) << "first difference at frame " << first << ": "
                             << (first >= 0 ? actual.at(first, 0) : 0.0f) << " vs "
                             << (first >= 0 ? expected.at(first, 0) : 0.0f);
}

// Whether line reads "rendered A s of audio in B s (Cx real time) -> OUTPUT" with numbers
// A, B and C that fit together.
bool isSummary(const std::string& line, const std::string& output) {
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    std::string rendered, s1, of, audio, inWord, s2, rest;
    double audioSeconds = 0.0, processSeconds = 0.0;
    in >> rendered >> audioSeconds >> s1 >> of >> audio >> inWord >> processSeconds >> s2;
    std::getline(in, rest);
    if (!in && !in.eof()) return false;
    if (rendered != "rendered" || s1 != "s" || of != "of" || audio != "audio" || inWord != "in" ||
        s2 != "s")
        return false;
    // rest: " (Cx real time) -> OUTPUT"
    const std::string tail = "x real time) -> " + output;
    if (rest.rfind(" (", 0) != 0 || rest.size() < tail.size() + 3 ||
        rest.compare(rest.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    double factor = std::stod(rest.substr(2, rest.size() - tail.size() - 2));
    return audioSeconds > 0.0 && processSeconds >= 0.0 && factor > 0.0;
}

} // namespace

TEST(RenderTool, ListsProgramsAsTheHostSeesThem) {
    clitest::TempDir dir;
    clitest::ToolRun run = clitest::runTool({"--list-programs"}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto lines = clitest::tabbedLines(run.out);
    ASSERT_EQ(lines.size(), 61u);
    TestHost host;
    ASSERT_TRUE(host.load());
    for (int i = 0; i < 61; ++i) {
        char name[64] = {};
        host.dispatch(effGetProgramNameIndexed, i, 0, name);
        EXPECT_EQ(lines[static_cast<std::size_t>(i)],
                  (std::vector<std::string>{std::to_string(i), name}));
    }
}

TEST(RenderTool, ListsParametersWithNamesValuesTextsAndLabels) {
    clitest::TempDir dir;
    auto lines = clitest::listParams({}, dir).lines;
    ASSERT_EQ(lines.size(), 96u);
    TestHost host;
    ASSERT_TRUE(host.load());
    for (int i = 0; i < 96; ++i) {
        const auto& f = lines[static_cast<std::size_t>(i)];
        ASSERT_EQ(f.size(), 5u) << "index, name, value, text, label on line " << i;
        EXPECT_EQ(f[0], std::to_string(i));
        EXPECT_EQ(f[1], host.paramName(i));
        EXPECT_FLOAT_EQ(std::stof(f[2]), host.getParameter(i)) << f[1];
        // The CC# parameters, whose text the effect leaves empty, show their controller.
        const int cc = static_cast<int>(std::floor(129.0f * host.getParameter(i)));
        const std::string shown = i < 48     ? host.paramDisplay(i)
                                  : cc < 128 ? "CC " + std::to_string(cc)
                                             : "none";
        EXPECT_EQ(f[3], shown) << f[1];
        EXPECT_EQ(f[4], host.paramLabel(i)) << f[1];
    }
}

TEST(RenderTool, StereoRenderMatchesTheHostSampleForSample) {
    clitest::TempDir dir;
    Sound input = clitest::testSignal(48000.0, 2, 1.3, 11);
    clitest::writeSound(dir.file("in.wav"), input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    TestHost names;
    ASSERT_TRUE(names.load());
    ASSERT_EQ(names.paramName(3), "DlyL Fb");
    clitest::ToolRun run = clitest::runTool(
        {"--program", "5", "--set", "DlyL Fb=0.6", "--set", "Main Mix=0.8", "--tempo", "97",
         "--block", "300", "--tail", "0.5", "--format", "float", "in.wav", "out.wav"},
        dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(isSummary(run.errLines().back(), "out.wav"))
        << "the summary comes last: " << run.err;
    EXPECT_NE(run.err.find("'DlyL Fb' set to -4.43697 dB"), std::string::npos) << run.err;
    EXPECT_EQ(clitest::soundFormat(dir.file("out.wav")), SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    Reference ref;
    ref.program = 5;
    ref.sets = {{3, 0.6f}, {2, 0.8f}};
    ref.tempo = 97.0;
    ref.block = 300;
    ref.tailSeconds = 0.5;
    expectSameSound(clitest::readSound(dir.file("out.wav")), referenceRender(input, ref), 1e-6);
}

TEST(RenderTool, MonoInputBecomesStereoThroughAnUnconnectedSecondPin) {
    clitest::TempDir dir;
    Sound input = clitest::testSignal(44100.0, 1, 0.7, 5);
    clitest::writeSound(dir.file("mono.flac"), input, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    Sound stored = clitest::readSound(dir.file("mono.flac")); // as 24-bit samples
    clitest::ToolRun run =
        clitest::runTool({"--tail", "0.25", "--block", "128", "mono.flac", "out.flac"}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(clitest::soundFormat(dir.file("out.flac")), SF_FORMAT_FLAC | SF_FORMAT_PCM_24);

    Reference ref;
    ref.block = 128;
    ref.tailSeconds = 0.25;
    // 24-bit output: within one step of 2^-23 of the host's float result.
    expectSameSound(clitest::readSound(dir.file("out.flac")), referenceRender(stored, ref),
                    1.5 / 8388608.0);
}

TEST(RenderTool, DemoPhraseRendersAndIsNotSilent) {
    clitest::TempDir dir;
    clitest::ToolRun run = clitest::runTool({"--tail", "0", "demo.wav"}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(isSummary(run.errLines().at(0), "demo.wav")) << run.err;
    Sound out = clitest::readSound(dir.file("demo.wav"));
    EXPECT_EQ(out.sampleRate, 44100.0);
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.frames(), 4 * 44100);
    for (int c = 0; c < 2; ++c)
        EXPECT_GT(clitest::peakBetween(out, 0.0, 4.0, c), 0.01f) << "channel " << c << " silent";

    // Rendering the demo again replaces the tool's own earlier output, at the chosen rate.
    run = clitest::runTool({"--rate", "22050", "--tail", "0", "demo.wav"}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(clitest::readSound(dir.file("demo.wav")).sampleRate, 22050.0);
}

TEST(RenderTool, HelpPrintsTheUsage) {
    clitest::TempDir dir;
    clitest::ToolRun run = clitest::runTool({"--help"}, dir);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("Usage: tessel-render [OPTIONS] [INPUT] OUTPUT", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
}
