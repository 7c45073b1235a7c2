// SPDX-License-Identifier: GPL-3.0-or-later
// The fast maths proved against the standard library over the ranges the engine uses them on.
#include "engine/FastMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

float fromBits(std::uint32_t bits) {
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

std::uint32_t toBits(float x) {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

constexpr double kMaxRelativeError = 1.2e-7; // one float ulp is 1.19e-7 at worst

// Walks the floats of [lo, hi] (both positive) through their bit patterns with a stride,
// returning the largest relative error of fast against the double-precision reference.
template <typename Fast, typename Exact>
double worstOver(float lo, float hi, std::uint32_t stride, Fast fast, Exact exact) {
    double worst = 0.0;
    for (std::uint32_t b = toBits(lo); b <= toBits(hi); b += stride) {
        const float x = fromBits(b);
        const double ref = exact(static_cast<double>(x));
        const double err = std::fabs(static_cast<double>(fast(x)) - ref) / std::fabs(ref);
        if (err > worst) worst = err;
    }
    return worst;
}

} // namespace

TEST(FastMath, Exp2WithinAnUlpOverItsWholeRange) {
    double worst = 0.0;
    for (int i = -1250000; i <= 1250000; ++i) {
        const float x = static_cast<float>(i) * 1e-4f + 3.7e-6f;
        const double ref = std::exp2(static_cast<double>(x));
        worst = std::max(worst, std::fabs(fastmath::exp2(x) - ref) / ref);
    }
    EXPECT_LT(worst, kMaxRelativeError) << "filter factor exponents in [-125, 125]";
}

TEST(FastMath, Exp2IsExactAtIntegersAndSafeBeyondItsRange) {
    EXPECT_EQ(fastmath::exp2(0.0f), 1.0f) << "a zero exponent must give a factor of exactly 1";
    EXPECT_EQ(fastmath::exp2(-0.0f), 1.0f);
    for (int n = -125; n <= 125; ++n)
        EXPECT_EQ(fastmath::exp2(static_cast<float>(n)), std::ldexp(1.0f, n)) << "2^" << n;
    EXPECT_EQ(fastmath::exp2(1e9f), std::ldexp(1.0f, 125));
    EXPECT_EQ(fastmath::exp2(-std::numeric_limits<float>::infinity()), std::ldexp(1.0f, -125));
    EXPECT_EQ(fastmath::exp2(std::numeric_limits<float>::quiet_NaN()), 1.0f);
}

TEST(FastMath, Exp2OfPairsAndQuadsMatchesExp2LaneForLane) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float special[] = {0.0f,   -0.0f,  1.0f, -3.75f, 124.9f, -125.0f,
                             126.0f, -1e30f, inf,  -inf,   nan};
    for (float x : special) {
        const FloatPair y = fastmath::exp2(FloatPair{x, -x});
        EXPECT_EQ(toBits(y[0]), toBits(fastmath::exp2(x))) << "left lane at " << x;
        EXPECT_EQ(toBits(y[1]), toBits(fastmath::exp2(-x))) << "right lane at " << -x;
        const fastmath::FloatQuad q = fastmath::exp2(fastmath::FloatQuad{x, -x, 0.5f * x, 1.0f});
        EXPECT_EQ(toBits(q[0]), toBits(fastmath::exp2(x))) << "first of four at " << x;
        EXPECT_EQ(toBits(q[1]), toBits(fastmath::exp2(-x))) << "second of four at " << -x;
        EXPECT_EQ(toBits(q[2]), toBits(fastmath::exp2(0.5f * x))) << "third of four";
        EXPECT_EQ(q[3], 2.0f);
    }
    // Every 4099th float between -130 and 130 in the left lane, its half in the right.
    for (std::uint32_t b = 0; b <= toBits(130.0f); b += 4099) {
        const float x = fromBits(b);
        for (float v : {x, -x}) {
            const FloatPair y = fastmath::exp2(FloatPair{v, 0.5f * v});
            ASSERT_EQ(toBits(y[0]), toBits(fastmath::exp2(v))) << "left lane at " << v;
            ASSERT_EQ(toBits(y[1]), toBits(fastmath::exp2(0.5f * v)))
                << "right lane at " << 0.5f * v;
            const fastmath::FloatQuad q = fastmath::exp2(fastmath::FloatQuad{0.0f, v, 1.0f, -v});
            ASSERT_EQ(toBits(q[1]), toBits(fastmath::exp2(v))) << "second of four at " << v;
            ASSERT_EQ(toBits(q[3]), toBits(fastmath::exp2(-v))) << "fourth of four at " << -v;
        }
    }
}

TEST(FastMath, SineWithinAnUlpUpToHalfPi) {
    auto fast = [](float x) { return fastmath::sinHalfPi(x); };
    auto exact = [](double x) { return std::sin(x); };
    EXPECT_LT(worstOver(1e-20f, 1.5707963f, 67, fast, exact), kMaxRelativeError);
    EXPECT_EQ(fastmath::sinHalfPi(0.0f), 0.0f);
    EXPECT_EQ(fastmath::sinHalfPi(-0.25f), -fastmath::sinHalfPi(0.25f));
    EXPECT_EQ(fastmath::sinHalfPi(100.0f), 1.0f) << "arguments beyond pi/2 are clamped";
    EXPECT_EQ(fastmath::sinHalfPi(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST(FastMath, FourthRootWithinAnUlpOverTheResonanceRange) {
    auto fast = [](float x) { return fastmath::fourthRoot(x); };
    auto exact = [](double x) { return std::pow(x, 0.25); };
    EXPECT_LT(worstOver(1e-6f, 1.0f, 29, fast, exact), kMaxRelativeError);
    EXPECT_EQ(fastmath::fourthRoot(1.0f), 1.0f);
    EXPECT_EQ(fastmath::fourthRoot(0.0f), 0.0f);
    EXPECT_EQ(fastmath::fourthRoot(-1.0f), 0.0f);
}

TEST(FastMath, FlushZeroesOnlyNegligibleValues) {
    const FloatPair zeroed = flushed(FloatPair{1e-30f, -1e-38f});
    EXPECT_EQ(zeroed[0], 0.0f);
    EXPECT_EQ(zeroed[1], 0.0f);
    const FloatPair kept = flushed(FloatPair{0.5f, 1e-20f});
    EXPECT_EQ(kept[0], 0.5f);
    EXPECT_NEAR(kept[1], 1e-20f, 2e-25f);
    EXPECT_TRUE(fastmath::isNormalOrZero(0.0f));
    EXPECT_TRUE(fastmath::isNormalOrZero(-1.0f));
    EXPECT_FALSE(fastmath::isNormalOrZero(1e-40f));
    EXPECT_FALSE(fastmath::isNormalOrZero(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(fastmath::isNormalOrZero(std::numeric_limits<float>::quiet_NaN()));
}
