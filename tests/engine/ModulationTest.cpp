// SPDX-License-Identifier: GPL-3.0-or-later
// The modulation sources alone, where the golden outputs cannot look: exact clock factors,
// the envelope's decay, bad input, the random wave's steps and host grid, and reset.
#include "engine/Modulation.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

ModulationSettings settingsAt44k(int wave) {
    ModulationSettings s;
    s.lfoWave = wave;
    s.lfoInc = static_cast<float>(2.0 * 3.141592653589793 * 3.0 / 44100.0); // 3 Hz
    s.modSource = 0.5f;
    s.fltModDepth = 1.0f;
    s.vcoMod = 1.0f;
    s.envPole = static_cast<float>(std::exp(-2.0 * 3.141592653589793 * 10.0 / 44100.0));
    s.avgLen = 4;
    s.envGain = (1.0f - s.envPole) / 4.0f;
    s.envSens = 1.0f;
    s.smoothPole = static_cast<float>(std::exp(-2.0 * 3.141592653589793 * 30.0 / 44100.0));
    s.smoothGain = 1.0f - s.smoothPole;
    return s;
}

// Runs n samples with the magnitudes from mag(i), returning nothing; the state is in m.
template <typename Mag>
void run(Modulation& m, const ModulationSettings& s, int n, Mag mag, bool modOn = true) {
    for (int i = 0; i < n; ++i) {
        const float e[2] = {mag(i), mag(i)};
        m.process(e, modOn, s);
    }
}

} // namespace

TEST(Modulation, ZeroVcoModGivesFactorsOfExactlyOne) {
    Modulation m;
    m.reset(0.5f);
    ModulationSettings s = settingsAt44k(1);
    s.vcoMod = 0.0f;
    s.envSens = 16.0f;
    stagetest::Noise noise(3, 4.0f);
    for (int i = 0; i < 20000; ++i) {
        const float e[2] = {std::fabs(noise()), std::fabs(noise())};
        m.process(e, true, s);
        ASSERT_EQ(m.vcoFactor[0], 1.0f) << "sample " << i;
        ASSERT_EQ(m.vcoFactor[1], 1.0f) << "sample " << i;
    }
}

TEST(Modulation, EnvelopeFollowsTheLevelAndSettlesNearZeroWithoutDenormals) {
    Modulation m;
    m.reset(0.0f);
    ModulationSettings s = settingsAt44k(0);
    s.envSens = 2.0f;
    s.modSource = 1.0f;
    run(m, s, 44100, [](int) { return 0.25f; });
    EXPECT_NEAR(m.envState[0], 0.5f, 1e-4f) << "steady state is level * envSens";
    EXPECT_NEAR(m.envMod[0], 0.0f, 2e-4f) << "an envelope of 0.5 is neutral";
    run(m, s, 44100, [](int) { return 0.0f; });
    // The flush quantises the decay to steps of about 1e-25, where a slow pole stalls: the
    // state ends tiny but never denormal.
    for (float state : m.envState) {
        EXPECT_LT(state, 1e-20f);
        EXPECT_TRUE(stagetest::zeroOrNormal(state)) << state;
    }
    EXPECT_FLOAT_EQ(m.envMod[0], -1.0f) << "silence gives -modSource";
}

TEST(Modulation, RandomWaveHoldsEachValueForAQuarterPeriod) {
    Modulation m;
    m.reset(0.0f);
    ModulationSettings s = settingsAt44k(4);
    s.lfoInc = kPi / 200; // quarter period = 100 samples
    int changes = 0;
    float last = 2.0f;
    for (int i = 0; i < 1000; ++i) {
        const float e[2] = {0.0f, 0.0f};
        m.process(e, true, s);
        ASSERT_EQ(m.lfoOut[0], m.lfoOut[1]) << "equal phases draw once for both sides";
        ASSERT_GE(m.lfoOut[0], -1.0f);
        ASSERT_LE(m.lfoOut[0], 1.0f);
        if (m.lfoOut[0] != last) ++changes;
        last = m.lfoOut[0];
    }
    EXPECT_NEAR(changes, 10, 1);

    m.restartLfo(0.5f);
    const float e[2] = {0.0f, 0.0f};
    for (int i = 0; i < 150; ++i) m.process(e, true, s);
    EXPECT_NE(m.lfoOut[0], m.lfoOut[1]) << "different phases draw separately";
}

TEST(Modulation, RandomWaveRetriggersOnTheHostGrid) {
    Modulation m;
    m.reset(0.0f);
    ModulationSettings s = settingsAt44k(4);
    s.lfoInc = 1e-6f; // free-running steps would take far longer than the test
    const float e[2] = {0.0f, 0.0f};
    m.process(e, true, s); // first draw
    // 3.5 quarter notes with a grid of 4 (numerator position 1) at 120 BPM: 0.5 beat away.
    m.prepareBlock(true, 3.5f, 1, 44100, 120.0f);
    EXPECT_EQ(m.shCountdown, 11025);
    const float held = m.lfoOut[0];
    for (int i = 1; i < 11025; ++i) {
        m.process(e, true, s);
        ASSERT_EQ(m.lfoOut[0], held) << "no re-trigger before the grid, sample " << i;
    }
    m.process(e, true, s);
    EXPECT_NE(m.lfoOut[0], held) << "re-trigger on the grid";

    m.prepareBlock(true, 3.5f, 0, 44100, 120.0f);
    EXPECT_EQ(m.shCountdown, 0) << "numerator position 0 has no grid";
    m.prepareBlock(false, 3.5f, 1, 44100, 120.0f);
    const float before = m.lfoOut[0];
    for (int i = 0; i < 20000; ++i) m.process(e, true, s);
    EXPECT_EQ(m.lfoOut[0], before) << "an invalid position never re-triggers";
    m.prepareBlock(true, std::nanf(""), 2, 44100, 0.0f);
    EXPECT_EQ(m.shCountdown, 0);
    m.prepareBlock(true, 1e30f, 2, 44100, 120.0f);
    EXPECT_EQ(m.shCountdown, 0);
}

TEST(Modulation, ResetEqualsAFreshInstance) {
    Modulation used, fresh;
    used.reset(0.4f);
    const ModulationSettings s = settingsAt44k(4);
    run(used, s, 5000, [](int i) { return 0.001f * (i % 100); });
    used.prepareBlock(true, 1.0f, 2, 44100, 100.0f);
    used.reset(0.4f);
    fresh.reset(0.4f);
    for (int i = 0; i < 3000; ++i) {
        const float e[2] = {0.002f * static_cast<float>(i % 50), 0.1f};
        used.process(e, true, s);
        fresh.process(e, true, s);
        ASSERT_EQ(used.vcoFactor[0], fresh.vcoFactor[0]) << "sample " << i;
        ASSERT_EQ(used.vcoFactor[1], fresh.vcoFactor[1]) << "sample " << i;
        ASSERT_EQ(used.fltFactor, fresh.fltFactor) << "sample " << i;
    }
}

TEST(Modulation, PhaseAdvancedManyStepsAtOnceKeepsEveryBit) {
    // Silent blocks advance the LFO's phases in one call; sample by sample each addition
    // rounds and the phase wraps above pi.
    for (float inc : {1.4e-6f, 1.0e-4f, 4.2743e-4f, 2.1e-3f, 0.0213f, 0.5f}) {
        for (float start : {-3.1415925f, -2.0f, -1e-3f, 0.0f, 1e-7f, 0.7f, 2.0f, 3.1415925f}) {
            float p = start;
            long done = 0;
            for (long steps : {1L, 3L, 255L, 4095L, 30000L}) {
                for (long i = 0; i < steps; ++i) {
                    p += inc;
                    if (p > Modulation::kPi) p -= 2.0f * Modulation::kPi;
                }
                const float jumped = Modulation::advancePhaseBy(start, inc, done + steps);
                done += steps;
                ASSERT_EQ(jumped, p) << "inc " << inc << " from " << start << " after " << done;
            }
        }
    }
}
