// SPDX-License-Identifier: GPL-3.0-or-later
// The input meter's stretch-wise shape against its sample-by-sample one: the same extremes
// and positions for every ring length and stretch size, across the ring's end.
#include "engine/InputMeter.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

TEST(InputMeter, StretchesMoveTheExtremesAsSampleBySampleTakes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> level(-1.0f, 1.0f);
    std::uniform_int_distribution<int> stretch(1, 128);
    for (int length : {1, 2, 3, 5, 31, 64, 129, 1024}) {
        InputMeter plain, stretched;
        plain.setLength(length);
        stretched.setLength(length);
        InputMeter::Cursor a, b;
        std::vector<float> left(128), right(128);
        for (int round = 0; round < 200; ++round) {
            const int n = stretch(random);
            for (int i = 0; i < n; ++i) {
                left[i] = level(random);
                right[i] = level(random);
            }
            for (int i = 0; i < n; ++i) plain.take(a, left[i], right[i]);
            stretched.takeStretch(b, left.data(), right.data(), n);
            ASSERT_EQ(a.pos, b.pos) << "length " << length << ", round " << round;
            for (int s = 0; s < 2; ++s) {
                ASSERT_EQ(a.high[s], b.high[s]) << "length " << length << ", round " << round;
                ASSERT_EQ(a.low[s], b.low[s]) << "length " << length << ", round " << round;
            }
            // The block's extremes start again now and then, as each block starts them.
            if (round % 3 == 0) a = b = InputMeter::Cursor{a.pos};
        }
    }
}
