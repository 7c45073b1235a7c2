// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-block processing of the effect at 44100 Hz, reported per stereo frame: the plain
// delay, the clocked delay with a clock that changes every sample, every section at once,
// and silence beside signal; then the common configurations in host-sized blocks (256 and
// 32 frames), the cost of silence once the tails have died away, and many instances taking
// turns. The effects read the user's settings (controller map, default bank) as a plug-in
// does but never write them.
#include "Configurations.h"
#include "FrameTime.h"
#include "engine/Drell.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/ReadOnlySettingsStore.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kBlock = 512;

VstIntPtr benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Rig {
    // Messages go to standard error only; no dialog is ever started.
    ReadOnlySettingsStore settings;
    ProcessMessageBoxes messages{std::string()};
    ProcessFileDialogs dialogs{std::string()};
    std::unique_ptr<Drell> drell =
        std::make_unique<Drell>(&benchHost, PlatformServices{&settings, &messages, &dialogs});
    std::vector<float> inL, inR, outL, outR;

    int frames;

    explicit Rig(bool silent, int blockFrames = kBlock)
        : inL(static_cast<size_t>(blockFrames)), inR(inL.size()), outL(inL.size()),
          outR(inL.size()), frames(blockFrames) {
        std::mt19937 noise(1);
        std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
        for (int i = 0; i < frames; ++i) {
            inL[static_cast<size_t>(i)] = silent ? 0.0f : dist(noise);
            inR[static_cast<size_t>(i)] = silent ? 0.0f : dist(noise);
        }
        drell->dispatcher(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
        setBenchDelays([this](ParameterId id, float value) { drell->setParameter(id, value); });
    }
    void block() {
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        drell->processReplacing(in, out, frames);
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
    }
};

// VCO and every section off: delay lines, feedback, mix and gains only.
void PlainDelay(benchmark::State& state) {
    Rig rig(state.range(0) == 0);
    rig.drell->setParameter(kVcoOn, 0.0f);
    const FrameTime time;
    for (auto _ : state) rig.block();
    time.report(state, kBlock);
}
BENCHMARK(PlainDelay)->Arg(1)->ArgName("signal");
BENCHMARK(PlainDelay)->Arg(0)->ArgName("signal");

// The VCO clocks both lines; the manual factor moves every sample through the smoother of
// the VCO modulation depth, so the clock rate never repeats.
void ClockedDelay(benchmark::State& state) {
    Rig rig(state.range(0) == 0);
    rig.drell->setParameter(kVcoOn, 1.0f);
    rig.drell->setParameter(kVcoManual, 0.9f);
    int n = 0;
    const FrameTime time;
    for (auto _ : state) {
        // A new target each block keeps the smoothed depth, and with it the rate, moving.
        rig.drell->setParameter(kVcoMod, (n++ % 2) != 0 ? 0.1f : 0.9f);
        rig.block();
    }
    time.report(state, kBlock);
}
BENCHMARK(ClockedDelay)->Arg(1)->ArgName("signal");
BENCHMARK(ClockedDelay)->Arg(0)->ArgName("signal");

// Every section on: filter in the feedback loop, drive, modulation with one of the five
// waves (0 sine, 1 square, 2 triangle, 3 saw, 4 random), the VCO with the clock moving as
// above, and the spring (0) or plate (1) reverb.
void EverySection(benchmark::State& state) {
    Rig rig(state.range(2) == 0);
    Drell& d = *rig.drell;
    d.setParameter(kFltOn, 1.0f);
    d.setParameter(kFltMode, 0.5f); // "fb"
    d.setParameter(kFltCutoff, 0.6f);
    d.setParameter(kFltRes, 0.6f);
    d.setParameter(kFltMod, 0.8f);
    d.setParameter(kDrvOn, 1.0f);
    d.setParameter(kDrvGain, 0.5f);
    d.setParameter(kModOn, 1.0f);
    d.setParameter(kModLfoWave, (static_cast<float>(state.range(0)) + 0.5f) / 5.0f);
    d.setParameter(kModLfoRate, 0.5f);
    d.setParameter(kModSource, 0.3f);
    d.setParameter(kVcoOn, 1.0f);
    d.setParameter(kVcoManual, 0.9f);
    d.setParameter(kRvbOn, 1.0f);
    d.setParameter(kRvbType, state.range(1) != 0 ? 1.0f : 0.0f);
    d.setParameter(kRvbAmt, 0.5f);
    int n = 0;
    const FrameTime time;
    for (auto _ : state) {
        d.setParameter(kVcoMod, (n++ % 2) != 0 ? 0.1f : 0.9f);
        rig.block();
    }
    time.report(state, kBlock);
}
BENCHMARK(EverySection)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}, {1}})
    ->ArgNames({"wave", "plate", "signal"});
BENCHMARK(EverySection)->ArgsProduct({{0}, {0, 1}, {0}})->ArgNames({"wave", "plate", "signal"});

// The common configurations (Configurations.h) in blocks of range(1) frames of noise.
void configure(Drell& d, int config) {
    setConfiguration(
        config, [&d](ParameterId id, float value) { d.setParameter(id, value); },
        [&d](VstInt32 program) { d.selectProgram(program); });
    // Settled smoothers, memories cleared, as a host starts playback.
    d.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    d.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
}

void Configuration(benchmark::State& state) {
    Rig rig(false, static_cast<int>(state.range(1)));
    configure(*rig.drell, static_cast<int>(state.range(0)));
    // Past the smoothers' glide and into the echoes.
    for (int i = 0; i < 44100 / rig.frames; ++i) rig.block();
    const FrameTime time;
    for (auto _ : state) rig.block();
    time.report(state, rig.frames);
}
BENCHMARK(Configuration)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {256, 32}})
    ->ArgNames({"config", "frames"});

// Silent input after every tail has died away (a minute of silence first), in each
// configuration; with every section on the filter's resonance is low, as a resonance that
// the feedback sustains never dies away.
void SilenceAfterDecay(benchmark::State& state) {
    Rig rig(false, 256);
    const int config = static_cast<int>(state.range(0));
    configure(*rig.drell, config);
    if (config >= 3) {
        rig.drell->setParameter(kFltRes, 0.0f);
        rig.drell->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
        rig.drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    for (int i = 0; i < 44100 / rig.frames; ++i) rig.block();
    std::fill(rig.inL.begin(), rig.inL.end(), 0.0f);
    std::fill(rig.inR.begin(), rig.inR.end(), 0.0f);
    for (int i = 0; i < 60 * 44100 / rig.frames; ++i) rig.block();
    const FrameTime time;
    for (auto _ : state) rig.block();
    time.report(state, rig.frames);
}
BENCHMARK(SilenceAfterDecay)->DenseRange(0, 4)->ArgName("config");

// Sixteen instances of one configuration processed in turn, one 256-frame block each, as a
// host runs many tracks; reported per frame of one instance.
void SixteenInstances(benchmark::State& state) {
    std::vector<std::unique_ptr<Rig>> rigs;
    for (int i = 0; i < 16; ++i) {
        rigs.push_back(std::make_unique<Rig>(false, 256));
        configure(*rigs.back()->drell, static_cast<int>(state.range(0)));
        for (int b = 0; b < 100; ++b) rigs.back()->block();
    }
    const FrameTime time;
    for (auto _ : state)
        for (auto& rig : rigs) rig->block();
    time.report(state, 16.0 * 256.0);
}
BENCHMARK(SixteenInstances)->DenseRange(0, 4)->ArgName("config");

} // namespace

namespace {

// effMainsChanged off -> on at an unchanged sample rate after a block of loud noise, with
// the plate reverb on: the time resume() takes, which is the time it holds the engine lock
// (it holds it throughout). Reported in microseconds per resume.
void ResumeLock(benchmark::State& state) {
    const float rate = static_cast<float>(state.range(0));
    Rig rig(false);
    Drell& d = *rig.drell;
    d.setParameter(kRvbOn, 1.0f);
    d.setParameter(kRvbType, 1.0f);
    d.setParameter(kRvbAmt, 0.5f);
    d.dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
    d.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    d.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    for (auto _ : state) {
        rig.block();
        d.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
        const auto start = std::chrono::steady_clock::now();
        d.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(ResumeLock)
    ->Arg(44100)
    ->Arg(192000)
    ->ArgName("rate")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The whole cost of switching on and playing on: suspend, resume and the next 40 blocks
// (about half a second at 44.1 kHz, a tenth at 192 kHz) with long delays and the plate
// reverb, per frame. Lazy clearing moves part of the clearing from resume into these
// blocks; this shows what it costs there.
void ResumeAndPlay(benchmark::State& state) {
    const float rate = static_cast<float>(state.range(0));
    Rig rig(false);
    Drell& d = *rig.drell;
    d.setParameter(kVcoOn, 0.0f);
    d.setParameter(kDlyLTime, 1.0f);
    d.setParameter(kDlyRTime, 0.9f);
    d.setParameter(kRvbOn, 1.0f);
    d.setParameter(kRvbType, 1.0f);
    d.dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
    d.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    d.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    constexpr int kBlocks = 40;
    const FrameTime time;
    for (auto _ : state) {
        d.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
        d.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
        for (int b = 0; b < kBlocks; ++b) rig.block();
    }
    time.report(state, kBlocks * kBlock);
}
BENCHMARK(ResumeAndPlay)->Arg(44100)->Arg(192000)->ArgName("rate");

} // namespace
