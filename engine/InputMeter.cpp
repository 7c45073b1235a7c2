// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/InputMeter.h"

using stretchmath::copyFloats;
using stretchmath::loadQuad;
using stretchmath::maxQuad;
using stretchmath::minQuad;
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
    float* const r[2] = {ring[0].data(), ring[1].data()};
    Quad high[2], low[2];
    for (int s = 0; s < 2; ++s) {
        high[s] = Quad{} + c.high[s];
        low[s] = Quad{} + c.low[s];
    }
    // Both sides in one pass, in at most two runs either side of the ring's end.
    int pos = c.pos + 1 == len ? 0 : c.pos + 1;
    for (int left = n; left > 0;) {
        const int run = std::min(left, len - pos);
        int i = 0;
        for (; i + 4 <= run; i += 4) {
            for (int s = 0; s < 2; ++s) {
                const Quad value = loadQuad(r[s] + pos + i);
                high[s] = maxQuad(value, high[s]);
                low[s] = minQuad(value, low[s]);
            }
        }
        for (; i < run; ++i) {
            for (int s = 0; s < 2; ++s) {
                const Quad value = Quad{} + r[s][pos + i];
                high[s] = maxQuad(value, high[s]);
                low[s] = minQuad(value, low[s]);
            }
        }
        left -= run;
        pos = pos + run == len ? 0 : pos + run;
    }
    // Then the stretch's input is written in.
    const float* const x[2] = {xL, xR};
    const int first = std::min(n, len - c.pos);
    for (int s = 0; s < 2; ++s) {
        c.high[s] = std::max({high[s][0], high[s][1], high[s][2], high[s][3]});
        c.low[s] = std::min({low[s][0], low[s][1], low[s][2], low[s][3]});
        copyFloats(r[s] + c.pos, x[s], first);
        copyFloats(r[s], x[s] + first, n - first);
    }
    c.pos += n;
    if (c.pos >= len) c.pos -= len;
}
