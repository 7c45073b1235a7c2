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
#include "engine/StretchMath.h"

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

    // The running filter held in values, which stay in registers across a stretch (the
    // states kept in arrays go through memory every sample, which lengthens the recursion).
    // The left and right sides are the first two lanes of four: a four-lane vector lives in
    // the vector registers alone, where a pair may be moved through the integer ones.
    struct Voice {
        using Lanes = stretchmath::Quad;
        struct Stage {
            Lanes x1, x2, y1, y2;
        };
        float b0, b1, b2, a1, a2;
        Stage first, second;

        // v holds the left and right input in lanes 0 and 1, zeros in the others.
        TESSEL_PER_SAMPLE Lanes process(Lanes v) noexcept { return step(second, step(first, v)); }
        TESSEL_PER_SAMPLE void process(float a[2]) noexcept {
            const Lanes y = process(Lanes{a[0], a[1]});
            a[0] = y[0];
            a[1] = y[1];
        }
        TESSEL_PER_SAMPLE Lanes step(Stage& z, Lanes v) const noexcept {
            const Lanes y = b0 * v + b1 * z.x1 + b2 * z.x2 - a1 * z.y1 - a2 * z.y2;
            // Both stages' y1 are flushed: the second stage fed with exact zeros otherwise
            // circles among the smallest denormals for ever.
            z.x2 = z.x1;
            z.x1 = v;
            z.y2 = z.y1;
            z.y1 = flushed(y);
            return y;
        }
    };
    TESSEL_PER_SAMPLE Voice voice() const noexcept {
        const auto lanes = [](const float side[2]) { return Voice::Lanes{side[0], side[1]}; };
        const auto stage = [&](int k) {
            return Voice::Stage{lanes(aaState[k][0]), lanes(aaState[k][1]), lanes(aaState[k][2]),
                                lanes(aaState[k][3])};
        };
        return {aaB0, aaB1, aaB2, aaA1, aaA2, stage(0), stage(1)};
    }
    TESSEL_PER_SAMPLE void take(const Voice& v) noexcept {
        const auto put = [](float side[2], Voice::Lanes lanes) {
            side[0] = lanes[0];
            side[1] = lanes[1];
        };
        const Voice::Stage* stages[2] = {&v.first, &v.second};
        for (int k = 0; k < 2; ++k) {
            put(aaState[k][0], stages[k]->x1);
            put(aaState[k][1], stages[k]->x2);
            put(aaState[k][2], stages[k]->y1);
            put(aaState[k][3], stages[k]->y2);
        }
    }

    float aaB0 = 1.0f, aaB1 = 0.0f, aaB2 = 0.0f, aaA1 = 0.0f, aaA2 = 0.0f;
    // Per stage: x1, x2, y1, y2, each as left and right, so both sides run as one vector.
    float aaState[2][4][2] = {};

private:
    std::span<const float> states() const noexcept { return {&aaState[0][0][0], 16}; }
};

TESSEL_PER_SAMPLE void AntiAliasFilter::process(float a[2]) noexcept {
    Voice v = voice();
    v.process(a);
    take(v);
}
