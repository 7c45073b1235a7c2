// Fixed 14 kHz fourth-order Butterworth low-pass (two biquads per side) that band-limits
// the signal entering the clocked delay memory.
//
// Each biquad: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 (direct form I), both stages with the
// same coefficients.
#pragma once

#include "engine/FastMath.h"
#include "engine/PerSample.h"

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

    float aaB0 = 1.0f, aaB1 = 0.0f, aaB2 = 0.0f, aaA1 = 0.0f, aaA2 = 0.0f;
    // Per side and stage: x1, x2, y1, y2.
    float aaState[2][2][4] = {};
};

TESSEL_PER_SAMPLE void AntiAliasFilter::process(float a[2]) noexcept {
    for (int s = 0; s < 2; ++s) {
        float v = a[s];
        for (int stage = 0; stage < 2; ++stage) {
            float* z = aaState[s][stage];
            const float y = aaB0 * v + aaB1 * z[0] + aaB2 * z[1] - aaA1 * z[2] - aaA2 * z[3];
            z[1] = z[0];
            z[0] = v;
            z[3] = z[2];
            // Both stages' y1 are flushed: the second stage fed with exact zeros otherwise
            // circles among the smallest denormals for ever.
            z[2] = fastmath::flush(y);
            v = y;
        }
        a[s] = v;
    }
}
