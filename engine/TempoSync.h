// SPDX-License-Identifier: GPL-3.0-or-later
// Tempo-synchronised times and rates: the tempo range the engine follows, the note values
// the delay lines and the LFO can take, and the formulas from a note value and a tempo to a
// delay time or an LFO rate. Every part of the engine that converts between notes and time
// uses these.
#pragma once

#include <cmath>

namespace temposync {

// Tempi the engine follows, in beats per minute; the engine's own tempo starts at 120.
inline constexpr float kMinTempoBpm = 30.0f;
inline constexpr float kMaxTempoBpm = 400.0f;
inline constexpr float kStartTempoBpm = 120.0f;

// Note values: numerators of the delay lines and of the LFO, and the denominators both use.
inline constexpr int kDelayNumerators[5] = {1, 3, 5, 7, 9};
inline constexpr int kLfoNumerators[5] = {1, 2, 3, 4, 8};
inline constexpr int kDenominators[13] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96};

// What the engine can run: delay memories hold 5000 ms; the LFO runs at 0.01..15 Hz.
inline constexpr float kMaxDelayMs = 5000.0f;
inline constexpr float kMinLfoHz = 0.01f;
inline constexpr float kMaxLfoHz = 15.0f;

// The free LFO rate of a rate value 0..1: 16^v - 1 Hz (the engine keeps it at least
// kMinLfoHz), and the value of a rate.
template <typename T>
T lfoHzOf(T value) noexcept {
    return std::pow(T(16), value) - T(1);
}
template <typename T>
T lfoValueOf(T hz) noexcept {
    return std::log(hz + T(1)) / std::log(T(16));
}

// A tempo as 0..1 over the range, and back.
inline float normOfTempo(float bpm) noexcept {
    return (bpm - kMinTempoBpm) / (kMaxTempoBpm - kMinTempoBpm);
}
inline float tempoOfNorm(float norm) noexcept {
    return kMinTempoBpm + (kMaxTempoBpm - kMinTempoBpm) * norm;
}

// The delay time of the note value numerator/denominator (table indices) at bpm, unclamped:
// num * 240000 / (den * bpm) milliseconds (a whole note lasts four beats).
inline float noteDelayMs(int numIdx, int denIdx, float bpm) noexcept {
    return static_cast<float>(kDelayNumerators[numIdx]) * 240000.0f /
           (static_cast<float>(kDenominators[denIdx]) * bpm);
}

// The LFO rate of one period per note value (table indices) at bpm, unclamped:
// den * bpm / (num * 240) Hz.
inline float noteLfoHz(int numIdx, int denIdx, float bpm) noexcept {
    return static_cast<float>(kDenominators[denIdx]) * bpm /
           (static_cast<float>(kLfoNumerators[numIdx]) * 240.0f);
}

} // namespace temposync
