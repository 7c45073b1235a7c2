// SPDX-License-Identifier: GPL-3.0-or-later
// Audio through the loaded plug-in: delay times, mix, bypass, channel rules, feedback,
// delay-time fades, the VCO clock, tempo sync and hostile host answers.
#include "engine/Parameters.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr float kRate = 44100.0f;

std::vector<float> impulse(size_t n, size_t at = 0) {
    std::vector<float> x(n, 0.0f);
    x[at] = 1.0f;
    return x;
}

// Seeded noise in [-amplitude, amplitude].
std::vector<float> noise(size_t n, unsigned seed, float amplitude = 1.0f) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-amplitude, amplitude);
    std::vector<float> x(n);
    for (float& s : x) s = dist(rng);
    return x;
}

int firstAbove(const std::vector<float>& x, float threshold) {
    for (size_t i = 0; i < x.size(); ++i)
        if (std::fabs(x[i]) > threshold) return static_cast<int>(i);
    return -1;
}

class SignalPath : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.load());
        host.resume(kRate);
    }
    // Parameters take effect at once: suspend settles glides and places the read positions.
    void settle() {
        host.suspend();
        host.resume(kRate);
    }
    void set(std::initializer_list<std::pair<VstInt32, float>> values) {
        for (auto [index, value] : values) host.setParameter(index, value);
    }
    // A plain delay of wet signal only.
    void plainWet(float timeL, float timeR) {
        set({{kVcoOn, 0.0f}, {kMainMix, 1.0f}, {kDlyLTime, timeL}, {kDlyRTime, timeR}});
        settle();
    }
    void run(const std::vector<float>& inL, const std::vector<float>& inR, int block = 512) {
        host.process(inL, inR, outL, outR, block);
    }
    TestHost host;
    std::vector<float> outL, outR;
};

} // namespace

TEST_F(SignalPath, ImpulseArrivesAfterTheDelayTimeInWholeSamples) {
    for (float v : {0.1f, 0.0123f, 0.00017f, 0.0471f}) {
        plainWet(v, v / 2.0f);
        const float msL = v * 5000.0f, msR = (v / 2.0f) * 5000.0f;
        const auto expectedL = static_cast<int>(msL * kRate / 1000.0f);
        const auto expectedR = static_cast<int>(msR * kRate / 1000.0f);
        const auto x = impulse(static_cast<size_t>(expectedL) + 600);
        run(x, x, 333);
        EXPECT_EQ(firstAbove(outL, 0.5f), expectedL) << "left delay of " << msL << " ms";
        EXPECT_EQ(firstAbove(outR, 0.5f), expectedR) << "right delay of " << msR << " ms";
        EXPECT_FLOAT_EQ(outL[static_cast<size_t>(expectedL)], 1.0f);
    }
}

TEST_F(SignalPath, MixZeroIsDryAndOneIsWet) {
    set({{kVcoOn, 0.0f}, {kMainMix, 0.0f}, {kMainOut, 0.25f}, {kDlyLTime, 0.002f}}); // gain 0.25
    settle();
    const auto x = impulse(1000);
    run(x, x);
    EXPECT_NEAR(outL[0], 0.25f, 1e-6f) << "dry impulse times the output gain";
    for (size_t i = 1; i < outL.size(); ++i) ASSERT_NEAR(outL[i], 0.0f, 1e-6f) << i;

    host.setParameter(kMainMix, 1.0f);
    settle();
    run(x, x);
    EXPECT_NEAR(outL[0], 0.0f, 1e-6f) << "no dry signal at full mix";
    EXPECT_NEAR(outL[441], 0.25f, 1e-6f) << "the wet impulse after 10 ms";
}

TEST_F(SignalPath, BypassGivesTheRawInputWithNumbersOnly) {
    set({{kMainIn, 1.0f}, {kMainOut, 1.0f}, {kMainBypass, 1.0f}});
    std::vector<float> inL = noise(777, 7), inR = noise(777, 8);
    const float inf = std::numeric_limits<float>::infinity();
    inL[300] = inR[310] = std::nanf("");
    inL[301] = inR[311] = inf;
    inL[302] = inR[312] = -inf;
    inR[303] = 1e30f; // large, but a number
    run(inL, inR, 100);
    inL[300] = inL[301] = inL[302] = inR[310] = inR[311] = inR[312] = 0.0f;
    EXPECT_EQ(outL, inL) << "values that are no numbers pass as silence";
    EXPECT_EQ(outR, inR);
}

TEST_F(SignalPath, MonoInputFeedsBothSidesAndMonoOutputGetsTheirAverage) {
    host.setParameter(kMainMix, 0.0f);
    settle();
    std::vector<float> inL(256, 1.0f), inR(256, 0.5f);
    outL.assign(256, 0.0f);
    outR.assign(256, 9.0f);
    float* in[2] = {inL.data(), inR.data()};
    float* monoIn[2] = {inL.data(), nullptr};
    float* out[2] = {outL.data(), outR.data()};
    float* monoOut[2] = {outL.data(), nullptr};
    host.inputConnected[1] = false;
    host.processReplacing(in, out, 256);
    EXPECT_NEAR(outR[100], 1.0f, 1e-6f) << "the right side must process the left input";
    host.inputConnected[1] = true;
    host.processReplacing(monoIn, out, 256);
    EXPECT_NEAR(outR[100], 1.0f, 1e-6f) << "a null second input counts as unconnected";

    std::fill(outR.begin(), outR.end(), 9.0f);
    host.outputConnected[1] = false;
    host.processReplacing(in, out, 256);
    EXPECT_NEAR(outL[10], 0.75f, 1e-6f);
    EXPECT_EQ(outR[10], 9.0f) << "an unconnected output is not written";
    host.outputConnected[1] = true;
    host.processReplacing(in, monoOut, 256);
    EXPECT_NEAR(outL[10], 0.75f, 1e-6f) << "a null second output counts as unconnected";
}

TEST_F(SignalPath, FullFeedbackWithoutDriveStaysWithinUnity) {
    set({{kDrvOn, 0.0f}, {kDlyLFb, 1.0f}, {kDlyRFb, 1.0f}});
    set({{kDlyLFbPan, 0.0f}, {kDlyRFbPan, 1.0f}}); // each line feeds itself
    plainWet(0.0002f, 0.0003f);                    // 1 ms and 1.5 ms
    std::vector<float> x = noise(44100, 11);
    for (float& s : x) s = s > 0.0f ? 1.0f : -1.0f;
    run(x, x);
    // The wet signal is the delayed input plus the fed-back signal.
    const size_t d = 44;
    for (size_t i = d; i < x.size(); ++i) {
        ASSERT_LE(std::fabs(outL[i] - x[i - d]), 1.0f + 1e-5f) << "feedback beyond 1 at " << i;
        ASSERT_LE(std::fabs(outL[i]), 2.0f + 1e-5f);
    }
}

TEST_F(SignalPath, RepeatsKeepTheirPolarityUnlessInverted) {
    for (float inverted : {0.0f, 1.0f}) {
        host.setParameter(kDlyLFb, 0.5f); // fed back one sample later, all to the left line
        host.setParameter(kDlyLFbInv, inverted);
        plainWet(0.002f, 0.002f); // 10 ms
        const auto x = impulse(1000);
        run(x, x);
        EXPECT_NEAR(outL[441], 1.0f, 1e-6f) << "the first echo";
        EXPECT_NEAR(outL[883], inverted != 0.0f ? -0.5f : 0.5f, 1e-6f) << "the second echo";
    }
}

TEST_F(SignalPath, DelayTimeChangeDipsAndReturns) {
    plainWet(0.01f, 0.01f);
    const std::vector<float> dc(static_cast<size_t>(0.4f * kRate), 1.0f);
    run(dc, dc); // fill the line
    host.setParameter(kDlyLTime, 0.02f);
    run(dc, dc);
    const int dip = firstAbove(
        [&] {
            std::vector<float> quiet(outL.size());
            for (size_t i = 0; i < outL.size(); ++i) quiet[i] = outL[i] < 0.001f ? 1.0f : 0.0f;
            return quiet;
        }(),
        0.5f);
    EXPECT_NEAR(dip / kRate * 1000.0f, 100.0f, 5.0f) << "below -60 dB after about 100 ms";
    EXPECT_GT(outL[static_cast<size_t>(0.205f * kRate)], 0.99f) << "back after about 200 ms";
    for (size_t i = 1; i < outL.size(); ++i)
        ASSERT_LT(std::fabs(outL[i] - outL[i - 1]), 0.01f) << "the fade must glide, sample " << i;
}

TEST_F(SignalPath, VcoAtTwiceTheClockHalvesTheDelay) {
    set({{kVcoOn, 1.0f}, {kVcoManual, 1.0f}, {kVcoMod, 0.5f}, {kMainMix, 1.0f}});
    host.setParameter(kDlyLTime, 0.2f); // 1000 ms
    settle();
    std::vector<float> x(30000, 0.0f);
    for (size_t i = 0; i < 16; ++i) x[i] = 1.0f;
    run(x, x);
    const auto peak = std::max_element(
        outL.begin(), outL.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    EXPECT_NEAR(static_cast<float>(peak - outL.begin()), 22050.0f, 12.0f)
        << "a 1000 ms setting clocked at twice the rate must delay by 500 ms";
}

TEST_F(SignalPath, NoteDelayFollowsTheHostTempoWithinOneBlockAndIgnoresNonsense) {
    host.timeInfo = VstTimeInfo{};
    host.timeInfo->tempo = 120.0;
    set({{kDlyLNum, centre(0, 5)}, {kDlyLDen, centre(3, 13)}, {kDlyLMode, 1.0f}});
    EXPECT_EQ(host.paramDisplay(kDlyLTime), "500.000000") << "1/4 at 120 bpm";
    plainWet(0.5f, 0.5f);
    const auto x = impulse(23000);
    run(x, x);
    EXPECT_EQ(firstAbove(outL, 0.5f), 22050);

    host.timeInfo->tempo = 60.0;
    std::vector<float> block(64, 0.0f);
    run(block, block, 64);
    EXPECT_EQ(host.paramDisplay(kDlyLTime), "1000.000000") << "the next block takes the tempo";

    // Tempi and positions no host means are ignored, in processing and at resume.
    for (double bad : {20.0, std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        host.timeInfo->tempo = bad;
        host.timeInfo->ppqPos = bad;
        run(block, block, 64);
        EXPECT_EQ(host.paramDisplay(kDlyLTime), "1000.000000") << "tempo " << bad;
        for (float y : outL) ASSERT_TRUE(std::isfinite(y)) << "output with host value " << bad;
    }
    host.resume(kRate);
    EXPECT_EQ(host.paramDisplay(kDlyLTime), "1000.000000") << "a tempo that is no number";
    host.timeInfo->tempo = 20.0;
    host.resume(kRate);
    EXPECT_EQ(host.paramDisplay(kDlyLTime), "2000.000000") << "20 bpm at resume counts as 30";
    for (double bpm : {400.0, 400.5}) {
        host.timeInfo->tempo = bpm;
        run(block, block, 64);
        EXPECT_EQ(host.paramDisplay(kDlyLTime), "150.000000") << "400 bpm is the fastest, " << bpm;
    }
    host.timeInfo->tempo = 120.0;
    for (double position : {1e300, -1e300, 1e30, -4.0}) {
        host.timeInfo->ppqPos = position;
        run(block, block, 64);
        for (float y : outL) ASSERT_TRUE(std::isfinite(y)) << "output at position " << position;
    }
}

TEST_F(SignalPath, OddCallsAreSurvived) {
    TestHost fresh;
    ASSERT_TRUE(fresh.load());
    std::vector<float> in(1000, 0.5f), out(1000), outRight(1000);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), outRight.data()};
    fresh.processReplacing(ins, outs, 1000); // before any resume
    fresh.clearCalls();
    out.assign(1000, 7.0f);
    fresh.processReplacing(ins, outs, 0);
    EXPECT_EQ(out[0], 7.0f) << "an empty block writes nothing";
    EXPECT_EQ(fresh.callsOf(audioMasterGetTime).size(), 2u) << "tempo and position are asked";
    fresh.processReplacing(ins, outs, -5);
    for (int frames : {1, 3, 17, 511, 513}) fresh.processReplacing(ins, outs, frames);
    float* nullOuts[2] = {nullptr, nullptr};
    fresh.processReplacing(ins, nullOuts, 64);
    fresh.processReplacing(nullptr, outs, 64);
    for (float y : out) ASSERT_TRUE(std::isfinite(y));
}

TEST_F(SignalPath, LongSilenceAfterLoudInputDiesAway) {
    set({{kDlyLFb, 0.9f}, {kDlyRFb, 0.9f}, {kVcoOn, 1.0f}});
    set({{kDlyLTime, 0.0002f}, {kDlyRTime, 0.0003f}});
    settle();
    const std::vector<float> loud = noise(22050, 3);
    run(loud, loud);
    std::vector<float> silence(static_cast<size_t>(10.0f * kRate), 0.0f);
    run(silence, silence, 1024);
    for (size_t i = outL.size() - 1024; i < outL.size(); ++i)
        ASSERT_LT(std::fabs(outL[i]), 1e-20f) << "the tail must have died away at " << i;
}

TEST_F(SignalPath, SuspendAppliesAFadingTimeAtOnce) {
    plainWet(0.01f, 0.01f); // 50 ms
    std::vector<float> block(256, 0.0f);
    host.setParameter(kDlyLTime, 0.002f); // 10 ms, fading
    run(block, block, 256);
    host.suspend();
    host.resume(kRate);
    const auto x = impulse(1000);
    run(x, x);
    EXPECT_EQ(firstAbove(outL, 0.5f), 441) << "the new time must hold without a fade";
    EXPECT_NEAR(outL[441], 1.0f, 1e-6f);
}

TEST_F(SignalPath, HugeSampleWithEverySectionOnPassesWithinASecond) {
    for (ParameterId on : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn}) host.setParameter(on, 1.0f);
    host.setParameter(kMainIn, 1.0f); // the largest input gain
    set({{kDlyLTime, 0.002f}, {kDlyRTime, 0.003f}, {kDlyLFb, 0.5f}, {kDlyRFb, 0.5f}});
    set({{kFltRes, 0.5f}, {kRvbAmt, 1.0f}, {kRvbDamp, 1.0f}});
    for (float hit : {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max()}) {
        settle();
        std::vector<float> x(static_cast<size_t>(2.0f * kRate), 0.0f);
        x[100] = hit;
        run(x, x);
        for (size_t i = 0; i < outL.size(); ++i)
            ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << hit << " at " << i;
        for (size_t i = static_cast<size_t>(kRate); i < outL.size(); ++i)
            ASSERT_LT(std::max(std::fabs(outL[i]), std::fabs(outR[i])), 1e-3f)
                << "still sounding a second after a hit of " << hit << ", sample " << i;
    }
}

TEST_F(SignalPath, FirstBlockAfterSwitchingOnUsesTheValuesSetWhileOff) {
    host.setParameter(kVcoOn, 0.0f);
    settle();
    host.suspend();
    // A host restoring a session: the values, then the effect switched on.
    set({{kMainMix, 1.0f}, {kMainOut, 0.75f}, {kDlyLTime, 0.002f}}); // a delay of 10 ms
    set({{kDlyLFb, 0.6f}, {kFltOn, 1.0f}, {kFltCutoff, 0.3f}});
    host.resume(kRate);
    std::vector<float> x(static_cast<size_t>(2.0f * kRate), 0.0f);
    for (size_t i = 0; i < 64; ++i) x[i] = x[i + 44100] = 0.5f;
    run(x, x);
    EXPECT_EQ(firstAbove(outL, 0.0f), 441) << "the new time must hold without a fade";
    for (size_t i = 0; i < 22050; ++i)
        ASSERT_NEAR(outL[i], outL[i + 44100], 1e-6f)
            << "the start differs from a second later at " << i;
}

TEST_F(SignalPath, RateChangeWhileOnTakesEffectBeforeTheNextBlock) {
    // Some hosts send a new rate (and block size) while the effect is on: the next block
    // runs as if they had switched it off, set the rate and switched it on.
    const std::vector<float> loud = noise(4096, 5, 0.5f);
    for (bool newBlockSize : {false, true}) {
        host.resume(kRate, 512);
        plainWet(0.1f, 0.0471f); // 500 ms and 235.5 ms
        std::vector<float> before(kNumHostParams);
        for (int i = 0; i < kNumHostParams; ++i)
            before[static_cast<size_t>(i)] = host.getParameter(i);
        const std::string name = host.programName();
        for (float rate : {48000.0f, 96000.0f}) {
            run(loud, loud); // something in the memories and the glides
            host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            if (newBlockSize) host.dispatch(effSetBlockSize, 0, 8192);
            const auto expectedL = static_cast<int>(500.0f * rate / 1000.0f);
            const auto expectedR = static_cast<int>(235.5f * rate / 1000.0f);
            const auto x = impulse(static_cast<size_t>(expectedL) + 100);
            run(x, x, newBlockSize ? 8192 : 512);
            EXPECT_EQ(firstAbove(outL, 1e-6f), expectedL) << rate << " Hz, left";
            EXPECT_EQ(firstAbove(outR, 1e-6f), expectedR) << rate << " Hz, right";
            EXPECT_NEAR(outL[static_cast<size_t>(expectedL)], 1.0f, 1e-6f) << rate << " Hz";
        }
        for (int i = 0; i < kNumHostParams; ++i)
            EXPECT_EQ(host.getParameter(i), before[static_cast<size_t>(i)]) << "parameter " << i;
        EXPECT_EQ(host.programName(), name);
        host.suspend();
    }
}
