// SPDX-License-Identifier: GPL-3.0-or-later
// Two values as one vector, so that a stage runs both with single instructions: mostly the
// left and right side, elsewhere two lines of one network (the reverb names its lanes). Each
// lane computes exactly what the one-lane formula computes (the same operations in the same
// order, no fused multiply-add), so the results keep every bit.
#pragma once

#include "engine/PerSample.h"

#include <cstring>

using FloatPair = float __attribute__((vector_size(8)));
using DoublePair = double __attribute__((vector_size(16)));

TESSEL_PER_SAMPLE FloatPair loadPair(const float p[2]) noexcept {
    FloatPair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

TESSEL_PER_SAMPLE void storePair(float p[2], FloatPair v) noexcept {
    std::memcpy(p, &v, sizeof v);
}

// (x + 1e-18) - 1e-18 in each lane (of a pair, or of four lanes): values too small to
// matter become exact zero.
template <typename Lanes>
TESSEL_PER_SAMPLE Lanes flushed(Lanes x) noexcept {
    return (x + 1e-18f) - 1e-18f;
}

// Each lane widened to double, or rounded to float: exact per-lane conversions.
TESSEL_PER_SAMPLE DoublePair toDouble(FloatPair x) noexcept {
    return __builtin_convertvector(x, DoublePair);
}

TESSEL_PER_SAMPLE FloatPair toFloat(DoublePair x) noexcept {
    return __builtin_convertvector(x, FloatPair);
}
