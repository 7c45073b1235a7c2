// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in phrase that a render without input plays.
#include "cli/DemoPhrase.h"
#include "support/TestSignal.h"

#include <gtest/gtest.h>

#include <cmath>

using testsignal::rms;

TEST(DemoPhrase, IsFourRepeatableSecondsOfStereoPeakingAtMinusSixDb) {
    for (double rate : {22050.0, 44100.0, 96000.0}) {
        cli::StereoBuffer phrase = cli::makeDemoPhrase(rate);
        EXPECT_EQ(phrase.sampleRate, rate);
        EXPECT_EQ(phrase.frames(), std::llround(cli::kDemoPhraseSeconds * rate)) << rate;
        ASSERT_EQ(phrase.right.size(), phrase.left.size());
        float peak = 0.0f;
        for (std::size_t i = 0; i < phrase.left.size(); ++i) {
            ASSERT_TRUE(std::isfinite(phrase.left[i]) && std::isfinite(phrase.right[i]));
            peak = std::max({peak, std::fabs(phrase.left[i]), std::fabs(phrase.right[i])});
        }
        EXPECT_NEAR(peak, cli::kDemoPhrasePeak, 1e-6) << rate;
        const cli::StereoBuffer again = cli::makeDemoPhrase(rate);
        EXPECT_TRUE(again.left == phrase.left && again.right == phrase.right) << "not repeatable";
    }
}

TEST(DemoPhrase, SoundsInBothChannelsAndLeavesRoomForEchoes) {
    const double rate = 44100.0;
    cli::StereoBuffer p = cli::makeDemoPhrase(rate);
    auto second = [&](double s) { return static_cast<std::size_t>(s * rate); };
    // The notes, the drum and the burst all fall in the first three seconds.
    for (double start : {0.0, 1.0, 2.0}) {
        EXPECT_GT(rms(p.left, second(start), second(start + 1)), 0.01) << "left, s " << start;
        EXPECT_GT(rms(p.right, second(start), second(start + 1)), 0.01) << "right, s " << start;
    }
    EXPECT_NE(p.left, p.right) << "the notes are spread across the stereo field";
    // The last half second is silence, so the first echoes are heard within the phrase.
    EXPECT_LT(rms(p.left, second(3.5), p.left.size()), 1e-4);
    EXPECT_LT(rms(p.right, second(3.5), p.right.size()), 1e-4);
}
