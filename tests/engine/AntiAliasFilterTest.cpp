// SPDX-License-Identifier: GPL-3.0-or-later
// The anti-alias filter alone: its response, stability at every rate, preset and reset.
#include "engine/AntiAliasFilter.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// Gain in dB of a sine through the filter, measured after the transient.
double gainDb(float rate, double hz) {
    AntiAliasFilter f;
    f.design(rate);
    double peak = 0.0;
    const int n = static_cast<int>(rate) / 2;
    for (int i = 0; i < n; ++i) {
        const float x = static_cast<float>(std::sin(2.0 * kPi * hz * i / rate));
        float a[2] = {x, x};
        f.process(a);
        if (i > n / 2) peak = std::max(peak, static_cast<double>(std::fabs(a[0])));
    }
    return 20.0 * std::log10(peak);
}

} // namespace

TEST(AntiAliasFilter, PassesLowFrequenciesAndCutsAt14kHz) {
    for (float rate : {44100.0f, 48000.0f}) {
        EXPECT_NEAR(gainDb(rate, 1000.0), 0.0, 0.01) << "rate " << rate;
        // Two second-order Butterworth sections, each 3 dB down at the design frequency.
        EXPECT_NEAR(gainDb(rate, 14000.0), -6.02, 0.1) << "rate " << rate;
        EXPECT_LT(gainDb(rate, 20000.0), -20.0) << "rate " << rate;
    }
}

TEST(AntiAliasFilter, StableAtEveryRateIncludingBelow28kHz) {
    // Below 28 kHz a 14 kHz bilinear design would put its poles outside the unit circle.
    for (float rate : stagetest::kRates) {
        AntiAliasFilter f;
        f.design(rate);
        EXPECT_LT(std::fabs(f.aaA2), 1.0f) << "rate " << rate;
        stagetest::Noise noise(6, 4.0f);
        float peak = 0.0f;
        for (int i = 0; i < 40000; ++i) {
            float a[2] = {noise(), noise()};
            f.process(a);
            ASSERT_TRUE(std::isfinite(a[0]) && std::isfinite(a[1])) << "rate " << rate;
            peak = std::max(peak, std::fabs(a[0]));
        }
        EXPECT_LT(peak, 16.0f) << "rate " << rate;
    }
    EXPECT_NEAR(gainDb(22050.0f, 0.45 * 22050.0), -6.02, 0.2) << "the design follows low rates";
    EXPECT_NEAR(gainDb(22050.0f, 1000.0), 0.0, 0.05);
}

TEST(AntiAliasFilter, SilenceFadesBelowHearingWithoutDenormals) {
    for (float rate : stagetest::kRates) {
        AntiAliasFilter f;
        f.design(rate);
        stagetest::Noise noise(12);
        for (int i = 0; i < 1000; ++i) {
            float a[2] = {noise(), noise()};
            f.process(a);
        }
        float out = 1.0f;
        for (int i = 0; i < 5000; ++i) {
            float a[2] = {0.0f, 0.0f};
            f.process(a);
            out = a[0];
        }
        // The flush quantises the states to steps of about 1e-25, where the recursion may
        // circle; what matters is that nothing is left in the denormal range.
        EXPECT_LT(std::fabs(out), 1e-20f) << "rate " << rate;
        for (auto& stage : f.aaState)
            for (auto& state : stage)
                for (float v : state) EXPECT_TRUE(stagetest::zeroOrNormal(v)) << v;
    }
}

TEST(AntiAliasFilter, ResetEqualsAFreshInstance) {
    AntiAliasFilter used, fresh;
    used.design(48000.0f);
    fresh.design(48000.0f);
    stagetest::Noise noise(1);
    for (int i = 0; i < 500; ++i) {
        float a[2] = {noise(), noise()};
        used.process(a);
    }
    used.reset();
    for (int i = 0; i < 500; ++i) {
        const float x = noise();
        float a[2] = {x, x}, b[2] = {x, x};
        used.process(a);
        fresh.process(b);
        ASSERT_EQ(a[0], b[0]);
    }
}
