// Spring and plate reverb sharing sixteen delay memories, ending in a band-pass tone filter
// and a crossfade between the reverb input and the filtered reverb.
#pragma once

#include "engine/Relaxed.h"

#include <vector>

class Reverb {
public:
    // Sizes the sixteen memories for the sample rate (not real-time safe: constructor and
    // resume only). Leaves them zeroed.
    void allocate(float dspRate);
    // Tap positions and tone filter for the type at the present rate; the caller holds the
    // engine lock. The memories keep their contents.
    void setType(int rvbType, float dspRate) noexcept;
    // Decay, coupling and damping coefficients from rvbDamp for the type (no lock needed).
    void setDamp(float rvbDamp, int rvbType) noexcept;
    // Clears memories, damping states and tone filter states.
    void reset() noexcept;
    // One sample: w[0], w[1] hold the reverb input and receive the output.
    void process(float w[2], float rvbAmt) noexcept;

    int rvbMask = 32767;
    int rvbType = 0;
    std::vector<float> memory[16]; // rvbA[0..5], rvbB[0..5], rvbC[0..3]
    float rvbScale = 0.0f;
    Relaxed<float> rvbG{0.0f};
    Relaxed<float> rvbH{0.0f};
    Relaxed<float> rvbDampCoef{1.0f};
};
