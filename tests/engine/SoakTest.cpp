// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs of the whole effect with every section on and settings jumping between
// extremes: the output stays finite and bounded at every sample rate the engine accepts.
#include "support/EffectHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// Loudest output a setting may give: +12 dB of input gain, +12 dB of output gain, a
// limited feedback loop and the reverb's own gain stay far below this.
constexpr float kOutputBound = 64.0f;

struct SoakResult {
    bool finite = true;
    float peak = 0.0f;
};

// Sets every section on and each of the 48 parameters to a random value, extremes favoured.
void randomSettings(Drell& drell, std::mt19937& rng) {
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    for (int i = 0; i < kNumParams; ++i) {
        float r = uniform(rng);
        float v = r < 0.3f ? 0.0f : (r < 0.6f ? 1.0f : uniform(rng));
        drell.setParameter(i, v);
    }
    for (int on : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn}) drell.setParameter(on, 1.0f);
    drell.setParameter(kMainBypass, 0.0f);
}

// Runs `seconds` of loud noise bursts with DC and square steps, changing all settings every
// quarter second, then `silence` seconds of silence with the last settings.
SoakResult soak(float rate, double seconds, double silence, unsigned seed) {
    EffectHost host;
    auto drell = host.make();
    resumeAt(*drell, rate);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);

    const int block = 256;
    std::vector<float> inL(block), inR(block), outL(block), outR(block);
    const long total = static_cast<long>(seconds * rate);
    const long quiet = static_cast<long>(silence * rate);
    const long changeEvery = static_cast<long>(0.25 * rate);
    SoakResult result;
    long nextChange = 0;
    for (long pos = 0; pos < total + quiet; pos += block) {
        if (pos >= nextChange && pos < total) {
            randomSettings(*drell, rng);
            nextChange += changeEvery;
        }
        for (int i = 0; i < block; ++i) {
            long t = pos + i;
            bool loud = t < total && (t / 4096) % 3 != 2;
            float square = ((t / 97) % 2 == 0) ? 1.0f : -1.0f;
            inL[i] = loud ? 0.7f * noise(rng) + 0.3f * square : 0.0f;
            inR[i] = loud ? 0.5f * noise(rng) + 0.5f : 0.0f;
        }
        run(*drell, inL.data(), inR.data(), block, outL.data(), outR.data());
        for (int i = 0; i < block; ++i) {
            for (float y : {outL[i], outR[i]}) {
                if (!std::isfinite(y)) result.finite = false;
                result.peak = std::max(result.peak, std::fabs(y));
            }
        }
        if (!result.finite) break;
    }
    return result;
}

} // namespace

TEST(Soak, ExtremeSettingsStayFiniteAndBoundedAtEveryRate) {
    // Sixty seconds at 44100 Hz, three at every other rate.
    for (float rate :
         {44100.0f, 4096.0f, 8000.0f, 22050.0f, 48000.0f, 96000.0f, 192000.0f, 200000.0f}) {
        const bool longRun = rate == 44100.0f;
        SoakResult r = soak(rate, longRun ? 60.0 : 3.0, longRun ? 2.0 : 0.5,
                            longRun ? 1u : static_cast<unsigned>(rate));
        EXPECT_TRUE(r.finite) << "non-finite output at " << rate << " Hz";
        EXPECT_LT(r.peak, kOutputBound) << "output ran away at " << rate << " Hz";
    }
}

TEST(Soak, NonFiniteInputSamplesCountAsSilence) {
    // A host fault must not poison the delay and reverb memories for good: the output equals
    // that of the same input with the bad samples replaced by silence.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto render = [&](bool poison) {
        EffectHost host;
        auto drell = host.make();
        resumeAt(*drell, 44100.0f);
        for (int on : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn}) drell->setParameter(on, 1.0f);
        drell->setParameter(kDlyLFb, 0.7f);
        drell->setParameter(kDlyLTime, 0.02f);
        drell->setParameter(kRvbAmt, 0.5f);
        std::mt19937 rng(3);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        const int block = 256;
        std::vector<float> inL(block), inR(block), outL(block), outR(block), all;
        for (int b = 0; b < 200; ++b) {
            for (int i = 0; i < block; ++i) {
                inL[i] = noise(rng);
                inR[i] = noise(rng);
                if (b == 10 && i % 50 == 0) {
                    inL[i] = poison ? nan : 0.0f;
                    inR[i] = poison ? (i % 100 == 0 ? inf : -inf) : 0.0f;
                }
            }
            run(*drell, inL.data(), inR.data(), block, outL.data(), outR.data());
            all.insert(all.end(), outL.begin(), outL.end());
            all.insert(all.end(), outR.begin(), outR.end());
        }
        return all;
    };
    std::vector<float> clean = render(false), poisoned = render(true);
    ASSERT_EQ(clean.size(), poisoned.size());
    for (std::size_t i = 0; i < clean.size(); ++i) {
        ASSERT_TRUE(std::isfinite(poisoned[i])) << "sample " << i << " is not finite";
        ASSERT_EQ(poisoned[i], clean[i]) << "sample " << i << " differs";
    }
}
