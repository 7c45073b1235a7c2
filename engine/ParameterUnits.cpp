// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ParameterUnits.h"

#include "engine/TempoSync.h"

#include <algorithm>
#include <cmath>

namespace {

using C = UnitCurve;
using U = ValueUnit;

// Below these a gain reads "-oo": the port's minimum maps to silence.
constexpr float kSilentDb = -90.0f;
constexpr float kMaxCutoffHz = 16000.0f;

// The largest readings, from the curves at v = 1.
const float kSquareGainMaxDb = static_cast<float>(20.0 * std::log10(4.0));
const float kDriveMaxDb = static_cast<float>(80.0 * std::log10(2.0));
// The smallest cutoff, at v = 0.
constexpr float kMinCutoffHz = 50.0f;

UnitScale stepScale(int param) {
    return {U::None, C::Step, 0.0f, static_cast<float>(kParameterTable[param].steps - 1), false};
}

struct Table {
    UnitScale scales[kNumParams];
    Table() {
        for (int p = 0; p < kNumParams; ++p) scales[p] = stepScale(p);
        const UnitScale squareGain{U::Decibels, C::SquareGain, kSilentDb, kSquareGainMaxDb, false};
        const UnitScale feedback{U::Decibels, C::Gain, kSilentDb, 0.0f, false};
        const UnitScale percent{U::Percent, C::Percent, 0.0f, 100.0f, false};
        const UnitScale bipolar{U::Percent, C::BipolarPercent, -100.0f, 100.0f, false};
        const UnitScale time{U::Milliseconds, C::DelayTime, 0.0f, temposync::kMaxDelayMs, false};
        scales[kMainIn] = squareGain;
        scales[kMainOut] = squareGain;
        scales[kMainMix] = percent;
        scales[kDlyLFb] = feedback;
        scales[kDlyRFb] = feedback;
        scales[kDlyLFbPan] = percent;
        scales[kDlyRFbPan] = percent;
        scales[kModLfoRate] = {U::Hertz, C::LfoRate, temposync::kMinLfoHz, temposync::kMaxLfoHz,
                               true};
        scales[kModLfoOffset] = {U::Degrees, C::Degrees, -90.0f, 90.0f, false};
        scales[kModSource] = percent;
        scales[kFltMod] = bipolar;
        scales[kFltCutoff] = {U::Hertz, C::Cutoff, kMinCutoffHz, kMaxCutoffHz, true};
        scales[kFltRes] = {U::None, C::Tenfold, 0.0f, 10.0f, false};
        scales[kVcoManual] = {U::None, C::Ratio, 0.5f, 2.0f, true};
        scales[kVcoMod] = bipolar;
        scales[kDrvGain] = {U::Decibels, C::DriveGain, 0.0f, kDriveMaxDb, false};
        scales[kModEnvSpeed] = {U::Milliseconds, C::EnvelopeSpeed, 100.0f, 1000.0f, false};
        scales[kDlyLTime] = time;
        scales[kDlyRTime] = time;
        scales[kRvbDamp] = percent;
        scales[kRvbAmt] = percent;
        scales[kModSens] = percent;
    }
};

const Table& table() {
    static const Table t;
    return t;
}

double clamp01(double v) {
    return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0; // NaN gives 0
}

} // namespace

const UnitScale& unitScale(int param) noexcept {
    return table().scales[param];
}

float toUnits(int param, float normalised, float rangeMs) noexcept {
    const UnitScale& s = unitScale(param);
    const double v = clamp01(normalised);
    double x = 0.0;
    switch (s.curve) {
    case C::Step:
        x = step(static_cast<float>(v), kParameterTable[param].steps);
        break;
    case C::SquareGain:
        x = v > 0.0 ? 20.0 * std::log10(4.0 * v * v) : s.minimum;
        break;
    case C::Gain:
        x = v > 0.0 ? 20.0 * std::log10(v) : s.minimum;
        break;
    case C::DriveGain:
        x = 80.0 * std::log10(2.0) * v;
        break;
    case C::Percent:
        x = 100.0 * v;
        break;
    case C::BipolarPercent:
        x = 200.0 * (v - 0.5);
        break;
    case C::LfoRate:
        x = std::pow(16.0, v) - 1.0;
        break;
    case C::Degrees:
        x = 180.0 * (v - 0.5);
        break;
    case C::Cutoff:
        x = 64.0 * std::exp2(8.0 * v) - 14.0;
        break;
    case C::Tenfold:
        x = 10.0 * v;
        break;
    case C::Ratio:
        x = std::exp2(2.0 * v - 1.0);
        break;
    case C::EnvelopeSpeed:
        x = 100.0 + 900.0 * v;
        break;
    case C::DelayTime:
        x = v * static_cast<double>(rangeMs);
        break;
    }
    return static_cast<float>(
        std::clamp(x, static_cast<double>(s.minimum), static_cast<double>(s.maximum)));
}

float fromUnits(int param, float units, float rangeMs) noexcept {
    const UnitScale& s = unitScale(param);
    if (!(units == units)) return 0.0f; // NaN
    const double x = std::clamp(static_cast<double>(units), static_cast<double>(s.minimum),
                                static_cast<double>(s.maximum));
    double v = 0.0;
    switch (s.curve) {
    case C::Step: {
        const int steps = kParameterTable[param].steps;
        const int i = std::clamp(static_cast<int>(std::lround(x)), 0, steps - 1);
        // A switch as 0 or 1, a choice as the centre of its step: both are the step itself.
        if (steps == 2) return static_cast<float>(i);
        return centre(i, steps);
    }
    case C::SquareGain:
        v = x <= s.minimum ? 0.0 : std::sqrt(std::pow(10.0, x / 20.0) / 4.0);
        break;
    case C::Gain:
        v = x <= s.minimum ? 0.0 : std::pow(10.0, x / 20.0);
        break;
    case C::DriveGain:
        v = x / (80.0 * std::log10(2.0));
        break;
    case C::Percent:
        v = x / 100.0;
        break;
    case C::BipolarPercent:
        v = x / 200.0 + 0.5;
        break;
    case C::LfoRate:
        // Everything below the lowest rate plays at it.
        v = x <= s.minimum ? 0.0 : std::log2(x + 1.0) / 4.0;
        break;
    case C::Degrees:
        v = x / 180.0 + 0.5;
        break;
    case C::Cutoff:
        // Everything from the highest cutoff up plays at it.
        v = x >= s.maximum ? 1.0 : std::log2((x + 14.0) / 64.0) / 8.0;
        break;
    case C::Tenfold:
        v = x / 10.0;
        break;
    case C::Ratio:
        v = (std::log2(x) + 1.0) / 2.0;
        break;
    case C::EnvelopeSpeed:
        v = (x - 100.0) / 900.0;
        break;
    case C::DelayTime:
        v = rangeMs > 0.0f ? x / static_cast<double>(rangeMs) : 0.0;
        break;
    }
    return static_cast<float>(clamp01(v));
}
