// Marks the per-sample steps of the chain and its stages: they are folded into the block loop
// so that the compiler sees the whole chain at once (states stay in registers, the stages'
// constants are loaded once per block).
#pragma once

#if defined(__GNUC__)
#define TESSEL_PER_SAMPLE [[gnu::always_inline]] inline
#else
#define TESSEL_PER_SAMPLE inline
#endif
