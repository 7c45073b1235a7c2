// SPDX-License-Identifier: GPL-3.0-or-later
// The delay line alone: whole-sample delays, read offsets within the memory, clocking.
#include "engine/DelayLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

TEST(DelayLine, ImpulseArrivesAfterWholeSamples) {
    for (int offset : {0, 1, 37, 999}) {
        DelayLine line;
        line.allocate(1000);
        line.placeRead(offset);
        int arrival = -1;
        for (int i = 0; i < 2000 && arrival < 0; ++i)
            if (line.processPlain(i == 0 ? 1.0f : 0.0f) > 0.5f) arrival = i;
        EXPECT_EQ(arrival, offset) << "impulse through a delay of " << offset << " samples";
    }
}

TEST(DelayLine, OffsetStaysWithinTheMemory) {
    DelayLine line;
    line.allocate(5 * 44100 + 1);
    // 5000 ms at a rate with a fraction would need 220502 samples of a 220501-sample memory.
    EXPECT_EQ(line.offsetFor(5000.0f, 44100.5f), 220500);
    EXPECT_EQ(line.offsetFor(2000.0f, 44100.0f), 88200);
    EXPECT_EQ(line.offsetFor(-5.0f, 44100.0f), 0);
    EXPECT_EQ(line.offsetFor(std::nanf(""), 44100.0f), 0);
    line.placeRead(1 << 30);
    EXPECT_GE(line.readPosition(), 0);
    EXPECT_LT(line.readPosition(), line.length());
    EXPECT_NE(line.readPosition(), line.writePosition())
        << "the longest offset must not read the newest sample";
}

TEST(DelayLine, ClockedOutputHoldsAfterASteepRateRise) {
    DelayLine line;
    line.allocate(4000);
    line.placeRead(100);
    for (int i = 0; i < 400; ++i) {
        line.pushInput(std::sin(0.05f * static_cast<float>(i)));
        line.processClocked(0.125f);
    }
    // From the slowest to the fastest clock in one sample: the next tick lies ahead.
    for (int i = 0; i < 16; ++i) {
        line.pushInput(0.0f);
        float y = line.processClocked(8.0f);
        EXPECT_LE(std::fabs(y), 1.5f) << "the spline must not be extrapolated, sample " << i;
    }
}

TEST(DelayLine, FaultyClockRatesAreHeld) {
    DelayLine line;
    line.allocate(100);
    for (float rate : {0.0f, -3.0f, std::nanf(""), INFINITY, 1e30f}) {
        line.pushInput(1.0f);
        float y = line.processClocked(rate);
        EXPECT_TRUE(std::isfinite(y)) << "rate " << rate;
        EXPECT_GE(line.clockRate(), DelayLine::kMinClockRate);
        EXPECT_LE(line.clockRate(), DelayLine::kMaxClockRate);
    }
}

TEST(DelayLine, InputHistoryFromMemoryMatchesPushingEachSample) {
    // Runs of every length up to past the history's four entries, across the memory's end.
    for (int frames : {1, 2, 3, 4, 5, 37}) {
        DelayLine pushed, taken;
        for (DelayLine* line : {&pushed, &taken}) {
            line->allocate(10);
            line->placeRead(3);
            const float earlier[4] = {0.5f, -0.25f, 0.125f, 1.0f};
            for (float a : earlier) line->pushInput(a);
        }
        for (int run = 0; run < 3; ++run) {
            for (int i = 0; i < frames; ++i) {
                const float a = std::sin(0.7f * static_cast<float>(run * frames + i + 1));
                pushed.pushInput(a);
                pushed.processPlain(a);
                taken.processPlain(a);
            }
            taken.takeInputsFromMemory(frames);
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(taken.inputHistory()[k], pushed.inputHistory()[k])
                    << "history entry " << k << " after " << run + 1 << " runs of " << frames;
        }
    }
}

TEST(DelayLine, ClearedMemoryReadsAsZerosThroughBlocksAndJumps) {
    // A line full of loud noise is cleared and run beside a freshly zeroed one at the same
    // positions: blocks of every size, plain or clocked at a wandering rate, with read
    // positions jumping anywhere (also far into what was never written since the clear).
    for (bool clocked : {false, true}) {
        for (unsigned seed : {1u, 2u, 3u}) {
            std::mt19937 rng(seed);
            std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
            const int length = 3001;
            DelayLine used, fresh;
            used.allocate(length);
            used.placeRead(1000);
            for (int i = 0; i < 3 * length + 123; ++i) used.processPlain(noise(rng));
            used.clear();
            used.placeRead(static_cast<int>(rng() % length));
            fresh.allocate(length);
            DelayLine::Cursor at = fresh.cursor();
            at.write = used.writePosition();
            at.read = used.readPosition();
            fresh.take(at);
            float rate = 1.0f;
            for (int block = 0; block < 150; ++block) {
                const int frames = 1 + static_cast<int>(rng() % (block % 3 == 0 ? 700 : 40));
                used.prepareBlock(frames, clocked);
                fresh.prepareBlock(frames, clocked);
                for (int i = 0; i < frames; ++i) {
                    if (rng() % 500 == 0) {
                        const int offset = static_cast<int>(rng() % length);
                        used.placeRead(offset);
                        fresh.placeRead(offset);
                    }
                    const float a = noise(rng);
                    float y = 0.0f, want = 0.0f;
                    if (clocked) {
                        rate = std::clamp(rate * std::exp2(0.3f * noise(rng)), 0.125f, 8.0f);
                        used.pushInput(a);
                        fresh.pushInput(a);
                        y = used.processClocked(rate);
                        want = fresh.processClocked(rate);
                    } else {
                        y = used.processPlain(a);
                        want = fresh.processPlain(a);
                    }
                    ASSERT_EQ(y, want) << (clocked ? "clocked" : "plain") << ", seed " << seed
                                       << ", block " << block << ", sample " << i;
                }
            }
            EXPECT_FALSE(used.clearing()) << "the writer has been all round the memory";
        }
    }
}
