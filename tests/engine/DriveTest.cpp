// SPDX-License-Identifier: GPL-3.0-or-later
// The drive alone: its level law, the running sums, and reset.
#include "engine/Drive.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float drive(Drive& d, float in, float amount, bool on = true) {
    float a[2] = {in, -in};
    d.process(a, amount, on);
    return a[0];
}

} // namespace

TEST(Drive, LengthOutsideTheRingsFallsBack) {
    Drive d;
    d.drivePos = 3;
    d.setLength(8);
    EXPECT_EQ(d.avgLen, 8);
    EXPECT_EQ(d.drivePos, 0);
    d.setLength(99);
    EXPECT_EQ(d.avgLen, 4) << "a length the rings cannot hold falls back";
}

TEST(Drive, FullDriveNeverLetsASteadySignalAboveOneSixteenth) {
    for (float level = 0.001f; level < 20.0f; level *= 1.1f) {
        Drive d;
        float out = 0.0f;
        for (int i = 0; i < 8; ++i) out = drive(d, level, 16.0f);
        EXPECT_LE(std::fabs(out), 1.0f / 16.0f + 1e-7f) << "level " << level;
        // The steady curve |a| (1 - drive |a| / 4) below saturation.
        if (16.0f * level <= 2.0f) {
            EXPECT_NEAR(out, level * (1.0f - 16.0f * level / 4.0f), 1e-6f) << "level " << level;
        }
    }
}

TEST(Drive, RebuildingTheSumsRemovesAccumulatedError) {
    Drive d;
    stagetest::Noise noise(4, 3.0f);
    for (int i = 0; i < 100000; ++i) drive(d, noise(), 5.0f, false);
    for (int i = 0; i < 4; ++i) drive(d, 0.0f, 5.0f, false);
    d.rebuildSums();
    EXPECT_EQ(d.driveSum[0], 0.0f);
    EXPECT_EQ(d.driveSum[1], 0.0f);
    EXPECT_EQ(drive(d, 0.5f, 1.0f), 0.5f * (1.0f - 0.5f * 0.0625f));
}

TEST(Drive, ResetEqualsAFreshInstance) {
    Drive used, fresh;
    stagetest::Noise noise(8);
    for (int i = 0; i < 1001; ++i) drive(used, noise(), 3.0f);
    used.reset();
    used.setLength(4);
    stagetest::Noise a(2), b(2);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(drive(used, a(), 7.0f), drive(fresh, b(), 7.0f));
}
