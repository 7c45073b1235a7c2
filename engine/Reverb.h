// Spring and plate reverb sharing sixteen delay memories, ending in a band-pass tone filter
// and a crossfade between the reverb input and the filtered reverb.
//
// Spring: a mono input feeds three cross-coupled pairs of tank lines (A), each line read
// through a damping low-pass (even lines) and an allpass (B); two allpasses per side (C)
// diffuse the output taps. Plate: four series allpass diffusers (C) feed six damped combs
// (B) whose feedback alternates in sign; the output is tapped from the comb memories.
#pragma once

#include "engine/Relaxed.h"

#include <vector>

class Reverb {
public:
    static constexpr int kSpring = 0;
    static constexpr int kPlate = 1;
    // Memory groups: rvbA[0..5], rvbB[0..5], rvbC[0..3].
    static constexpr int kLineA = 0;
    static constexpr int kLineB = 6;
    static constexpr int kLineC = 12;

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

    // Memory size in floats for a sample rate, less one (a power of two less one).
    static int maskForRate(float dspRate) noexcept;

    int rvbMask = 32767;
    int rvbType = 0;
    std::vector<float> memory[16]; // rvbA[0..5], rvbB[0..5], rvbC[0..3]
    float rvbScale = 0.0f;
    Relaxed<float> rvbG{0.0f};
    Relaxed<float> rvbH{0.0f};
    Relaxed<float> rvbDampCoef{1.0f};

    // Write indices of the A lines and of the B and C lines. Every index advances by one per
    // sample, so each read index is kept as its distance behind its write index.
    int rvbWriteA = 32767;
    int rvbWriteB = 32767;
    int rvbTrailA[6] = {1, 1, 1, 1, 1, 1};
    int rvbTrailB[6] = {1, 1, 1, 1, 1, 1};
    int rvbTrailC[4] = {1, 1, 1, 1};
    int rvbReadA(int k) const noexcept { return (rvbWriteA - rvbTrailA[k]) & rvbMask; }
    int rvbReadB(int k) const noexcept { return (rvbWriteB - rvbTrailB[k]) & rvbMask; }
    int rvbReadC(int k) const noexcept { return (rvbWriteB - rvbTrailC[k]) & rvbMask; }
    float rvbLp[6] = {};
    float toneB0 = 0.0f, toneB2 = 0.0f, toneA1 = 0.0f, toneA2 = 0.0f;
    // Per side: x1, x2, y1, y2.
    float toneState[2][4] = {};

private:
    void processSpring(float w[2], float rvbAmt) noexcept;
    void processPlate(float w[2], float rvbAmt) noexcept;
    float tone(int side, float x) noexcept;
    // Distance behind the write index of the read index trunc(rvbMask - rvbScale * k), that
    // is ceil(rvbScale * k) samples, kept inside the memory whatever the rate.
    int tapTrail(double k) const noexcept;
};
