// SPDX-License-Identifier: GPL-3.0-or-later
// Marks the per-sample steps of the chain and its stages: they are folded into the block loop
// so that the compiler sees the whole chain at once (states stay in registers, the stages'
// constants are loaded once per block).
#pragma once

#if defined(__GNUC__)
#define TESSEL_PER_SAMPLE [[gnu::always_inline]] inline
// The same for a lambda, placed after its parameter list.
#define TESSEL_PER_SAMPLE_LAMBDA __attribute__((always_inline))
#else
#define TESSEL_PER_SAMPLE inline
#define TESSEL_PER_SAMPLE_LAMBDA
#endif
