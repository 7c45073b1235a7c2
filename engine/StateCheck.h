// SPDX-License-Identifier: GPL-3.0-or-later
// The questions the effect asks of its signals and recursive states: is every value still a
// number (else the sound restarts clean), and how loud is the loudest (silence begins when
// nothing is heard). Each stage answers them for its own states with these.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>

namespace statecheck {

namespace detail {

class FiniteTest {
public:
    // An exponent with every bit set carries into the sign bit.
    void add(float value) noexcept {
        loose |= (std::bit_cast<std::uint32_t>(value) & kExponent) + kExponentCarry;
    }
    template <std::size_t N>
    void add(const float (&values)[N]) noexcept {
        add(std::span<const float>(values));
    }
    void add(std::span<const float> values) noexcept {
        const float* p = values.data();
        const int n = static_cast<int>(values.size());
        int i = 0;
        for (; i + 4 <= n; i += 4) {
            Bits v;
            std::memcpy(&v, p + i, sizeof v);
            quads |= (v & kExponent) == kExponent;
        }
        for (; i < n; ++i) add(p[i]);
    }
    bool passed() const noexcept {
        return (quads[0] | quads[1] | quads[2] | quads[3]) == 0 && (loose & kCarried) == 0;
    }

private:
    using Bits = std::uint32_t __attribute__((vector_size(16)));
    using Mask = std::int32_t __attribute__((vector_size(16)));
    static constexpr std::uint32_t kExponent = 0x7F800000u;
    static constexpr std::uint32_t kExponentCarry = 0x00800000u;
    static constexpr std::uint32_t kCarried = 0x80000000u;
    Mask quads = {};
    std::uint32_t loose = 0;
};

} // namespace detail

// Whether every value is a finite number: one whose exponent bits are not all set. Takes
// any mix of single values and runs of them, and tests all of them before it answers, four
// at a time with integer tests that do not wait on one another, so that the check ends a
// block cheaply.
template <typename... Values>
bool allFinite(const Values&... values) noexcept {
    detail::FiniteTest test;
    (test.add(values), ...);
    return test.passed();
}

// The largest magnitude among the values, four at a time; NaN counts as loud.
inline float peak(std::span<const float> values) noexcept {
    using Quad = float __attribute__((vector_size(16)));
    const float* p = values.data();
    const int n = static_cast<int>(values.size());
    Quad high = {};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        Quad v;
        std::memcpy(&v, p + i, sizeof v);
        v = v < 0.0f ? -v : v;
        high = v > high || v != v ? v : high;
    }
    float result = std::max({high[0], high[1], high[2], high[3]});
    for (; i < n; ++i) {
        const float v = std::fabs(p[i]);
        if (!(v <= result)) result = v;
    }
    return result != result ? 1.0f : result;
}
inline float peak(std::initializer_list<float> values) noexcept {
    return peak(std::span<const float>(values.begin(), values.size()));
}

// The largest magnitude among count positions of a ring of length len from position from.
inline float ringPeak(const float* ring, int len, int from, int count) noexcept {
    const int first = std::min(count, len - from);
    return std::max(peak({ring + from, static_cast<std::size_t>(first)}),
                    peak({ring, static_cast<std::size_t>(count - first)}));
}

// Whether every value's magnitude is at most level; NaN counts as quiet (the chain makes
// silence of it). Each 64 values (fewer at the end, in steps of 8) against the level, so a
// block with sound stops at its first loud stretch, mostly at its first value. The bits of a
// stretch's values ORed together, signs aside, are no smaller than those of its largest
// magnitude, so a stretch of exact zeros or of values far below the level passes on that
// alone; others take their largest magnitude.
inline bool isQuiet(std::span<const float> values, float level) noexcept {
    using Bits = std::uint32_t __attribute__((vector_size(16)));
    using Quad = float __attribute__((vector_size(16)));
    const float* in = values.data();
    const int n = static_cast<int>(values.size());
    const std::uint32_t levelBits = std::bit_cast<std::uint32_t>(level);
    if (n > 0 && std::fabs(in[0]) > level) return false;
    int i = 0;
    while (i + 8 <= n) {
        const int end = std::min(n, i + 64) & ~7;
        Bits any[2] = {};
        for (int j = i; j < end; j += 8) {
            for (int k = 0; k < 2; ++k) {
                Bits v;
                std::memcpy(&v, in + j + 4 * k, sizeof v);
                any[k] |= v;
            }
        }
        const Bits both = (any[0] | any[1]) & 0x7FFFFFFFu;
        if ((both[0] | both[1] | both[2] | both[3]) <= levelBits) {
            i = end;
            continue;
        }
        Quad high[2] = {};
        for (; i < end; i += 8) {
            for (int k = 0; k < 2; ++k) {
                Bits v;
                std::memcpy(&v, in + i + 4 * k, sizeof v);
                v &= 0x7FFFFFFFu;
                Quad magnitude;
                std::memcpy(&magnitude, &v, sizeof magnitude);
                high[k] = magnitude > high[k] ? magnitude : high[k];
            }
        }
        const Quad top = high[0] > high[1] ? high[0] : high[1];
        if (std::max({top[0], top[1], top[2], top[3]}) > level) return false;
    }
    for (; i < n; ++i)
        if (std::fabs(in[i]) > level) return false;
    return true;
}

} // namespace statecheck
