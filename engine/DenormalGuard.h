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

    // Writing the flags stalls the processor, so a host that already flushes is left as it is
    // (the exception flags the block raises then stay raised, as the host's own work raises
    // them).
    DenormalGuard() noexcept : saved(_mm_getcsr()) {
        const unsigned flushing = saved | kFlushToZero | kDenormalsAreZero;
        changed = flushing != saved;
        if (changed) _mm_setcsr(flushing);
    }
    ~DenormalGuard() {
        if (changed) _mm_setcsr(saved);
    }

private:
    unsigned saved;
    bool changed;
#else
    DenormalGuard() noexcept = default; // other targets rely on the explicit flush steps
#endif

public:
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;
};
