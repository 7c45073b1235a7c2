// SPDX-License-Identifier: GPL-3.0-or-later
// What the block functions of the chain share (SignalPath.cpp, BlockwiseChain.cpp,
// Silence.cpp): the working values read once per block, and the steps that every shape of
// the chain takes the same way.
#pragma once

#include "engine/Drell.h"
#include "engine/PerSample.h"
#include "engine/SidePair.h"

#include <algorithm>

namespace chainblock {

// What enters the chain is held to +-1000 (+60 dBFS), far above any real signal and far
// below anything a recursive state could overflow from.
inline constexpr float kMaxInput = 1000.0f;

// Each side's sample, or 0 where it is not a finite number (x - x is 0 only when finite).
TESSEL_PER_SAMPLE FloatPair finiteOrZero(float l, float r) noexcept {
    const FloatPair x = {l, r};
    return x - x == 0.0f ? x : FloatPair{0.0f, 0.0f};
}

// Each side held to +-kMaxInput.
TESSEL_PER_SAMPLE FloatPair limitInput(FloatPair x) noexcept {
    x = x > kMaxInput ? kMaxInput : x;
    return x < -kMaxInput ? -kMaxInput : x;
}

// The product of each side in double precision, values too small to matter turned into
// exact zero.
TESSEL_PER_SAMPLE FloatPair flushedProduct(const float x[2], float gainL, float gainR) noexcept {
    const DoublePair p =
        __builtin_convertvector(loadPair(x), DoublePair) * DoublePair{gainL, gainR};
    return __builtin_convertvector((p + 1e-18) - 1e-18, FloatPair);
}

} // namespace chainblock

// The memories' write positions at the start of a block, for the silence watch.
struct Drell::QuietWatch {
    int delayWrite[2];
    int reverbWrite;
};

// Working values that hold for one block, read once in its prologue.
struct Drell::BlockSettings {
    alignas(16) float glide[kSmoothedLanes]; // smoothGain * target of each smoothed pair
    float smoothPole;
    // Whether every smoothed pair has settled: with the guard alternating, each then repeats
    // with a period of two samples, holding settledValues[0] in the block's even samples
    // and settledValues[1] in its odd ones.
    bool settled;
    alignas(16) float settledValues[2][kSmoothedLanes];
    bool clocked;
    int filter; // FilterPlacement
    int filterType;
    bool driveOn;
    bool modOn;
    bool reverbOn;
    bool reverbOnOutput;
    bool bypass;
    bool fading; // a delay-time fade runs or may start in this block
    float fbSign[2];
    float dlySign[2];
    float vcoManual;
    float rvbAmt;
    float dspRate;
    float cutoffCeiling;
    // Envelope and smoothing coefficients, wave and rate; the sample fills in the rest.
    ModulationSettings modulation;
};

TESSEL_PER_SAMPLE void Drell::meterInput(ChainState& c, float xL, float xR) noexcept {
    float* const ring[2] = {meterRing[0].data(), meterRing[1].data()};
    ring[0][c.meterPos] = xL;
    ring[1][c.meterPos] = xR;
    if (++c.meterPos == meterLen) c.meterPos = 0;
    // The value written meterLen samples ago moves the extremes.
    for (int s = 0; s < 2; ++s) {
        const float v = ring[s][c.meterPos];
        c.meterHigh[s] = std::max(c.meterHigh[s], v);
        c.meterLow[s] = std::min(c.meterLow[s], v);
    }
}
