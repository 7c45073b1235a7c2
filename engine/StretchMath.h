// SPDX-License-Identifier: GPL-3.0-or-later
// Four samples at a time: the vector type the block-wise shapes of the chain compute in, and
// the small steps they share. Each lane computes exactly what the one-sample formula
// computes (the same operations in the same order, no fused multiply-add).
#pragma once

#include "engine/PerSample.h"

#include <cstring>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace stretchmath {

using Quad = float __attribute__((vector_size(16)));
using DoubleQuad = double __attribute__((vector_size(32)));

TESSEL_PER_SAMPLE Quad loadQuad(const float* p) noexcept {
    Quad v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

TESSEL_PER_SAMPLE void storeQuad(float* p, Quad v) noexcept {
    std::memcpy(p, &v, sizeof v);
}

// n floats from src to dst, four at a time: the stretches' short copies stay inline.
TESSEL_PER_SAMPLE void copyFloats(float* dst, const float* src, int n) noexcept {
    int i = 0;
    for (; i + 4 <= n; i += 4) storeQuad(dst + i, loadQuad(src + i));
    for (; i < n; ++i) dst[i] = src[i];
}

// Each lane's larger and smaller value, b where either is not a number: one instruction
// each on SSE, where the comparison and selection are exactly what it does.
TESSEL_PER_SAMPLE Quad maxQuad(Quad a, Quad b) noexcept {
#if defined(__SSE__)
    return _mm_max_ps(a, b);
#else
    return a > b ? a : b;
#endif
}
TESSEL_PER_SAMPLE Quad minQuad(Quad a, Quad b) noexcept {
#if defined(__SSE__)
    return _mm_min_ps(a, b);
#else
    return a < b ? a : b;
#endif
}

// Four consecutive samples' values of a settled smoother, the first sample even or odd.
TESSEL_PER_SAMPLE Quad alternating(float even, float odd, int parity) noexcept {
    return parity == 0 ? Quad{even, odd, even, odd} : Quad{odd, even, odd, even};
}

// The Catmull-Rom spline through h[j .. j + 3] at fraction f for each j of four consecutive
// ones, with the arithmetic of CatmullRom in each lane.
TESSEL_PER_SAMPLE Quad catmullRomQuad(const float* h, float f) noexcept {
    const Quad h0 = loadQuad(h), h1 = loadQuad(h + 1), h2 = loadQuad(h + 2), h3 = loadQuad(h + 3);
    const Quad twoH1 = 2.0f * h1;
    const Quad c1 = h2 - h0;
    const Quad c2 = 2.0f * h0 - 5.0f * h1 + 4.0f * h2 - h3;
    const Quad c3 = h3 - 3.0f * h2 + 3.0f * h1 - h0;
    return 0.5f * (twoH1 + f * (c1 + f * (c2 + f * c3)));
}

} // namespace stretchmath
