// SPDX-License-Identifier: GPL-3.0-or-later
// The state-variable filter alone: its responses, the cutoff ceiling, the cap on the cubic
// term, bounded and decaying output, and reset.
#include "engine/StateVariableFilter.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Setting {
    float cutoff = 1000.0f;
    float resonance = 0.05f;
    float fltFactor = 1.0f;
    float rate = 44100.0f;
};

float run(StateVariableFilter& f, const Setting& s, int type, float in) {
    f.updateCoefficients(s.cutoff, s.resonance, s.fltFactor, s.rate, s.rate / 2.75f);
    float x[2] = {in, -in};
    f.process(x, type);
    return x[0];
}

} // namespace

TEST(StateVariableFilter, LowpassPassesDcAndBandAndHighpassBlockIt) {
    for (int type : {0, 1, 2}) {
        StateVariableFilter f;
        const Setting s{type == 2 ? 50.0f : 500.0f, 0.05f, 1.0f, 48000.0f};
        float out = 0.0f;
        for (int i = 0; i < 48000; ++i) out = run(f, s, type, 0.5f);
        EXPECT_NEAR(out, type == 0 ? 0.5f : 0.0f, 1e-4f) << "DC after one second, type " << type;
    }
}

TEST(StateVariableFilter, CutoffNeverExceedsTheCeiling) {
    for (float rate : stagetest::kRates) {
        const float ceiling = rate / 2.75f;
        StateVariableFilter atCeiling, beyond;
        atCeiling.updateCoefficients(ceiling, 0.05f, 1.0f, rate, ceiling);
        for (float factor : {1.2f, 8.0f, 1e30f, std::numeric_limits<float>::infinity()}) {
            beyond.updateCoefficients(ceiling, 0.05f, factor, rate, ceiling);
            EXPECT_EQ(beyond.svfF, atCeiling.svfF) << "rate " << rate << " factor " << factor;
        }
        // The damping stays under the stability limit at the ceiling.
        EXPECT_LE(atCeiling.svfDamp, atCeiling.svfQLimit);
    }
}

TEST(StateVariableFilter, LoudInputAtFullResonanceStaysFiniteAndBounded) {
    // Without the cap these settings run away to infinity within a few samples.
    for (float rate : {4096.0f, 44100.0f, 200000.0f}) {
        for (float cutoff : {50.0f, 2000.0f, rate / 2.75f}) {
            for (float resonance : {0.05f, 1.0f}) {
                StateVariableFilter f;
                stagetest::Noise noise(11, 16.0f);
                const Setting s{cutoff, resonance, 1.0f, rate};
                float peak = 0.0f;
                for (int i = 0; i < 12000; ++i) {
                    const float x = (i / 500) % 3 == 0 ? noise() : ((i / 50) % 2 ? 16.0f : -16.0f);
                    const float y = run(f, s, (i / 4000) % 3, x);
                    ASSERT_TRUE(std::isfinite(y)) << "rate " << rate << " cutoff " << cutoff;
                    peak = std::max(peak, std::fabs(y));
                }
                EXPECT_LT(peak, 100.0f) << "rate " << rate << " cutoff " << cutoff;
                // Afterwards a damped filter falls silent again.
                if (resonance < 1.0f) {
                    for (int i = 0; i < 20000; ++i) run(f, s, 0, 0.0f);
                    EXPECT_LT(std::fabs(f.svfBand[0]) + std::fabs(f.svfLow[0]), 1e-3f)
                        << "rate " << rate << " cutoff " << cutoff << " keeps ringing";
                }
            }
        }
    }
}

TEST(StateVariableFilter, SilenceDecaysToNothingWithoutDenormalStates) {
    for (float rate : stagetest::kRates) {
        StateVariableFilter f;
        const Setting s{300.0f, 0.05f, 1.0f, rate};
        stagetest::Noise noise(5);
        for (int i = 0; i < 2000; ++i) run(f, s, 0, noise());
        // Each coefficient update leaves the states zero or normal; a denormal that the
        // half-steps produce lasts at most until the next sample. (The low state can stall
        // just above the normal range, where its band input is always denormal and zeroed.)
        float out = 1.0f;
        for (int i = 0; i < 100000; ++i) {
            f.updateCoefficients(s.cutoff, s.resonance, s.fltFactor, rate, rate / 2.75f);
            for (int side = 0; side < 2; ++side) {
                ASSERT_TRUE(stagetest::zeroOrNormal(f.svfLow[side])) << "rate " << rate;
                ASSERT_TRUE(stagetest::zeroOrNormal(f.svfBand[side])) << "rate " << rate;
            }
            float x[2] = {0.0f, 0.0f};
            f.process(x, i % 3);
            out = x[0];
        }
        EXPECT_LT(std::fabs(out), 1e-30f) << "rate " << rate;
    }
}

TEST(StateVariableFilter, ResetEqualsAFreshInstance) {
    StateVariableFilter used, fresh;
    stagetest::Noise noise(9);
    const Setting s{2000.0f, 0.8f, 1.3f, 96000.0f};
    for (int i = 0; i < 1000; ++i) run(used, s, 1, noise());
    used.reset();
    stagetest::Noise a(3), b(3);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(run(used, s, 2, a()), run(fresh, s, 2, b()));
}
