// SPDX-License-Identifier: GPL-3.0-or-later
// The input meter's delay: each side's input passes through a ring as long as the host's
// output latency, and the values leaving it move the extremes, so that the editor's level
// bars show what is heard rather than what has just come in.
//
// Clearing is lazy: clear() only notes that every position counts as zero; each block zeroes
// the positions it is about to read that were not written since.
#pragma once

#include "engine/PerSample.h"
#include "engine/Relaxed.h"
#include "engine/StretchMath.h"

#include <algorithm>
#include <vector>

class InputMeter {
public:
    // Where the rings are and what left them in the running block. A block keeps it in a
    // local with the chain's state, out of reach of the rings' stores.
    struct Cursor {
        int pos = 0;
        float high[2] = {0.0f, 0.0f};
        float low[2] = {0.0f, 0.0f};
    };

    // Zeroed rings of n samples (not real-time safe).
    void setLength(int n);
    int length() const noexcept { return len; }
    // Every position counts as zero from now on.
    void clear() noexcept { stale = len; }
    // Before a block of frames samples from the cursor's position: the positions it reads
    // that still count as zero are zeroed.
    void prepareBlock(const Cursor& c, int frames) noexcept;

    // One sample of both sides in, and the one written length samples ago moves the extremes.
    TESSEL_PER_SAMPLE void take(Cursor& c, float xL, float xR) noexcept {
        float* const r[2] = {ring[0].data(), ring[1].data()};
        r[0][c.pos] = xL;
        r[1][c.pos] = xR;
        if (++c.pos == len) c.pos = 0;
        for (int s = 0; s < 2; ++s) {
            const float v = r[s][c.pos];
            c.high[s] = std::max(c.high[s], v);
            c.low[s] = std::min(c.low[s], v);
        }
    }
    // n samples at once, as n calls of take.
    void takeStretch(Cursor& c, const float* xL, const float* xR, int n) noexcept;

    // A block's extremes join the peaks the editor reads (it may have taken them meanwhile).
    void joinBlock(const Cursor& c) noexcept;
    // Each side's peak since the last call, or since clearPeaks; clears them. Any thread, no
    // lock. Null pointers are skipped.
    void takePeaks(float* peakL, float* peakR) noexcept;
    void clearPeaks() noexcept;

private:
    std::vector<float> ring[2];
    int len = 1024;
    int stale = 0; // ring positions from the cursor's on that count as zero since a clear
    // The extremes since the editor last took them.
    Relaxed<float> lowest[2] = {0.0f, 0.0f};
    Relaxed<float> highest[2] = {0.0f, 0.0f};
};
