// SPDX-License-Identifier: GPL-3.0-or-later
// What every shape of the chain shares (SignalPath.cpp, StretchChain.cpp, Silence.cpp): the
// working values read once per block, and the steps of the chain that run in more than one
// shape. A step written over a lane type runs one sample (float or a pair of sides) in the
// per-sample chain and four samples (Quad) in the block-wise one, with the same arithmetic
// in each lane, so both give the same bits.
#pragma once

#include "engine/Drell.h"
#include "engine/FastMath.h"
#include "engine/PerSample.h"
#include "engine/SidePair.h"
#include "engine/StretchMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace chainblock {

using stretchmath::Quad;

// What enters the chain is held to +-1000 (+60 dBFS), far above any real signal and far
// below anything a recursive state could overflow from.
inline constexpr float kMaxInput = 1000.0f;

// Each lane's sample, or 0 where it is not a finite number (x - x is 0 only when finite).
template <typename T>
TESSEL_PER_SAMPLE T finiteOrZero(T x) noexcept {
    return x - x == 0.0f ? x : T{};
}

// The input gain; a sample that is not a number (a host fault) counts as silence, so it
// cannot lodge in the delay and reverb memories, and a huge one is limited.
template <typename T>
TESSEL_PER_SAMPLE T gainedInput(T in, T gain) noexcept {
    T x = gain * finiteOrZero(in);
    x = x > kMaxInput ? kMaxInput : x;
    return x < -kMaxInput ? -kMaxInput : x;
}

// x times gain in double precision, values too small to matter turned into exact zero.
TESSEL_PER_SAMPLE float flushedProduct(float x, float gain) noexcept {
    const double p = static_cast<double>(x) * static_cast<double>(gain);
    return static_cast<float>((p + 1e-18) - 1e-18);
}
TESSEL_PER_SAMPLE Quad flushedProduct(Quad x, Quad gain) noexcept {
    using DoubleQuad = stretchmath::DoubleQuad;
    const DoubleQuad p =
        __builtin_convertvector(x, DoubleQuad) * __builtin_convertvector(gain, DoubleQuad);
    return __builtin_convertvector((p + 1e-18) - 1e-18, Quad);
}

// Each line's feedback: the delay output with its polarity, held to +-1 while the drive does
// not limit the loop.
template <typename T>
TESSEL_PER_SAMPLE T feedbackSignal(T y, float sign, bool limit) noexcept {
    const T f = y * sign;
    if (!limit) return f;
    const T magnitude = f < 0.0f ? -f : f;
    return magnitude > 1.0f ? f / magnitude : f;
}

// The feedback of both lines onto what enters them: each line's feedback gain (in double
// precision, values too small to matter turned into exact zero), split by its pan, which
// sends its share to the right; the rest of the sum goes left.
template <typename T>
TESSEL_PER_SAMPLE void crossPan(T fedL, T fedR, T gainL, T gainR, T panL, T panR, T& aL,
                                T& aR) noexcept {
    const T fL = flushedProduct(fedL, gainL);
    const T fR = flushedProduct(fedR, gainR);
    const T toRight = fL * panL + fR * panR;
    aR = aR + toRight;
    aL = aL + ((fR + fL) - toRight);
}

// The wet signal mixed with the dry and brought to the output gain. With the reverb on the
// output the dry signal joins before the reverb, else after it.
template <typename T, typename Reverb>
TESSEL_PER_SAMPLE T mixed(T w, T d, T wet, T outGain, bool onOutput, Reverb&& reverb) noexcept {
    const T dry = 1.0f - wet;
    w = w * wet;
    if (onOutput) w = w + dry * d;
    w = reverb(w);
    if (!onOutput) w = w + dry * d;
    return w * outGain;
}

// Frame i to the host: both sides, or their average where there is one output.
TESSEL_PER_SAMPLE void putFrame(float* const out[2], int i, float l, float r) noexcept {
    if (out[1] != nullptr) {
        out[0][i] = l;
        out[1][i] = r;
    } else {
        out[0][i] = 0.5f * r + 0.5f * l;
    }
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
    // Envelope and smoothing coefficients, wave and rate; modulationFor fills in the rest.
    ModulationSettings modulation;

    // The modulation's working values at the smoothers' values sm.
    TESSEL_PER_SAMPLE ModulationSettings modulationFor(const float* sm) const noexcept {
        ModulationSettings m = modulation;
        m.modSource = sm[sModSource];
        m.fltModDepth = sm[sFltModDepth];
        m.vcoMod = sm[sVcoMod];
        return m;
    }
    // The VCO's manual clock rate at the smoothers' values sm, before the modulation's
    // factor. Our own 2^x: as exact as the C library's, and the same on every processor.
    TESSEL_PER_SAMPLE float manualRate(const float* sm) const noexcept {
        return fastmath::exp2((1.0f - sm[sVcoMod]) * vcoManual);
    }
};

// What enters the delay lines: filter coefficients for every placement and the filter in "in"
// mode, the anti-alias low-pass of the clocked memory, and the feedback cross-panned onto the
// input. x becomes the dry tap (after the "in" filter).
template <bool Clocked, int Filter>
TESSEL_PER_SAMPLE void Drell::linesInput(ChainState& c, AntiAliasFilter::Voice& aa,
                                         const BlockSettings& b, const float* sm, float x[2],
                                         float a[2]) noexcept {
    if constexpr (Filter != kFilterOff) {
        c.svf.updateCoefficients(sm[sCutoff], sm[sResonance], c.modulation.fltFactor, b.dspRate,
                                 b.cutoffCeiling);
        if constexpr (Filter == kFilterIn) c.svf.process(x, b.filterType);
    }
    std::memcpy(a, x, 2 * sizeof(float));
    if constexpr (Clocked) aa.process(a);
    chainblock::crossPan(c.fbSignal[0], c.fbSignal[1], sm[sFbGainL], sm[sFbGainR], sm[sFbPanL],
                         sm[sFbPanR], a[0], a[1]);
}

// The envelope followers of what enters the lines, the LFO's samples, clock and cutoff factors.
TESSEL_PER_SAMPLE void Drell::modulate(ChainState& c, const BlockSettings& b, const float* sm,
                                       const float a[2], float lfoL, float lfoR,
                                       bool filterReads) noexcept {
    const float magnitude[2] = {std::fabs(a[0]), std::fabs(a[1])};
    c.modulation.processWithLfo(magnitude, b.modulationFor(sm), lfoL, lfoR, filterReads);
}

// The feedback and the wet signal from the delay outputs, through the filter in "fb" and "fx"
// modes, with their polarities.
template <int Filter>
TESSEL_PER_SAMPLE void Drell::linesOutput(ChainState& c, const BlockSettings& b, const float y[2],
                                          float w[2]) noexcept {
    float z[2] = {y[0], y[1]};
    if constexpr (Filter == kFilterFb || Filter == kFilterFx) c.svf.process(z, b.filterType);
    const float* fed = Filter == kFilterFb ? z : y;
    for (int s = 0; s < 2; ++s) {
        // Hard limit of the loop to +-1 while the drive does not limit it.
        c.fbSignal[s] = chainblock::feedbackSignal(fed[s], b.fbSign[s], !b.driveOn);
        w[s] = z[s] * b.dlySign[s];
    }
}

// The reverb, its input carrying the alternating guard.
TESSEL_PER_SAMPLE void Drell::runReverb(Reverb::Voice& rv, float w[2], float guard8,
                                        float rvbAmt) noexcept {
    w[0] = guard8 + w[0];
    w[1] = guard8 + w[1];
    rv.process(w, rvbAmt);
}
