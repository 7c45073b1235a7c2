// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of each DSP stage and of all of them in a row, in ns per stereo frame at 44100 Hz.
#include "FrameTime.h"
#include "engine/AntiAliasFilter.h"
#include "engine/Drive.h"
#include "engine/Modulation.h"
#include "engine/Reverb.h"
#include "engine/StateVariableFilter.h"

#include <benchmark/benchmark.h>
#include <xmmintrin.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr float kRate = 44100.0f;
constexpr int kFrames = 4096;

// Flush-to-zero and denormals-are-zero, as the effect sets them around each block.
class FlushDenormals {
public:
    FlushDenormals() : saved(_mm_getcsr()) { _mm_setcsr(saved | 0x8040u); }
    ~FlushDenormals() { _mm_setcsr(saved); }

private:
    unsigned saved;
};

const std::vector<float>& noise() {
    static const std::vector<float> buffer = [] {
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
        std::vector<float> b(2 * kFrames);
        for (float& v : b) v = dist(rng);
        return b;
    }();
    return buffer;
}

ModulationSettings modulationSettings(int wave) {
    ModulationSettings s;
    s.lfoWave = wave;
    s.lfoInc = static_cast<float>(2.0 * 3.141592653589793 * 3.0 / kRate);
    s.modSource = 0.5f;
    s.fltModDepth = 0.5f;
    s.vcoMod = 0.7f;
    s.envPole = static_cast<float>(std::exp(-2.0 * 3.141592653589793 * 10.0 / kRate));
    s.envGain = (1.0f - s.envPole) / 4.0f;
    s.envSens = 2.0f;
    s.avgLen = 4;
    s.smoothPole = static_cast<float>(std::exp(-2.0 * 3.141592653589793 * 30.0 / kRate));
    s.smoothGain = 1.0f - s.smoothPole;
    return s;
}

// Every stage at its point of the chain: filter ("in"), anti-alias, drive, modulation,
// reverb. The filter's cutoff is modulated through the previous sample's factor.
void chain(benchmark::State& state, int wave, int rvbType) {
    FlushDenormals ftz;
    StateVariableFilter svf;
    AntiAliasFilter aa;
    aa.design(kRate);
    Drive drive;
    Modulation mod;
    mod.reset(0.3f);
    Reverb reverb;
    reverb.allocate(kRate);
    reverb.setType(rvbType, kRate);
    reverb.setDamp(0.2f, rvbType);
    const ModulationSettings s = modulationSettings(wave);
    const auto& in = noise();
    const FrameTime time;
    for (auto _ : state) {
        drive.rebuildSums();
        mod.prepareBlock(true, 1.3f, 1, 44100, 120.0f);
        for (int i = 0; i < kFrames; ++i) {
            float x[2] = {in[2 * i], in[2 * i + 1]};
            svf.updateCoefficients(3000.0f, 0.6f, mod.fltFactor, kRate, kRate / 2.75f);
            svf.process(x, 0);
            aa.process(x);
            drive.process(x, 2.0f, true);
            const float mag[2] = {std::fabs(x[0]), std::fabs(x[1])};
            mod.process(mag, true, s);
            float w[2] = {x[0] * mod.vcoFactor[0], x[1] * mod.vcoFactor[1]};
            reverb.process(w, 0.5f);
            benchmark::DoNotOptimize(w);
        }
    }
    time.report(state, kFrames);
}

} // namespace

static void BM_StateVariableFilter(benchmark::State& state) {
    FlushDenormals ftz;
    StateVariableFilter svf;
    const auto& in = noise();
    float factor = 1.0f;
    const FrameTime time;
    for (auto _ : state) {
        for (int i = 0; i < kFrames; ++i) {
            factor = 1.5f - factor * 0.5f; // a moving cutoff factor
            svf.updateCoefficients(2000.0f, 0.6f, factor, kRate, kRate / 2.75f);
            float x[2] = {in[2 * i], in[2 * i + 1]};
            svf.process(x, static_cast<int>(state.range(0)));
            benchmark::DoNotOptimize(x);
        }
    }
    time.report(state, kFrames);
}
BENCHMARK(BM_StateVariableFilter)->Arg(0)->Arg(1)->Arg(2);

static void BM_Drive(benchmark::State& state) {
    FlushDenormals ftz;
    Drive drive;
    const auto& in = noise();
    const FrameTime time;
    for (auto _ : state) {
        drive.rebuildSums();
        for (int i = 0; i < kFrames; ++i) {
            float x[2] = {in[2 * i], in[2 * i + 1]};
            drive.process(x, 4.0f, true);
            benchmark::DoNotOptimize(x);
        }
    }
    time.report(state, kFrames);
}
BENCHMARK(BM_Drive);

static void BM_Modulation(benchmark::State& state) {
    FlushDenormals ftz;
    Modulation mod;
    mod.reset(0.3f);
    const ModulationSettings s = modulationSettings(static_cast<int>(state.range(0)));
    const auto& in = noise();
    const FrameTime time;
    for (auto _ : state) {
        mod.prepareBlock(true, 1.3f, 1, 44100, 120.0f);
        for (int i = 0; i < kFrames; ++i) {
            const float mag[2] = {std::fabs(in[2 * i]), std::fabs(in[2 * i + 1])};
            mod.process(mag, true, s);
            benchmark::DoNotOptimize(mod.vcoFactor);
            benchmark::DoNotOptimize(mod.fltFactor);
        }
    }
    time.report(state, kFrames);
}
// Waves: 0 sine, 1 square, 2 triangle, 3 saw, 4 random.
BENCHMARK(BM_Modulation)->DenseRange(0, 4);

static void BM_AntiAliasFilter(benchmark::State& state) {
    FlushDenormals ftz;
    AntiAliasFilter aa;
    aa.design(kRate);
    const auto& in = noise();
    const FrameTime time;
    for (auto _ : state) {
        for (int i = 0; i < kFrames; ++i) {
            float x[2] = {in[2 * i], in[2 * i + 1]};
            aa.process(x);
            benchmark::DoNotOptimize(x);
        }
    }
    time.report(state, kFrames);
}
BENCHMARK(BM_AntiAliasFilter);

static void BM_Reverb(benchmark::State& state) {
    FlushDenormals ftz;
    const int type = static_cast<int>(state.range(0));
    Reverb reverb;
    reverb.allocate(kRate);
    reverb.setType(type, kRate);
    reverb.setDamp(0.2f, type);
    const auto& in = noise();
    const FrameTime time;
    for (auto _ : state) {
        // As a block runs it: the running state in a local for the block.
        Reverb::Voice voice = reverb.voice();
        for (int i = 0; i < kFrames; ++i) {
            float w[2] = {in[2 * i], in[2 * i + 1]};
            voice.process(w, 0.5f);
            benchmark::DoNotOptimize(w);
        }
        reverb.take(voice, kFrames);
    }
    time.report(state, kFrames);
}
// 0 spring, 1 plate.
BENCHMARK(BM_Reverb)->Arg(0)->Arg(1);

static void BM_AllStages(benchmark::State& state) {
    chain(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}
BENCHMARK(BM_AllStages)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}});
