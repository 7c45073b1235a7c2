// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DenormalGuard.h"

#include <gtest/gtest.h>

#if defined(__SSE__) || defined(__x86_64__)
TEST(DenormalGuard, FlushesInsideAndRestoresTheHostsFlags) {
    const unsigned before = _mm_getcsr();
    {
        DenormalGuard guard;
        const unsigned inside = _mm_getcsr();
        EXPECT_EQ(inside & DenormalGuard::kFlushToZero, DenormalGuard::kFlushToZero);
        EXPECT_EQ(inside & DenormalGuard::kDenormalsAreZero, DenormalGuard::kDenormalsAreZero);
        volatile float tiny = 1e-30f;
        volatile float product = tiny * 1e-10f;
        EXPECT_EQ(product, 0.0f) << "a denormal result must be flushed to zero";
    }
    EXPECT_EQ(_mm_getcsr(), before) << "the host's floating-point flags must come back";

    // A host that flushes already keeps its flags, whatever the block raises meanwhile.
    const unsigned flushing =
        before | DenormalGuard::kFlushToZero | DenormalGuard::kDenormalsAreZero;
    _mm_setcsr(flushing);
    {
        DenormalGuard guard;
        volatile float third = 1.0f / 3.0f; // raises the inexact flag
        (void)third;
        EXPECT_EQ(_mm_getcsr() & flushing, flushing);
    }
    constexpr unsigned kControl = 0xFFC0; // the flags apart from the raised exceptions
    EXPECT_EQ(_mm_getcsr() & kControl, flushing & kControl);
    _mm_setcsr(before);
}
#endif
