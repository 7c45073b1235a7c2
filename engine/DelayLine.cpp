// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DelayLine.h"
#include "engine/StateCheck.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using stretchmath::catmullRomQuad;
using stretchmath::copyFloats;
using stretchmath::storeQuad;

namespace {

// Longest history a steady stretch needs: four values before it and up to eight ticks per
// sample.
constexpr int kSteadyHistory = 4 + 8 * DelayLine::kMaxStretch + 4;

} // namespace

void DelayLine::Cursor::readSteady(int ticks, int n, float* y) noexcept {
    // The values the ticks read, after the four read before; sample i's output interpolates
    // the last four read by then, at the (unchanging) phase.
    float values[kSteadyHistory];
    const int count = ticks * n;
    std::memcpy(values, outHist, sizeof outHist);
    const int first = std::min(count, length - read);
    copyFloats(values + 4, memory + read, first);
    copyFloats(values + 4 + first, memory, count - first);
    std::fill(values + 4 + count, values + 4 + count + 4, 0.0f);
    const float f = phase > 0.0f ? phase : 0.0f;
    if (ticks == 1) {
        for (int i = 0; i < n; i += 4) storeQuad(y + i, catmullRomQuad(values + i + 1, f));
    } else {
        for (int i = 0; i < n; ++i) y[i] = catmullRom(values + (i + 1) * ticks, f);
    }
    std::memcpy(outHist, values + count, sizeof outHist);
    read += count;
    if (read >= length) read -= length;
}

void DelayLine::Cursor::writeSteady(int ticks, int n, const float* a) noexcept {
    // Sample i's inputs are the three before it and a[i]; every sample's ticks fall at the
    // same fractions of it.
    float history[kMaxStretch + 8];
    copyFloats(history, inHist + 1, 3);
    copyFloats(history + 3, a, n);
    std::fill(history + 3 + n, history + 3 + n + 4, 0.0f);
    const ClockStep step = clockStep(phase, rate, rate);
    const float period = 1.0f / rate;
    float written[8 * kMaxStretch + 4];
    if (ticks == 1) {
        const float f = step.t * period;
        for (int i = 0; i < n; i += 4) storeQuad(written + i, catmullRomQuad(history + i, f));
    } else {
        float fraction[8];
        float t = step.t;
        for (int tick = 0; tick < ticks; ++tick, t += 1.0f) fraction[tick] = t * period;
        for (int i = 0; i < n; ++i) {
            const CatmullRom input(history + i);
            for (int tick = 0; tick < ticks; ++tick)
                written[i * ticks + tick] = input.at(fraction[tick]);
        }
    }
    const int count = ticks * n;
    const int first = std::min(count, length - write);
    copyFloats(memory + write, written, first);
    copyFloats(memory, written + first, count - first);
    std::memcpy(inHist, history + n - 1, sizeof inHist);
    write += count;
    if (write >= length) write -= length;
}

void DelayLine::takeInputsFromMemory(int frames) noexcept {
    const float* memory = buffer.data();
    const int len = state.length;
    if (frames >= 4 && state.write >= 4) {
        // The last four writes lie side by side: one copy, which the next block's reads of
        // the history can take whole.
        std::memcpy(state.inHist, memory + state.write - 4, sizeof state.inHist);
        return;
    }
    float h[4];
    for (int i = 0; i < 4; ++i) {
        const int back = 4 - i; // samples before the next write position
        if (back <= frames && back <= len) {
            const int pos = state.write - back;
            h[i] = memory[pos < 0 ? pos + len : pos];
        } else {
            h[i] = i + frames < 4 ? state.inHist[i + frames] : 0.0f;
        }
    }
    std::memcpy(state.inHist, h, sizeof h);
}

void DelayLine::runClockSilently(float rate, int frames) noexcept {
    rate = heldRate(rate);
    const double phase = static_cast<double>(state.phase) + static_cast<double>(rate) * frames;
    state.rate = rate;
    state.phase = static_cast<float>(phase - static_cast<double>(static_cast<long>(phase)));
    if (!(state.phase < 1.0f)) state.phase = 0.0f;
}

bool DelayLine::isFinite() const noexcept {
    return statecheck::allFinite(state.inHist, state.outHist, state.rate, state.phase);
}

float DelayLine::peak() const noexcept {
    return std::max(statecheck::peak(state.inHist), statecheck::peak(state.outHist));
}
