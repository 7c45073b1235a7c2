// Fixed 14 kHz fourth-order Butterworth low-pass (two biquads per side) that band-limits
// the signal entering the clocked delay memory.
#pragma once

class AntiAliasFilter {
public:
    // Coefficients for the sample rate (bilinear transform at 14000 Hz).
    void design(float dspRate) noexcept;
    void reset() noexcept;
    // Filters a[0], a[1] in place.
    void process(float a[2]) noexcept;
    // Sets every state of each side to its value, so switching the filter in starts settled.
    void preset(const float a[2]) noexcept;

    float aaB0 = 1.0f, aaB1 = 0.0f, aaB2 = 0.0f, aaA1 = 0.0f, aaA2 = 0.0f;
    // Per side and stage: x1, x2, y1, y2.
    float aaState[2][2][4] = {};
};
