// SPDX-License-Identifier: GPL-3.0-or-later
// Fast evaluations of the transcendental functions that the stages need once per sample, and
// the test that keeps recursive states out of the denormal range (the flush itself is
// flushed in SidePair.h).
//
// Each function evaluates its polynomial in double precision and rounds once to float, so the
// result stays within about one float ulp of the correctly rounded value over the range it is
// used on (the tests check it against the standard library over those ranges):
// - exp2:      2^x for |x| <= 125 (argument reduction to [-0.5, 0.5], degree-7 series;
//              truncation error below 6e-9 relative, far below float's 6e-8 half ulp).
// - sinHalfPi: sin(x) for |x| <= pi/2 (odd series up to x^13; truncation error below 7e-10).
// - fourthRoot: x^0.25 as two correctly rounded square roots (at most about 0.75 ulp).
#pragma once

#include "engine/SidePair.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace fastmath {

// True for zero and normal floats; false for denormals, infinities and NaN.
inline bool isNormalOrZero(float x) noexcept {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const std::uint32_t exponent = bits & 0x7F800000u;
    return exponent != 0x7F800000u && (exponent != 0u || (bits & 0x007FFFFFu) == 0u);
}

// 2^f for f in [-0.5, 0.5] as e^(f ln 2): Taylor coefficients ln2^k / k!, evaluated in
// Estrin form; T is a double or a pair of doubles, with the same arithmetic in each lane.
template <typename T>
inline T exp2Fraction(T f) noexcept {
    constexpr double c1 = 0.69314718055994530942;
    constexpr double c2 = 0.24022650695910071233;
    constexpr double c3 = 0.05550410866482157995;
    constexpr double c4 = 0.00961812910762847716;
    constexpr double c5 = 0.00133335581464284434;
    constexpr double c6 = 0.00015403530393381609;
    constexpr double c7 = 0.00001525273380405984;
    const T f2 = f * f;
    const T f4 = f2 * f2;
    return (1.0 + c1 * f) + f2 * (c2 + c3 * f) + f4 * ((c4 + c5 * f) + f2 * (c6 + c7 * f));
}

// 2^x. Arguments beyond +-125 are clamped there (the result stays a normal float); NaN gives 1.
// Exact for integer x, so 2^0 is exactly 1.
inline float exp2(float x) noexcept {
    constexpr float kLimit = 125.0f;
    if (!(std::fabs(x) <= kLimit)) x = x > 0.0f ? kLimit : (x < 0.0f ? -kLimit : 0.0f);
    // Round to the nearest integer with the 1.5 * 2^23 trick (valid for |x| < 2^22).
    constexpr float kRound = 12582912.0f;
    const float nearest = (x + kRound) - kRound;
    const int n = static_cast<int>(nearest);
    const double f = static_cast<double>(x - nearest); // exact, in [-0.5, 0.5]
    const double p = exp2Fraction(f);
    const std::uint32_t scaleBits = static_cast<std::uint32_t>(n + 127) << 23;
    float scale;
    std::memcpy(&scale, &scaleBits, sizeof scale);
    return static_cast<float>(p) * scale; // exact scaling by a power of two
}

// 2^f of each lane of a vector of fractions, exp2Fraction in double precision.
inline FloatPair exp2FractionLanes(FloatPair f) noexcept {
    return __builtin_convertvector(exp2Fraction(__builtin_convertvector(f, DoublePair)), FloatPair);
}
using FloatQuad = float __attribute__((vector_size(16)));
inline FloatQuad exp2FractionLanes(FloatQuad f) noexcept {
    const FloatPair low = exp2FractionLanes(FloatPair(__builtin_shufflevector(f, f, 0, 1)));
    const FloatPair high = exp2FractionLanes(FloatPair(__builtin_shufflevector(f, f, 2, 3)));
    return __builtin_shufflevector(low, high, 0, 1, 2, 3);
}

// The integer vector of a float vector's size.
template <typename Lanes>
struct IntLanes;
template <>
struct IntLanes<FloatPair> {
    using type = std::int32_t __attribute__((vector_size(8)));
};
template <>
struct IntLanes<FloatQuad> {
    using type = std::int32_t __attribute__((vector_size(16)));
};

// exp2 of each lane of a pair or quad, with exp2's arithmetic in each lane (the same
// results, bit for bit).
template <typename Lanes>
inline Lanes exp2(Lanes x) noexcept {
    using Ints = typename IntLanes<Lanes>::type;
    constexpr float kLimit = 125.0f;
    const Lanes zero = {};
    const Lanes limit = zero + kLimit;
    const Lanes magnitude = reinterpret_cast<Lanes>(reinterpret_cast<Ints>(x) & 0x7FFFFFFF);
    const Lanes held = x > 0.0f ? limit : (x < 0.0f ? -limit : zero);
    x = magnitude <= kLimit ? x : held;
    constexpr float kRound = 12582912.0f;
    const Lanes nearest = (x + kRound) - kRound;
    const Ints n = __builtin_convertvector(nearest, Ints);
    const Lanes scale = reinterpret_cast<Lanes>((n + 127) << 23);
    return exp2FractionLanes(x - nearest) * scale;
}

// sin(x) for |x| <= pi/2; arguments beyond are clamped to +-pi/2, NaN gives 0.
inline float sinHalfPi(float x) noexcept {
    constexpr float kHalfPi = 1.57079637f;
    if (!(std::fabs(x) <= kHalfPi)) x = x > 0.0f ? kHalfPi : (x < 0.0f ? -kHalfPi : 0.0f);
    const double xd = x;
    const double y = xd * xd;
    constexpr double s3 = -1.0 / 6.0;
    constexpr double s5 = 1.0 / 120.0;
    constexpr double s7 = -1.0 / 5040.0;
    constexpr double s9 = 1.0 / 362880.0;
    constexpr double s11 = -1.0 / 39916800.0;
    constexpr double s13 = 1.0 / 6227020800.0;
    const double y2 = y * y;
    const double y4 = y2 * y2;
    const double p = (1.0 + s3 * y) + y2 * (s5 + s7 * y) + y4 * ((s9 + s11 * y) + y2 * s13);
    return static_cast<float>(xd * p);
}

// x^0.25 for x >= 0; negative or NaN arguments give 0.
inline float fourthRoot(float x) noexcept {
    if (!(x > 0.0f)) return 0.0f;
    return std::sqrt(std::sqrt(x));
}

} // namespace fastmath
