// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's host side in-process: the answers the effect gets, and the render loop.
#include "cli/RenderHost.h"
#include "cli/AudioStream.h"
#include "cli/Renderer.h"
#include "cli/SoundSetup.h"
#include "presets/CPresetSystemEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

cli::StereoBuffer ramp(double rate, long long frames) {
    cli::StereoBuffer b;
    b.sampleRate = rate;
    for (long long i = 0; i < frames; ++i) {
        b.left.push_back(0.5f * std::sin(0.01f * static_cast<float>(i)));
        b.right.push_back(0.25f * std::cos(0.013f * static_cast<float>(i)));
    }
    return b;
}

// What rendering a ramp through a fresh host gave: the output, the result and the frames
// the host processed.
struct RampRender {
    cli::BufferSink sink;
    cli::RenderResult result;
    long long processed = 0;
};

RampRender renderRamp(double rate, int blockSize, long long frames, cli::RenderPlan plan = {}) {
    cli::RenderHost host;
    host.configure(rate, blockSize, 120.0);
    host.start();
    cli::StereoBuffer input = ramp(rate, frames);
    cli::BufferSource source(input);
    RampRender out;
    out.result = cli::render(host, source, out.sink, plan);
    out.processed = host.framesProcessed();
    return out;
}

} // namespace

TEST(RenderHost, CreatesTheEffectWithTheToolsServices) {
    cli::RenderHost host;
    ASSERT_NE(host.effect(), nullptr);
    EXPECT_EQ(host.effect()->magic, kEffectMagic);
    EXPECT_EQ(host.effect()->numParams, 96);
    EXPECT_EQ(host.effect()->user, &host) << "the record's user field leads back to the host";
    ASSERT_NE(host.presetSystem(), nullptr);
    EXPECT_EQ(host.parameterName(35), "DlyL Time");
    EXPECT_EQ(host.parameterName(48), "CC# Main In");
    EXPECT_EQ(host.programName(60).has_value(), true);
    EXPECT_FALSE(host.programName(61).has_value());
    // Steps as the parameter properties give them: a denominator has 13, a switch 2, a
    // delay time none.
    EXPECT_EQ(host.parameterSteps(28), 13);
    EXPECT_EQ(host.parameterSteps(41), 2);
    EXPECT_FALSE(host.parameterSteps(35));
    EXPECT_FALSE(host.parameterSteps(0));
    EXPECT_NE(host.fileCommands(), nullptr);
}

TEST(RenderHost, TimeInfoRunsWithTheFramesProcessed) {
    cli::RenderHost host;
    host.configure(48000.0, 256, 150.0);
    host.start();
    std::vector<float> in(1000, 0.0f), outL(1000), outR(1000);
    host.process(in.data(), in.data(), outL.data(), outR.data(), 1000);
    const VstTimeInfo& t = host.timeInfo();
    EXPECT_EQ(host.framesProcessed(), 1000);
    EXPECT_EQ(t.samplePos, 1000.0);
    EXPECT_EQ(t.sampleRate, 48000.0);
    EXPECT_EQ(t.tempo, 150.0);
    EXPECT_NEAR(t.ppqPos, 1000.0 / 48000.0 * 150.0 / 60.0, 1e-12);
    EXPECT_NE(t.flags & kVstTempoValid, 0);
    EXPECT_NE(t.flags & kVstPpqPosValid, 0);
    host.stop();
    host.start();
    EXPECT_EQ(host.timeInfo().ppqPos, 0.0) << "a new start plays from the beginning";
}

TEST(RenderHost, AnswersTheEffectsQuestions) {
    cli::RenderHost host;
    AEffect* e = host.effect();
    auto ask = [e](VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return cli::RenderHost::callback(e, opcode, index, value, ptr, 0.0f);
    };
    EXPECT_EQ(cli::RenderHost::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    char product[64] = {};
    EXPECT_EQ(ask(audioMasterGetProductString, 0, 0, product), 1);
    EXPECT_STREQ(product, "tessel-render");
    EXPECT_EQ(ask(audioMasterGetOutputLatency), 0);
    char text[] = "sendVstMidiEvent";
    EXPECT_EQ(ask(audioMasterCanDo, 0, 0, text), 0);
    ASSERT_NE(ask(audioMasterGetTime, 0, kVstTempoValid), 0);

    // Pin queries answer 0 for connected; value 0 asks about inputs.
    EXPECT_EQ(ask(audioMasterPinConnected, 1, 0), 0) << "stereo input: pin 1 connected";
    host.setMonoInput(true);
    EXPECT_EQ(ask(audioMasterPinConnected, 0, 0), 0);
    EXPECT_EQ(ask(audioMasterPinConnected, 1, 0), 1) << "mono input: pin 1 not connected";
    EXPECT_EQ(ask(audioMasterPinConnected, 1, 1), 0) << "both outputs stay connected";
}

TEST(RenderHost, MonoInputSoundsLikeTheSameSignalOnBothPins) {
    const int frames = 3000;
    std::vector<float> inL(frames), noise(frames);
    for (int i = 0; i < frames; ++i) {
        inL[static_cast<std::size_t>(i)] = 0.5f * std::sin(0.02f * static_cast<float>(i));
        noise[static_cast<std::size_t>(i)] = (i % 7) * 0.1f - 0.3f;
    }
    std::vector<float> monoL(frames), monoR(frames), dupL(frames), dupR(frames);
    {
        cli::RenderHost host;
        host.configure(44100.0, 64, 120.0);
        host.setMonoInput(true);
        host.start();
        // Whatever lies behind the right pointer must never be heard.
        host.process(inL.data(), noise.data(), monoL.data(), monoR.data(), frames);
    }
    {
        cli::RenderHost host;
        host.configure(44100.0, 64, 120.0);
        host.start();
        host.process(inL.data(), inL.data(), dupL.data(), dupR.data(), frames);
    }
    EXPECT_EQ(monoL, dupL);
    EXPECT_EQ(monoR, dupR);
}

TEST(RenderHost, SelectsProgramsAndSetsParametersByName) {
    cli::RenderHost host;
    std::string error;
    EXPECT_EQ(cli::findParameter(host, "DlyR Time", error), 36);
    EXPECT_EQ(cli::findParameter(host, " dlyr time ", error), 36);
    EXPECT_EQ(cli::findParameter(host, "CC# Mod Sens", error), 95);
    EXPECT_FALSE(cli::findParameter(host, "DlyR Tim", error));
    EXPECT_NE(error.find("did you mean 'DlyR Time'"), std::string::npos) << error;
    EXPECT_EQ(cli::findProgram(host, "60", error), 60);
    EXPECT_FALSE(cli::findProgram(host, "61", error));
    EXPECT_FALSE(cli::findProgram(host, "-1", error));

    std::string name = *host.programName(4);
    int first = 0;
    while (*host.programName(first) != name) ++first;
    EXPECT_EQ(cli::findProgram(host, name, error), first) << "the first program of that name";

    using Kind = cli::SoundAction::Kind;
    std::vector<cli::SoundAction> actions = {
        {Kind::program, "4", {}},
        {Kind::set, "DlyL Mode", "time"}, // so that Time is taken
        {Kind::set, "DlyL Time", "0.75"},
        {Kind::set, "DlyL Time", "0.625"},
    };
    cli::SoundSetup setup = cli::applySoundActions(host, actions);
    EXPECT_EQ(setup.error, "");
    EXPECT_EQ(setup.notes.size(), 4u) << "the program and each value set are reported";
    EXPECT_EQ(host.presetSystem()->getCurrentProgramIndex(), 4);
    EXPECT_FLOAT_EQ(host.parameterValue(35), 0.625f) << "the later --set wins";
}

TEST(Renderer, ExplicitTailAddsExactlyThatLength) {
    cli::RenderPlan plan;
    plan.tailSeconds = 0.5;
    const RampRender out = renderRamp(8000.0, 100, 1234, plan);
    ASSERT_TRUE(out.result.ok()) << out.result.error;
    EXPECT_EQ(out.result.inputFrames, 1234);
    EXPECT_EQ(out.result.outputFrames, 1234 + 4000);
    EXPECT_EQ(out.sink.buffer.frames(), out.result.outputFrames);
    EXPECT_EQ(out.processed, out.result.outputFrames);
}

TEST(Renderer, AutomaticTailEndsAfterOneQuietSecond) {
    const RampRender out = renderRamp(8000.0, 512, 3000);
    const cli::RenderResult& r = out.result;
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_FALSE(r.tailFaded);
    ASSERT_GE(r.outputFrames, 3000 + 8000) << "at least one quiet second follows the input";
    EXPECT_LE(r.outputFrames, 3000 + 30 * 8000);
    const float quiet = std::pow(10.0f, -90.0f / 20.0f);
    for (long long i = r.outputFrames - 8000; i < r.outputFrames; ++i) {
        ASSERT_LT(std::fabs(out.sink.buffer.left[static_cast<std::size_t>(i)]), quiet) << i;
        ASSERT_LT(std::fabs(out.sink.buffer.right[static_cast<std::size_t>(i)]), quiet) << i;
    }
}

TEST(Renderer, OutputDoesNotDependOnTheBlockSize) {
    cli::RenderPlan plan;
    plan.tailSeconds = 0.25;
    const RampRender first = renderRamp(11025.0, 1, 5000, plan);
    ASSERT_TRUE(first.result.ok());
    const cli::StereoBuffer& one = first.sink.buffer;
    for (int block : {37, 512, 8192}) {
        const RampRender out = renderRamp(11025.0, block, 5000, plan);
        ASSERT_TRUE(out.result.ok());
        ASSERT_EQ(out.sink.buffer.frames(), one.frames());
        for (std::size_t i = 0; i < one.left.size(); ++i) {
            ASSERT_NEAR(out.sink.buffer.left[i], one.left[i], 1e-4) << block << " @" << i;
            ASSERT_NEAR(out.sink.buffer.right[i], one.right[i], 1e-4) << block << " @" << i;
        }
    }
}

TEST(Renderer, StopsWhenCancelled) {
    std::atomic<bool> cancel{true};
    cli::RenderPlan plan;
    plan.cancel = &cancel;
    const RampRender out = renderRamp(8000.0, 64, 8000, plan);
    EXPECT_EQ(out.result.error, "interrupted");
    EXPECT_EQ(out.sink.buffer.frames(), 0);
}

TEST(RenderHost, InstancesStayIndependent) {
    cli::RenderHost a, b;
    a.setParameter(2, 0.9f);
    b.setParameter(2, 0.1f);
    EXPECT_FLOAT_EQ(a.parameterValue(2), 0.9f);
    EXPECT_FLOAT_EQ(b.parameterValue(2), 0.1f);
    a.configure(44100.0, 128, 90.0);
    b.configure(48000.0, 64, 180.0);
    a.start();
    b.start();
    std::vector<float> in(100, 0.0f), o1(100), o2(100);
    a.process(in.data(), in.data(), o1.data(), o2.data(), 100);
    EXPECT_EQ(a.timeInfo().tempo, 90.0);
    EXPECT_EQ(b.timeInfo().tempo, 180.0);
    EXPECT_EQ(b.framesProcessed(), 0);
}
