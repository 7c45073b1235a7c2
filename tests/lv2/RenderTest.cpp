// SPDX-License-Identifier: GPL-3.0-or-later
// The LV2 edition follows the host's tempo from its time position and takes MIDI control
// changes; without urid:map it ignores both. (SessionStartTest.cpp compares its presets
// with the VST 2 edition and the renderer.)
#include "lv2/Lv2Host.h"
#include "lv2/PortLayout.h"
#include "support/ScopedEnv.h"
#include "support/TestSignal.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

// The frame of the loudest sample.
std::size_t loudest(const std::vector<float>& x) {
    std::size_t best = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (std::fabs(x[i]) > std::fabs(x[best])) best = i;
    return best;
}

} // namespace

// A quarter-note echo of an impulse, fully wet: the host's tempo sets where it lands. A
// tempo counted in eighths is converted to quarters; a host that offers no urid:map or
// leaves the event input unconnected leaves the effect at its own 120.
TEST(Lv2Render, TimePositionTempoMovesANoteValueDelay) {
    struct Case {
        const char* what;
        bool withMap, connected;
        std::uint32_t at;
        float bpm;
        int unit;
        int echoFrames;
    };
    const Case cases[] = {
        {"120 quarters a minute", true, true, 0, 120.0f, 4, 22050},
        {"60 quarters a minute", true, true, 0, 60.0f, 4, 44100},
        {"120 eighths a minute", true, true, 0, 120.0f, 8, 44100},
        {"tempo inside the block", true, true, 300, 60.0f, 4, 44100},
        {"no urid:map", false, true, 0, 60.0f, 4, 22050},
        {"event input unconnected", false, false, 0, 60.0f, 4, 22050},
    };
    constexpr std::size_t kImpulse = 4410;
    std::vector<float> impulse(static_cast<std::size_t>(1.2 * kRate), 0.0f);
    impulse[kImpulse] = 1.0f;
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lv2Instance lv2(w, kRate, c.withMap, c.connected);
        ASSERT_TRUE(lv2.valid());
        lv2.set("dlyl_mode", 1.0f); // note
        lv2.set("dlyl_num", 0.0f);  // 1
        lv2.set("dlyl_den", 3.0f);  // 4
        lv2.set("main_mix", 100.0f);
        lv2.set("vco_on", 0.0f);
        const Lv2Instance::Output out = lv2.render(impulse, impulse, kBlock, [&](int block) {
            if (block == 0) lv2.queueTempo(c.at, c.bpm, c.unit);
        });
        const auto echo = static_cast<int>(loudest(out.left)) - static_cast<int>(kImpulse);
        EXPECT_NEAR(echo, c.echoFrames, 2) << "the echo came after " << echo << " frames";
    }
}

// Controller 20 drives "Main In" in a new installation's map; value 0 closes the input.
TEST(Lv2Render, ControlChangeMovesItsBoundParameter) {
    TempFolder config;
    ScopedEnv settings("TESSEL_CONFIG_HOME", config.path().c_str());
    const int frames = static_cast<int>(0.6 * kRate);
    std::vector<float> noise = testsignal::burstsAndSweep(frames * 5, 3);
    noise.resize(static_cast<std::size_t>(frames)); // its noise burst and the sweep's start
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    for (bool withMap : {true, false}) {
        SCOPED_TRACE(withMap ? "with urid:map" : "without urid:map");
        Lv2Instance lv2(w, kRate, withMap);
        ASSERT_TRUE(lv2.valid());
        const Lv2Instance::Output out = lv2.render(noise, noise, kBlock, [&](int block) {
            if (block == 20) lv2.queueMidi(100, 0xB4, 20, 0); // channel 5
        });
        const std::size_t cc = 20 * kBlock;
        const double before = testsignal::rms(out.left, cc - 4096, cc);
        const double after = testsignal::rms(out.left, out.left.size() - 4096, out.left.size());
        ASSERT_GT(before, 0.05);
        if (withMap)
            EXPECT_LT(after, 1e-4 * before) << "Main In did not close";
        else
            EXPECT_GT(after, 0.5 * before) << "a plug-in without urid:map took MIDI";
    }
}

// The host's bypass switch (the enabled port) and the Main Bypass port each bypass the
// effect: the input comes out as it went in.
TEST(Lv2Render, EitherBypassPassesTheInputThrough) {
    const int frames = static_cast<int>(0.2 * kRate);
    const std::vector<float> in = testsignal::burstsAndSweep(frames, 7);
    Lv2World w;
    ASSERT_NE(w.plugin, nullptr);
    struct Case {
        float enabled, bypass;
        bool passes;
    };
    for (const Case& c : {Case{1.0f, 0.0f, false}, Case{0.0f, 0.0f, true}, Case{1.0f, 1.0f, true},
                          Case{0.0f, 1.0f, true}}) {
        SCOPED_TRACE(::testing::Message() << "enabled " << c.enabled << ", bypass " << c.bypass);
        Lv2Instance lv2(w, kRate);
        ASSERT_TRUE(lv2.valid());
        lv2.set("main_mix", 100.0f);
        lv2.set("enabled", c.enabled);
        lv2.set("main_bypass", c.bypass);
        const Lv2Instance::Output out = lv2.render(in, in, kBlock);
        EXPECT_EQ(out.left == in, c.passes);
    }
}
