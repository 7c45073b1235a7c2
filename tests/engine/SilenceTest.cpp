// SPDX-License-Identifier: GPL-3.0-or-later
// Silence: once the input and every tail have died away, blocks output exact zeros; the sound
// that follows starts as it would have without the silence. Each render is compared with the
// same render through the per-sample chain alone (the reference switch), which never falls
// silent.
#include "support/BlockRender.h"
#include "support/EffectHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace {

using Settings = std::vector<std::pair<VstInt32, float>>;

constexpr float kRate = 8000.0f; // small memories: five seconds of delay are 40001 samples

using Output = blockrender::Stereo;

// A burst of noise, twelve seconds of silence, another burst, a second of silence; blocks of
// 256 frames and a few odd ones.
std::vector<float> testInput(unsigned seed, float dither) {
    const auto seconds = [](float s) { return static_cast<int>(s * kRate); };
    std::vector<float> x(static_cast<std::size_t>(seconds(13.6f)), 0.0f);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    for (int i = 0; i < seconds(0.3f); ++i) x[static_cast<std::size_t>(i)] = noise(rng);
    for (int i = seconds(12.3f); i < seconds(12.6f); ++i)
        x[static_cast<std::size_t>(i)] = noise(rng);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] += (i % 2 == 0 ? dither : -dither);
    return x;
}

Output render(const Settings& settings, float dither, bool reference = false) {
    EffectHost host;
    auto drell = host.make();
    drell->setReferenceChain(reference);
    resumeAt(*drell, kRate);
    for (const auto& [index, value] : settings) drell->setParameter(index, value);
    drell->dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    drell->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    constexpr int kSizes[] = {256, 256, 256, 77, 256, 1, 256, 500};
    return blockrender::render(*drell, testInput(3, dither), testInput(5, dither), kSizes);
}

struct Case {
    const char* name;
    Settings settings;
    bool movingClock; // the LFO moves the VCO's clock
};

constexpr int frameAt(float seconds) {
    return static_cast<int>(seconds * kRate);
}

// Largest difference over [from, to) of both sides.
float largestDifference(const Output& a, const Output& b, int from, int to) {
    const auto f = static_cast<std::size_t>(from), t = static_cast<std::size_t>(to);
    return std::max(blockrender::largestDifference(a.left, b.left, f, t),
                    blockrender::largestDifference(a.right, b.right, f, t));
}

// Largest level difference in dB of the 50 ms windows in [from, to) of the left side, where
// the reference is above -80 dBFS.
double largestWindowDb(const Output& a, const Output& reference, int from, int to) {
    return blockrender::largestWindowDb(a.left, reference.left, static_cast<std::size_t>(from),
                                        static_cast<std::size_t>(to),
                                        static_cast<std::size_t>(frameAt(0.05f)));
}

// Delays of 100 and 150 ms with 30 % feedback, so the echoes die away within the silence.
const Settings kEchoes = {{kDlyLRange, centre(1, 3)},
                          {kDlyRRange, centre(1, 3)},
                          {kDlyLTime, 0.1f},
                          {kDlyRTime, 0.15f},
                          {kDlyLFb, 0.3f},
                          {kDlyRFb, 0.3f}};

Settings with(Settings base, const Settings& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

} // namespace

TEST(Silence, DecayedTailsGiveExactZerosAndTheSoundResumesAsBefore) {
    const Case cases[] = {
        {"plain delay", with(kEchoes, {{kVcoOn, 0.0f}}), false},
        {"VCO at a fixed clock", with(kEchoes, {{kVcoOn, 1.0f}, {kVcoManual, 0.5f}}), false},
        {"plain delay, plate reverb",
         with(
             kEchoes,
             {{kVcoOn, 0.0f}, {kRvbOn, 1.0f}, {kRvbType, 1.0f}, {kRvbDamp, 0.8f}, {kRvbAmt, 0.6f}}),
         false},
        // The clock runs on in one step per silent block, at its present rate: with the LFO
        // moving it, the ticks after the silence fall a fraction of a sample off.
        {"LFO on the clock, filter, drive, spring reverb",
         with(kEchoes, {{kVcoOn, 1.0f},
                        {kVcoMod, 0.8f},
                        {kModOn, 1.0f},
                        {kModSource, 0.0f},
                        {kFltOn, 1.0f},
                        {kFltMode, centre(1, 3)},
                        {kFltRes, 0.0f},
                        {kDrvOn, 1.0f},
                        {kRvbOn, 1.0f},
                        {kRvbDamp, 0.8f},
                        {kRvbAmt, 0.5f}}),
         true},
    };
    // By 11 s every tail lies below -200 dBFS; the block that holds the next burst (at
    // 12.3 s) runs the chain again.
    const int silentFrom = frameAt(11.0f), silentTo = frameAt(12.2f);
    const int resume = frameAt(12.3f), end = frameAt(13.6f);
    for (const Case& c : cases) {
        const Output quiet = render(c.settings, 0.0f);
        const Output reference = render(c.settings, 0.0f, true);
        bool zeros = true;
        for (int i = silentFrom; i < silentTo; ++i)
            zeros = zeros && quiet.left[static_cast<std::size_t>(i)] == 0.0f &&
                    quiet.right[static_cast<std::size_t>(i)] == 0.0f;
        EXPECT_TRUE(zeros) << c.name << ": the silence is not exact zeros";
        const float whole = largestDifference(quiet, reference, 0, end);
        if (!c.movingClock) {
            EXPECT_LE(whole, 1e-8f) << c.name; // -160 dBFS
        } else {
            // Within 1e-3 up to 100 ms after the sound resumes, then each 50 ms window's
            // level within 0.5 dB.
            const int settled = resume + frameAt(0.1f);
            EXPECT_LE(largestDifference(quiet, reference, 0, settled), 1e-3f) << c.name;
            EXPECT_LE(largestWindowDb(quiet, reference, settled, end), 0.5) << c.name;
        }
        std::printf("[ deviation] %s: %.3g\n", c.name, static_cast<double>(whole));
    }
}

TEST(Silence, EchoesAtFullFeedbackNeverFallSilent) {
    // A feedback of 100 % repeats every echo at full level: the chain keeps running.
    const Output out = render(with(kEchoes, {{kDlyLFb, 1.0f}, {kDlyRFb, 1.0f}}), 0.0f);
    float level = 0.0f;
    for (int i = frameAt(11.0f); i < frameAt(12.2f); ++i)
        level = std::max(level, std::fabs(out.left[static_cast<std::size_t>(i)]));
    EXPECT_GT(level, 0.01f);
}
