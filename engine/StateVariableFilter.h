// SPDX-License-Identifier: GPL-3.0-or-later
// Resonant state-variable filter run at twice the sample rate with a soft cubic limit on
// the band state; low-, band- or high-pass output. One state shared by all placements.
//
// Per half-step and side:  low += f * band;  high = (x - damp * band) - low;
//                          band = f * high + band - 0.075 * band^3.
// Each input sample is held for two half-steps; the output is the mean of the two.
#pragma once

#include "engine/FastMath.h"
#include "engine/PerSample.h"
#include "engine/SidePair.h"
#include "engine/StateCheck.h"

#include <algorithm>

class StateVariableFilter {
public:
    // Share of the stability headroom the cubic term may use. The term 0.075 band^3 acts
    // as extra damping of 0.075 band^2 / f; once the total damping passes 2/f - f/2 the
    // half-step recursion is unstable and a loud signal runs away to infinity (at high
    // cutoffs a level of about 2 is enough). Capping the factor 0.075 band^2 below that
    // limit leaves every level that the recursion can hold unchanged.
    static constexpr float kCubicShare = 0.9f;

    void reset() noexcept;
    // Whether the states are numbers, and their largest magnitude.
    bool isFinite() const noexcept { return statecheck::allFinite(svfLow, svfBand, svfHigh); }
    float peak() const noexcept {
        return statecheck::peak(
            {svfLow[0], svfLow[1], svfBand[0], svfBand[1], svfHigh[0], svfHigh[1]});
    }
    // Coefficients for the next sample from the smoothed cutoff and resonance.
    inline void updateCoefficients(float cutoff, float resonance, float fltFactor, float dspRate,
                                   float cutoffCeiling) noexcept;
    // Filters x[0], x[1] in place; fltType 0 low-pass, 1 band-pass, 2 high-pass.
    inline void process(float x[2], int fltType) noexcept;

    float svfLow[2] = {0.0f, 0.0f};
    float svfBand[2] = {0.0f, 0.0f};
    float svfHigh[2] = {0.0f, 0.0f};
    float svfF = 0.0f;
    float svfQLimit = 0.0f;
    float svfDamp = 0.0f;
    // Largest value of 0.075 band^2 the cubic term may use at these coefficients.
    float svfCubicCap = 0.0f;

private:
    template <int Type>
    inline void run(float x[2]) noexcept;

    // Caches of values that change rarely: 2 pi / dspRate, the coefficients of the last
    // cutoff and resonance^0.25.
    float cachedCutoff = -1.0f;
    float cachedRate = 0.0f;
    double radiansPerHz = 0.0;
    float cachedResonance = -1.0f;
    float cachedRoot = 0.0f;
};

TESSEL_PER_SAMPLE void StateVariableFilter::updateCoefficients(float cutoff, float resonance,
                                                               float fltFactor, float dspRate,
                                                               float cutoffCeiling) noexcept {
    // Zero and denormal states are set to exact zero, and so are non-finite ones (a NaN
    // that came in with the signal would otherwise stay in the states for good).
    for (int s = 0; s < 2; ++s) {
        if (!fastmath::isNormalOrZero(svfBand[s])) svfBand[s] = 0.0f;
        if (!fastmath::isNormalOrZero(svfLow[s])) svfLow[s] = 0.0f;
    }
    float fc = cutoff * fltFactor;
    if (!(fc <= cutoffCeiling)) fc = cutoffCeiling; // also catches NaN
    if (!(fc > 0.0f)) fc = 0.0f;
    // The sine and the limit only when the cutoff or the rate moved; reset() clears svfF
    // and svfQLimit, so the caches are dropped there too.
    if (fc != cachedCutoff || dspRate != cachedRate || svfF == 0.0f) {
        if (dspRate != cachedRate) {
            cachedRate = dspRate;
            radiansPerHz = 6.283185307179586 / static_cast<double>(dspRate);
        }
        cachedCutoff = fc;
        const float w = static_cast<float>(radiansPerHz * static_cast<double>(fc));
        svfF = 2.0f * fastmath::sinHalfPi(w * 0.25f);
        // 2/f - f/2 is at least 2 for f up to 2 (sqrt(2) - 1) = 0.828: no division there.
        if (svfF <= 0.82f) {
            svfQLimit = 2.0f;
        } else {
            const double f = svfF;
            svfQLimit = static_cast<float>(std::min(2.0 / f - f * 0.5, 2.0));
        }
    }
    if (resonance != cachedResonance) {
        cachedResonance = resonance;
        cachedRoot = fastmath::fourthRoot(resonance);
    }
    svfDamp = std::min((1.0f - cachedRoot) * 2.0f, svfQLimit);
    const float headroom = 2.0f - svfF * svfF * 0.5f - svfF * svfDamp;
    svfCubicCap = std::max(kCubicShare * headroom, 0.0f);
}

template <int Type>
TESSEL_PER_SAMPLE void StateVariableFilter::run(float x[2]) noexcept {
    // Both sides at once: the same coefficients, the one-side arithmetic in each lane.
    const float f = svfF;
    const float damp = svfDamp;
    const FloatPair cap = {svfCubicCap, svfCubicCap};
    FloatPair low = loadPair(svfLow), band = loadPair(svfBand), high = {0.0f, 0.0f};
    const FloatPair in = loadPair(x);
    FloatPair sum = {0.0f, 0.0f};
    for (int half = 0; half < 2; ++half) {
        low = low + f * band;
        high = (in - damp * band) - low;
        // The soft limit 0.075 band^3, its factor capped (see kCubicShare); NaN takes the cap.
        const FloatPair factor = 0.075f * band * band;
        band = f * high + band - (factor < cap ? factor : cap) * band;
        if constexpr (Type == 0)
            sum += low;
        else if constexpr (Type == 1)
            sum += band;
        else
            sum += high;
    }
    storePair(svfLow, low);
    storePair(svfBand, band);
    storePair(svfHigh, high);
    storePair(x, 0.5f * sum);
}

TESSEL_PER_SAMPLE void StateVariableFilter::process(float x[2], int fltType) noexcept {
    switch (fltType) {
    case 1:
        run<1>(x);
        break;
    case 2:
        run<2>(x);
        break;
    default:
        run<0>(x);
        break;
    }
}
