// SPDX-License-Identifier: GPL-3.0-or-later
// The two questions the effect asks of every recursive state after a block: is it still a
// number (else the sound restarts clean), and how loud is it (silence begins when nothing
// is). Each stage answers them for its own states with these.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace statecheck {

// Whether every value is a finite number: one whose exponent bits are not all set. Integer
// tests, which do not wait on one another, so that the check ends a block cheaply.
inline bool allFinite(std::span<const float> values) noexcept {
    std::uint32_t faulty = 0;
    for (const float x : values) {
        const std::uint32_t exponent = std::bit_cast<std::uint32_t>(x) & 0x7F800000u;
        faulty |= exponent == 0x7F800000u ? 1u : 0u;
    }
    return faulty == 0;
}
inline bool allFinite(std::initializer_list<float> values) noexcept {
    return allFinite(std::span<const float>(values.begin(), values.size()));
}

// The largest magnitude among the values; NaN counts as loud.
inline float peak(std::span<const float> values) noexcept {
    float high = 0.0f;
    for (const float x : values) {
        const float magnitude = std::fabs(x);
        if (!(magnitude <= high)) high = magnitude;
    }
    return high == high ? high : 1.0f;
}
inline float peak(std::initializer_list<float> values) noexcept {
    return peak(std::span<const float>(values.begin(), values.size()));
}

} // namespace statecheck
