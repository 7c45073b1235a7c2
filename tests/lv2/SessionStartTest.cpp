// SPDX-License-Identifier: GPL-3.0-or-later
// What a host sets is what plays: a fresh instance starts at the values set between switching
// on and the first block (LV2 ports, a VST 2 host restoring a session, the renderer), the
// ports alone decide the state whatever preset came before, and every supported sample rate
// times its delays to the sample.
#include "cli/RenderHost.h"
#include "engine/Drell.h"
#include "lv2/Lv2Host.h"
#include "lv2/PortLayout.h"
#include "lv2/TesselLv2.h"
#include "presets/FactoryPrograms.h"
#include "support/TestSignal.h"
#include "testhost/TestHost.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

float largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
    float worst = a.size() == b.size() ? 0.0f : INFINITY;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

// The LV2 instance's effect, reached as the editor's UI reaches it.
AEffect* recordOf(Lv2Instance& lv2) {
    auto* instance = static_cast<TesselLv2*>(lilv_instance_get_handle(lv2.raw()));
    return instance->effect().getAeffect();
}

// The delay times the effect runs, as its value texts give them (ms, six decimals).
std::string delayTimes(AEffect* record) {
    std::string times;
    for (VstInt32 p : {kDlyLTime, kDlyRTime}) {
        char text[kVstMaxParamStrLen * 4] = {};
        record->dispatcher(record, effGetParamDisplay, p, 0, text, 0.0f);
        times += std::string(text) + " ";
    }
    return times;
}

void applyProgram(Lv2Instance& lv2, int program) {
    for (int p = 0; p < kNumParams; ++p)
        lv2.set(lv2ports::symbolOf(p), lv2ports::portValueOf(p, [program](int i) {
                    return kFactoryPrograms[program].values[i];
                }));
}

} // namespace

// tessel-render selects the program and then switches the effect on; an LV2 host switches
// it on and then sets the preset's ports; a VST 2 host restores a session's values after
// effMainsChanged(1). All three play the same samples from the first one.
TEST(SessionStart, EveryProgramPlaysTheSameInBothEditionsAndTheRenderer) {
    const int frames = static_cast<int>(0.4 * kRate);
    const std::vector<float> left = testsignal::burstsAndSweep(frames, 5);
    const std::vector<float> right = testsignal::burstsAndSweep(frames, 9);
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    for (int program = 0; program < kNumPrograms; ++program) {
        SCOPED_TRACE(kFactoryPrograms[program].name);
        cli::RenderHost renderer;
        ASSERT_NE(renderer.effect(), nullptr);
        renderer.configure(kRate, kBlock, 120.0);
        ASSERT_TRUE(renderer.selectProgram(program));
        renderer.start();
        std::vector<float> refLeft(left.size()), refRight(left.size());
        renderer.process(left.data(), right.data(), refLeft.data(), refRight.data(), frames);

        Lv2Instance lv2(w, kRate);
        ASSERT_TRUE(lv2.valid());
        lv2.applyPreset(w.node(lv2ports::presetUri(program).c_str()));
        const Lv2Instance::Output out = lv2.render(left, right, kBlock);
        EXPECT_LE(largestDifference(out.left, refLeft), 1e-6f);
        EXPECT_LE(largestDifference(out.right, refRight), 1e-6f);

        TestHost vst;
        ASSERT_TRUE(vst.load());
        vst.resume(static_cast<float>(kRate), kBlock);
        for (int i = 0; i < kNumParams; ++i)
            vst.setParameter(i, static_cast<float>(kFactoryPrograms[program].values[i]));
        std::vector<float> vstLeft, vstRight;
        vst.process(left, right, vstLeft, vstRight, kBlock);
        EXPECT_LE(largestDifference(vstLeft, refLeft), 1e-6f);
        EXPECT_LE(largestDifference(vstRight, refRight), 1e-6f);
    }
}

// Output closed before the first block: nothing leaks (the guard values that keep states out
// of the denormal range stay below -180 dB), where a glide from the start values used to
// let a blip through. A change once playing still glides.
TEST(SessionStart, ValuesSetBeforeTheFirstBlockDoNotGlide) {
    std::vector<float> sine(4096);
    for (std::size_t i = 0; i < sine.size(); ++i)
        sine[i] = 0.5f * std::sin(0.05f * static_cast<float>(i));
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    Lv2Instance lv2(w, kRate);
    ASSERT_TRUE(lv2.valid());
    lv2.set("main_out", unitScale(kMainOut).minimum);
    lv2.set("main_mix", 0.0f);
    Lv2Instance::Output out = lv2.render(sine, sine, kBlock);
    EXPECT_LT(*std::max_element(out.left.begin(), out.left.end()), 1e-9f);

    TestHost vst;
    ASSERT_TRUE(vst.load());
    vst.resume(static_cast<float>(kRate), kBlock);
    vst.setParameter(kMainOut, 0.0f);
    vst.setParameter(kMainMix, 0.0f);
    std::vector<float> outL, outR;
    vst.process(sine, sine, outL, outR, kBlock);
    EXPECT_LT(*std::max_element(outL.begin(), outL.end()), 1e-9f);

    // Opened again while playing: the level rises over a few blocks, not at once.
    vst.setParameter(kMainOut, 0.5f);
    vst.process(sine, sine, outL, outR, 64);
    const float first = std::fabs(outL[1]);
    const float later = *std::max_element(outL.end() - 256, outL.end());
    EXPECT_LT(first, 0.5f * later) << "the change did not glide";
}

// After any preset, the next one plays its own delay times, and after a fresh start (which
// leaves nothing of the past sound) its own samples. All 3,660 ordered pairs.
TEST(SessionStart, EveryPresetAfterEveryOtherEndsAtItsOwnState) {
    constexpr int kFrames = 256;
    const std::vector<float> in = testsignal::burstsAndSweep(kFrames, 13);
    const std::vector<float> warm(64, 0.25f);
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    std::vector<std::string> times(kNumPrograms);
    std::vector<Lv2Instance::Output> sounds(kNumPrograms);
    for (int b = 0; b < kNumPrograms; ++b) {
        Lv2Instance fresh(w, kRate);
        ASSERT_TRUE(fresh.valid());
        applyProgram(fresh, b);
        fresh.render(warm, warm, 64);
        times[b] = delayTimes(recordOf(fresh));
        lilv_instance_deactivate(fresh.raw());
        lilv_instance_activate(fresh.raw());
        sounds[b] = fresh.render(in, in, kFrames);
    }
    // The times that differ between presets differ in text, so a stale time shows.
    EXPECT_NE(times[kNumPrograms - 1], times[0]);
    int failures = 0;
    for (int a = 0; a < kNumPrograms && failures < 5; ++a) {
        Lv2Instance lv2(w, kRate);
        ASSERT_TRUE(lv2.valid());
        for (int b = 0; b < kNumPrograms && failures < 5; ++b) {
            if (b == a) continue;
            applyProgram(lv2, a);
            lv2.render(warm, warm, 64);
            applyProgram(lv2, b);
            lv2.render(warm, warm, 64);
            const std::string after = delayTimes(recordOf(lv2));
            lilv_instance_deactivate(lv2.raw());
            lilv_instance_activate(lv2.raw());
            const Lv2Instance::Output out = lv2.render(in, in, kFrames);
            const bool same =
                after == times[b] && out.left == sounds[b].left && out.right == sounds[b].right;
            if (!same) ++failures;
            EXPECT_TRUE(same) << '"' << kFactoryPrograms[a].name << "\" then \""
                              << kFactoryPrograms[b].name << "\": delay times " << after
                              << "instead of " << times[b];
        }
    }
}

// An impulse, fully wet, the VCO clock off: a 500 ms delay comes back 0.5 s of samples
// later at every rate from 4096 Hz to 384 kHz; an instance outside that range is refused.
TEST(SessionStart, DelaysLandOnTheirSampleAtEverySupportedRate) {
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    for (double rate : {4096.0, 8000.0, 22050.0, 44100.0, 96000.0, 192000.0, 352800.0, 384000.0}) {
        SCOPED_TRACE(rate);
        const auto impulseAt = static_cast<std::size_t>(rate / 100);
        const auto echoAfter = static_cast<std::size_t>(rate / 2);
        std::vector<float> impulse(impulseAt + echoAfter + 64, 0.0f);
        impulse[impulseAt] = 1.0f;
        Lv2Instance lv2(w, rate);
        ASSERT_TRUE(lv2.valid());
        lv2.set("dlyl_time", 500.0f);
        lv2.set("main_mix", 100.0f);
        lv2.set("vco_on", 0.0f);
        const Lv2Instance::Output out = lv2.render(impulse, impulse, 4096);
        std::size_t loudest = 0;
        for (std::size_t i = 0; i < out.left.size(); ++i)
            if (std::fabs(out.left[i]) > std::fabs(out.left[loudest])) loudest = i;
        EXPECT_EQ(loudest, impulseAt + echoAfter);
    }
    for (double rate : {0.0, 2000.0, 4095.0, 384001.0, 768000.0}) {
        Lv2Instance lv2(w, rate);
        EXPECT_FALSE(lv2.valid()) << rate << " Hz";
    }
}
