// Resonant state-variable filter run at twice the sample rate with a soft cubic limit on
// the band state; low-, band- or high-pass output. One state shared by all placements.
#pragma once

class StateVariableFilter {
public:
    void reset() noexcept;
    // Coefficients for the next sample from the smoothed cutoff and resonance.
    void updateCoefficients(float cutoff, float resonance, float fltFactor, float dspRate,
                            float cutoffCeiling) noexcept;
    // Filters x[0], x[1] in place; fltType 0 low-pass, 1 band-pass, 2 high-pass.
    void process(float x[2], int fltType) noexcept;

    float svfLow[2] = {0.0f, 0.0f};
    float svfBand[2] = {0.0f, 0.0f};
    float svfHigh[2] = {0.0f, 0.0f};
    float svfF = 0.0f;
    float svfQLimit = 0.0f;
    float svfDamp = 0.0f;
};
