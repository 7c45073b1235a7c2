// SPDX-License-Identifier: GPL-3.0-or-later
// Scoped flush-to-zero and denormals-are-zero for one audio block: recursive states that
// decay towards zero never reach the slow denormal range. The host's flags come back when
// the guard goes out of scope.
#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

class DenormalGuard {
public:
#if defined(__SSE__) || defined(__x86_64__)
    static constexpr unsigned kFlushToZero = 0x8000;      // MXCSR FTZ
    static constexpr unsigned kDenormalsAreZero = 0x0040; // MXCSR DAZ

    DenormalGuard() noexcept : saved(_mm_getcsr()) {
        _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
    }
    ~DenormalGuard() {
        _mm_setcsr(saved);
    }

private:
    unsigned saved;
#else
    DenormalGuard() noexcept = default; // other targets rely on the explicit flush steps
#endif

public:
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;
};
