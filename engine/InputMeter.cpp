// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/InputMeter.h"

using stretchmath::copyFloats;
using stretchmath::loadQuad;
using stretchmath::Quad;

void InputMeter::setLength(int n) {
    len = n > 0 ? n : 1;
    for (auto& r : ring) r = std::vector<float>(static_cast<std::size_t>(len), 0.0f);
    stale = 0;
}

void InputMeter::joinBlock(const Cursor& c) noexcept {
    for (int s = 0; s < 2; ++s) {
        if (c.high[s] > highest[s]) highest[s] = c.high[s];
        if (c.low[s] < lowest[s]) lowest[s] = c.low[s];
    }
}

void InputMeter::takePeaks(float* peakL, float* peakR) noexcept {
    float* peaks[2] = {peakL, peakR};
    for (int s = 0; s < 2; ++s) {
        const float low = -lowest[s];
        const float high = highest[s];
        if (peaks[s] != nullptr) *peaks[s] = low > high ? low : high;
    }
    clearPeaks();
}

void InputMeter::clearPeaks() noexcept {
    for (int s = 0; s < 2; ++s) lowest[s] = highest[s] = 0.0f;
}

void InputMeter::prepareBlock(const Cursor& c, int frames) noexcept {
    if (stale <= 0) return;
    // Each sample writes at the position, moves on and reads the next one: the block reads
    // up to frames positions past it. Those not written since the clear are zeroed first.
    const int count = std::min(frames + 1, stale);
    const int first = std::min(count, len - c.pos);
    for (auto& r : ring) {
        std::fill_n(r.begin() + c.pos, first, 0.0f);
        std::fill_n(r.begin(), count - first, 0.0f);
    }
    stale = std::max(0, stale - frames);
}

void InputMeter::takeStretch(Cursor& c, const float* xL, const float* xR, int n) noexcept {
    // The values written len samples ago move the extremes. With a ring longer than the
    // stretch, those are the ring's present values after the write position, none of them
    // overwritten in the stretch before it is compared.
    if (len <= n) {
        for (int i = 0; i < n; ++i) take(c, xL[i], xR[i]);
        return;
    }
    const float* x[2] = {xL, xR};
    for (int s = 0; s < 2; ++s) {
        float* r = ring[s].data();
        Quad high = Quad{} + c.high[s];
        Quad low = Quad{} + c.low[s];
        float highTail = c.high[s], lowTail = c.low[s];
        int pos = c.pos + 1 == len ? 0 : c.pos + 1;
        for (int left = n; left > 0;) {
            const int run = std::min(left, len - pos);
            int i = 0;
            for (; i + 4 <= run; i += 4) {
                const Quad value = loadQuad(r + pos + i);
                high = value > high ? value : high;
                low = value < low ? value : low;
            }
            for (; i < run; ++i) {
                highTail = std::max(highTail, r[pos + i]);
                lowTail = std::min(lowTail, r[pos + i]);
            }
            left -= run;
            pos = pos + run == len ? 0 : pos + run;
        }
        c.high[s] = std::max({highTail, high[0], high[1], high[2], high[3]});
        c.low[s] = std::min({lowTail, low[0], low[1], low[2], low[3]});
        // Then the stretch's input is written in.
        const int first = std::min(n, len - c.pos);
        copyFloats(r + c.pos, x[s], first);
        copyFloats(r, x[s] + first, n - first);
    }
    c.pos += n;
    if (c.pos >= len) c.pos -= len;
}
