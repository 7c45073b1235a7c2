// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed 14 kHz fourth-order Butterworth low-pass (two biquads per side) that band-limits
// the signal entering the clocked delay memory.
//
// Each biquad: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 (direct form I), both stages with the
// same coefficients.
#pragma once

#include "engine/FastMath.h"
#include "engine/PerSample.h"
#include "engine/SidePair.h"
#include "engine/StateCheck.h"

class AntiAliasFilter {
public:
    static constexpr double kDesignHz = 14000.0;
    // Highest design frequency as a share of the sample rate. At 0.5 or above the bilinear
    // design puts its poles outside the unit circle (the filter would blow up below 28 kHz),
    // so at low rates the design frequency follows the rate at this share instead.
    static constexpr double kMaxShareOfRate = 0.45;

    // Coefficients for the sample rate (bilinear transform at 14000 Hz).
    void design(float dspRate) noexcept;
    void reset() noexcept;
    // Filters a[0], a[1] in place.
    inline void process(float a[2]) noexcept;
    // Sets every state of each side to its value, so switching the filter in starts settled.
    void preset(const float a[2]) noexcept;
    // Whether the states are numbers, and their largest magnitude.
    bool isFinite() const noexcept { return statecheck::allFinite(states()); }
    float peak() const noexcept { return statecheck::peak(states()); }

    float aaB0 = 1.0f, aaB1 = 0.0f, aaB2 = 0.0f, aaA1 = 0.0f, aaA2 = 0.0f;
    // Per stage: x1, x2, y1, y2, each as left and right, so both sides run as one pair.
    float aaState[2][4][2] = {};

private:
    std::span<const float> states() const noexcept { return {&aaState[0][0][0], 16}; }
};

TESSEL_PER_SAMPLE void AntiAliasFilter::process(float a[2]) noexcept {
    // Both sides at once.
    FloatPair v = {a[0], a[1]};
    for (auto& z : aaState) {
        const FloatPair x1 = loadPair(z[0]), x2 = loadPair(z[1]);
        const FloatPair y1 = loadPair(z[2]), y2 = loadPair(z[3]);
        const FloatPair y = aaB0 * v + aaB1 * x1 + aaB2 * x2 - aaA1 * y1 - aaA2 * y2;
        // Both stages' y1 are flushed: the second stage fed with exact zeros otherwise
        // circles among the smallest denormals for ever.
        storePair(z[1], x1);
        storePair(z[0], v);
        storePair(z[3], y1);
        storePair(z[2], flushPair(y));
        v = y;
    }
    a[0] = v[0];
    a[1] = v[1];
}
