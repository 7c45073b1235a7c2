// SPDX-License-Identifier: GPL-3.0-or-later
// The queue that carries the effect's edits from the editor's and the audio thread to the
// UI's idle: exact capacity, and no edit lost, doubled or reordered per thread while
// several threads push and one takes.
#include "lv2/EditQueue.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(EditQueue, HoldsExactlyItsSizeAndTakesInOrder) {
    EditQueue<4> queue;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(queue.push({Edit::Kind::Value, i, 0.25f * float(i)}));
    EXPECT_FALSE(queue.push({Edit::Kind::Begin, 9, 0.0f})) << "full";
    Edit edit;
    ASSERT_TRUE(queue.pop(edit));
    EXPECT_EQ(edit.param, 0);
    EXPECT_TRUE(queue.push({Edit::Kind::End, 4, 0.0f})) << "room again after a take";
    for (int i = 1; i <= 4; ++i) {
        ASSERT_TRUE(queue.pop(edit));
        EXPECT_EQ(edit.param, i);
    }
    EXPECT_EQ(edit.kind, Edit::Kind::End);
    EXPECT_FALSE(queue.pop(edit)) << "empty";
}

TEST(EditQueue, ThreadsPushingWhileOneTakesLoseNothing) {
    constexpr int kThreads = 3;
    constexpr int kEach = 20000;
    EditQueue<64> queue;
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t)
        producers.emplace_back([&queue, t] {
            for (int n = 0; n < kEach; ++n)
                while (!queue.push({Edit::Kind::Value, t, float(n)})) std::this_thread::yield();
        });
    // Faults are counted, not asserted: the producers must be joined whatever comes out.
    std::vector<int> next(kThreads, 0);
    int taken = 0;
    int faults = 0;
    while (taken < kThreads * kEach) {
        Edit edit;
        if (!queue.pop(edit)) {
            std::this_thread::yield();
            continue;
        }
        ++taken;
        if (edit.param < 0 || edit.param >= kThreads || edit.value != float(next[edit.param]))
            ++faults;
        else
            ++next[edit.param];
    }
    for (std::thread& p : producers) p.join();
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(next, std::vector<int>(kThreads, kEach));
    Edit extra;
    EXPECT_FALSE(queue.pop(extra));
}
