// SPDX-License-Identifier: GPL-3.0-or-later
// Spring and plate reverb sharing sixteen delay memories, ending in a band-pass tone filter
// and a crossfade between the reverb input and the filtered reverb.
//
// Spring, as drawn:
//   in = left + right (mono)
//   tank pair p = 0, 1, 2 with lines A[2p] (even) and A[2p+1] (odd):
//     e = allpass B[2p]   (low-pass(A[2p] read))      o = allpass B[2p+1] (A[2p+1] read)
//     A[2p]   <- d_p (g (h o + e)) + in               A[2p+1] <- d_p (g o) + e
//     with decays d = 1, 0.975, 0.95
//   taps: left = A3 + A1' + A5', right = A1 + A3' + A5' (' = just written), each through
//   two allpasses (C0, C2 left; C1, C3 right), then the tone filter.
// Plate, as drawn:
//   in = left + right through four series allpass diffusers C0..C3, alternating in sign;
//   six damped combs B0..B5 fed by the diffused signal, feedback alternating in sign;
//   taps: left = B3 + B0 + B4', right = B2 + B1 + B5' (' = just written), then the tone
//   filter.
// The stages run two lines at a time as vectors; each names what its two lanes hold. The
// arithmetic is float throughout (a double version differs by less than 1e-5 over long
// renders, and converting each product to double and back cost half the stage's time).
//
// The sixteen memories lie in one pool, each line one cache line further from its
// predecessor than its own length: written at the same index, the sixteen lines then land
// in sixteen different cache sets instead of one.
//
// Clearing: reset() zeroes at once only the part of each memory that the taps of the
// present type can read before the writer has passed over it; the rest still counts as
// cleared. Each line keeps the interval of positions that hold what a cleared memory would
// hold, and a type change (which moves every tap) zeroes what its new taps would read
// outside that interval.
#pragma once

#include "engine/FastMath.h"
#include "engine/PerSample.h"
#include "engine/Relaxed.h"
#include "engine/SidePair.h"
#include "engine/StateCheck.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class Reverb {
public:
    static constexpr int kSpring = 0;
    static constexpr int kPlate = 1;
    // Memory groups: A (spring tank lines), B (spring tank allpasses, plate combs), C (spring
    // output allpasses, plate diffusers).
    static constexpr int kLineA = 0;
    static constexpr int kLineB = 6;
    static constexpr int kLineC = 12;
    static constexpr int kLines = 16;
    // Floats between one line's end and the next line's start: one cache line.
    static constexpr int kStagger = 16;

    // Sizes the memory pool for the sample rate (not real-time safe: constructor and resume
    // only). Leaves it zeroed. A zeroed pool from poolFor(dspRate) is taken over as it is
    // (the old pool comes back in it); any other is left alone and a new one is made.
    void allocate(float dspRate, std::vector<float>& zeroed);
    void allocate(float dspRate) {
        std::vector<float> none;
        allocate(dspRate, none);
    }
    // A zeroed pool for the sample rate, made where no lock is held.
    static std::vector<float> poolFor(float dspRate);
    // Tap positions and tone filter for the type at the present rate; the caller holds the
    // engine lock. The memories keep their contents; positions the new taps can read that
    // were cleared by reset() and not written since are zeroed here.
    void setType(int rvbType, float dspRate) noexcept;
    // Decay, coupling and damping coefficients from rvbDamp for the type (no lock needed).
    void setDamp(float rvbDamp, int rvbType) noexcept;
    // Clears the sound: damping and tone filter states, and the memories as far as the taps
    // can read them before they are written again (at 192 kHz at most about 1.2 MB of the
    // 8 MB pool), so it is fit for the audio thread.
    void reset() noexcept;
    // The reverb's running state (positions, damping and tone states, coefficients and the
    // lines' addresses) in a copy that a block keeps in a local, out of reach of the
    // memories' stores, and hands back afterwards with the number of samples it ran.
    struct Voice {
        float* lines[kLines];
        int rvbMask;
        int rvbType;
        int rvbWrite;
        int rvbTrailA[6];
        int rvbTrailB[6];
        int rvbTrailC[4];
        float rvbG, rvbH, rvbDampCoef;
        float rvbLp[6];
        float toneB0, toneB2, toneA1, toneA2;
        float toneState[4][2];

        // One sample: w[0], w[1] hold the reverb input and receive the output. Before the
        // memories are allocated the signal passes through untouched.
        inline void process(float w[2], float rvbAmt) noexcept;

    private:
        float* line(int k) const noexcept { return lines[k]; }
        inline void processSpring(float w[2], float rvbAmt) noexcept;
        inline void processPlate(float w[2], float rvbAmt) noexcept;
        inline FloatPair tone(FloatPair x) noexcept;
    };
    Voice voice() const noexcept;
    void take(const Voice& v, int samples) noexcept;

    // One sample, for callers outside a block (tests and tools).
    void process(float w[2], float rvbAmt) noexcept {
        Voice v = voice();
        v.process(w, rvbAmt);
        take(v, 1);
    }
    // Whether the damping and tone states are numbers, and their largest magnitude (the
    // memories are covered by what they feed).
    bool isFinite() const noexcept { return statecheck::allFinite(rvbLp, toneStates()); }
    float peak() const noexcept {
        return std::max(statecheck::peak(rvbLp), statecheck::peak(toneStates()));
    }

    // Memory size in floats for a sample rate, less one (a power of two less one).
    static int maskForRate(float dspRate) noexcept;
    // Line k of the pool (kLineA + 0 .. kLineC + 3); rvbMask + 1 floats.
    float* line(int k) noexcept { return pool.data() + static_cast<std::size_t>(k) * lineStride; }
    const float* line(int k) const noexcept {
        return pool.data() + static_cast<std::size_t>(k) * lineStride;
    }

    int rvbMask = 32767;
    int rvbType = 0;
    float rvbScale = 0.0f;
    Relaxed<float> rvbG{0.0f};
    Relaxed<float> rvbH{0.0f};
    Relaxed<float> rvbDampCoef{1.0f};

    // Write index of every line. It advances by one per sample, so each read index is kept
    // as its distance behind it.
    int rvbWrite = 32767;
    int rvbTrailA[6] = {1, 1, 1, 1, 1, 1};
    int rvbTrailB[6] = {1, 1, 1, 1, 1, 1};
    int rvbTrailC[4] = {1, 1, 1, 1};
    float rvbLp[6] = {};
    float toneB0 = 0.0f, toneB2 = 0.0f, toneA1 = 0.0f, toneA2 = 0.0f;
    // x1, x2, y1, y2, each for both sides.
    float toneState[4][2] = {};

private:
    // Coefficient of the spring's allpasses.
    static constexpr float kAllpass = 0.7071f;

    // Positions of one line that hold what a cleared memory with the later writes would
    // hold: length floats from start at the sample count mark; while the line is written
    // the interval grows with every sample, up to the whole line.
    struct CleanInterval {
        int start = 0;
        int length = 0;
        std::int64_t mark = 0;
        bool growing = true;
    };

    std::span<const float> toneStates() const noexcept { return {&toneState[0][0], 8}; }
    // Distance behind the write index of the read index trunc(rvbMask - rvbScale * k), that
    // is ceil(rvbScale * k) samples, kept inside the memory whatever the rate.
    int tapTrail(double k) const noexcept;
    // How far behind the write index the present type reads line k (0: not read).
    int farthestTap(int k) const noexcept;
    bool typeWrites(int k) const noexcept { return rvbType == kSpring || k >= kLineB; }
    int cleanLength(int k) const noexcept;

    std::vector<float> pool;
    std::size_t lineStride = 0;
    CleanInterval clean[kLines];
    std::int64_t samplesRun = 0;
};

TESSEL_PER_SAMPLE FloatPair Reverb::Voice::tone(FloatPair x) noexcept {
    const FloatPair y = toneB0 * x + toneB2 * loadPair(toneState[1]) -
                        toneA1 * loadPair(toneState[2]) - toneA2 * loadPair(toneState[3]);
    storePair(toneState[1], loadPair(toneState[0]));
    storePair(toneState[0], x);
    storePair(toneState[3], loadPair(toneState[2]));
    storePair(toneState[2], flushed(y));
    return y;
}

TESSEL_PER_SAMPLE void Reverb::Voice::process(float w[2], float rvbAmt) noexcept {
    if (lines[0] == nullptr) return;
    if (rvbType == kPlate)
        processPlate(w, rvbAmt);
    else
        processSpring(w, rvbAmt);
    rvbWrite = (rvbWrite + 1) & rvbMask;
}

TESSEL_PER_SAMPLE void Reverb::Voice::processSpring(float w[2], float rvbAmt) noexcept {
    const float g = rvbG, h = rvbH, m = rvbDampCoef;
    float* a[6];
    float* b[6];
    float* c[4];
    for (int k = 0; k < 6; ++k) a[k] = line(kLineA + k);
    for (int k = 0; k < 6; ++k) b[k] = line(kLineB + k);
    for (int k = 0; k < 4; ++k) c[k] = line(kLineC + k);
    const int wr = rvbWrite, mask = rvbMask;
    auto readA = [&](int line, int k)
                     TESSEL_PER_SAMPLE_LAMBDA { return a[line][(wr - rvbTrailA[k]) & mask]; };
    auto readB = [&](int k) TESSEL_PER_SAMPLE_LAMBDA { return b[k][(wr - rvbTrailB[k]) & mask]; };
    auto readC = [&](int k) TESSEL_PER_SAMPLE_LAMBDA { return c[k][(wr - rvbTrailC[k]) & mask]; };
    // An allpass of coefficient 0.7071 on two memories at once: returns x - 0.7071 * in and
    // writes 0.7071 * that + in at the write index.
    auto allpass = [&](float* const line[2], FloatPair x, FloatPair in) TESSEL_PER_SAMPLE_LAMBDA {
        const FloatPair v = x - kAllpass * in;
        const FloatPair written = kAllpass * v + in;
        line[0][wr] = written[0];
        line[1][wr] = written[1];
        return v;
    };
    const float rL = w[0], rR = w[1];

    // Each tank pair's lines as the lanes (even line, odd line): the even line read through
    // the damping low-pass, the odd one plain, then both through their allpasses.
    FloatPair pair[3];
    for (int k = 0; k < 3; ++k) {
        const int even = 2 * k, odd = even + 1;
        const FloatPair read = {rvbLp[even] + (readA(even, even) - rvbLp[even]) * m,
                                readA(odd, odd)};
        storePair(rvbLp + even, read);
        pair[k] = allpass(b + even, FloatPair{readB(even), readB(odd)}, read);
    }
    // Each pair crosses its lines and writes them back, the mono input joining the even line.
    const float in = rR + rL;
    // Pair 0, at full decay.
    const float a0 = (pair[0][1] * h + pair[0][0]) * g + in;
    const float a1 = pair[0][1] * g + pair[0][0];
    // Pairs 1 and 2 side by side as the lanes (pair 1, pair 2): decays 0.975 and 0.95.
    const FloatPair odd12 = {pair[1][1], pair[2][1]}, even12 = {pair[1][0], pair[2][0]};
    const FloatPair decay12 = {0.975f, 0.95f};
    const FloatPair evenLines12 = (odd12 * h + even12) * g * decay12 + in; // A2, A4
    const FloatPair oddLines12 = odd12 * g * decay12 + even12;             // A3, A5
    a[0][wr] = a0;
    a[1][wr] = a1;
    a[2][wr] = evenLines12[0];
    a[3][wr] = oddLines12[0];
    a[4][wr] = evenLines12[1];
    a[5][wr] = oddLines12[1];
    // Output taps as the lanes (left, right), then two allpasses on each side.
    const float a3 = oddLines12[0], a5 = oddLines12[1];
    const FloatPair taps = {readA(3, 1) + a1 + a5, readA(1, 1) + a3 + a5};
    const FloatPair diffused = allpass(c, FloatPair{readC(0), readC(1)}, taps);
    const FloatPair out = allpass(c + 2, FloatPair{readC(2), readC(3)}, diffused);
    const FloatPair bandPassed = tone(out);
    const FloatPair dry = loadPair(w);
    storePair(w, dry + (0.1625f * bandPassed - dry) * rvbAmt);
}

TESSEL_PER_SAMPLE void Reverb::Voice::processPlate(float w[2], float rvbAmt) noexcept {
    const float g = rvbG, m = rvbDampCoef;
    const float e = 0.7f * rvbH;
    const float comb = 0.7f * g;
    float* b[6];
    float* c[4];
    for (int k = 0; k < 6; ++k) b[k] = line(kLineB + k);
    for (int k = 0; k < 4; ++k) c[k] = line(kLineC + k);
    const int wr = rvbWrite, mask = rvbMask;
    auto at = [&](int line, int trail)
                  TESSEL_PER_SAMPLE_LAMBDA { return b[line][(wr - trail) & mask]; };
    auto readC = [&](int k) TESSEL_PER_SAMPLE_LAMBDA { return c[k][(wr - rvbTrailC[k]) & mask]; };
    const float rL = w[0], rR = w[1];

    // Four diffusers in series, alternating in sign.
    const float x = rR + rL;
    const float t1 = readC(0) - e * x;
    const float c0 = e * t1 + x;
    const float t2 = readC(1) + e * t1;
    const float c1 = t1 - e * t2;
    const float t3 = readC(2) - e * t2;
    const float c2 = e * t3 + t2;
    const float t4 = readC(3) + e * t3;
    const float c3 = t3 - e * t4;
    c[0][wr] = c0;
    c[1][wr] = c1;
    c[2][wr] = c2;
    c[3][wr] = c3;
    // Six damped combs fed by the diffused signal, two at a time as the lanes (even comb,
    // odd comb); feedback alternating in sign: an even comb adds comb * t4 to its damped
    // output and subtracts comb * that from t4, an odd one the other way round.
    const FloatPair sign = {1.0f, -1.0f};
    const FloatPair fed = comb * t4 * sign;
    for (int k = 0; k < 6; k += 2) {
        FloatPair damped = loadPair(rvbLp + k);
        damped += (FloatPair{at(k, rvbTrailB[k]), at(k + 1, rvbTrailB[k + 1])} - damped) * m;
        storePair(rvbLp + k, damped);
        const FloatPair inner = damped + fed;
        const FloatPair written = t4 - comb * inner * sign;
        b[k][wr] = written[0];
        b[k + 1][wr] = written[1];
    }
    // Output taps as the lanes (left, right), from the comb memories at the diffusers' read
    // indices and at the write index.
    const FloatPair taps = {at(3, rvbTrailC[2]) + at(0, rvbTrailC[0]) + b[4][wr],
                            at(2, rvbTrailC[3]) + at(1, rvbTrailC[1]) + b[5][wr]};
    const FloatPair bandPassed = tone(taps);
    const FloatPair dry = loadPair(w);
    storePair(w, dry + (0.3f * bandPassed - dry) * rvbAmt);
}
