// SPDX-License-Identifier: GPL-3.0-or-later
// Each sound parameter in the units its value text reads in: decibels, percent, hertz,
// milliseconds, degrees or a plain number, with the range a host shows, and the mapping
// between that reading and the normalised value 0..1 the effect takes. Switches and choices
// read as their step index. The LV2 edition's ports use this table in both directions.
#pragma once

#include "engine/Parameters.h"

#include <cstdint>

// The longest delay time of each delay range.
inline constexpr float kDelayRangeMs[3] = {100.0f, 1000.0f, 5000.0f};

// The range in ms a delay range parameter value selects.
inline float delayRangeMsOf(float rangeValue) noexcept {
    return kDelayRangeMs[step(rangeValue, 3)];
}

enum class ValueUnit : std::uint8_t { None, Decibels, Percent, Hertz, Milliseconds, Degrees };

enum class UnitCurve : std::uint8_t {
    Step,           // the step index 0..n-1
    SquareGain,     // 20 log10(4 v^2) dB: input and output
    Gain,           // 20 log10(v) dB: feedback
    DriveGain,      // 20 log10(2^(4 v)) dB
    Percent,        // 100 v
    BipolarPercent, // 200 (v - 0.5)
    LfoRate,        // 16^v - 1 Hz, at least 0.01 Hz
    Degrees,        // 180 (v - 0.5)
    Cutoff,         // 64 * 2^(8 v) - 14 Hz, at most 16000 Hz
    Tenfold,        // 10 v
    Ratio,          // 2^(2 v - 1)
    EnvelopeSpeed,  // 100 + 900 v ms
    DelayTime,      // v times the line's range in ms
};

struct UnitScale {
    ValueUnit unit;
    UnitCurve curve;
    float minimum, maximum; // in units; a gain's minimum stands for silence ("-oo")
    bool logarithmic;       // equal ratios read as equal steps
};

// The unit and range of a sound parameter (0..kNumParams-1).
const UnitScale& unitScale(int param) noexcept;

// A normalised value in units. rangeMs is the delay line's range, for the delay times only.
float toUnits(int param, float normalised, float rangeMs = 5000.0f) noexcept;
// A reading in units as the normalised value that gives it, within 0..1; readings outside
// the range are held to it, a gain at or below its minimum is silence, a step is rounded.
float fromUnits(int param, float units, float rangeMs = 5000.0f) noexcept;
