// Spring and plate reverb sharing sixteen delay memories, ending in a band-pass tone filter
// and a crossfade between the reverb input and the filtered reverb.
//
// Spring: a mono input feeds three cross-coupled pairs of tank lines (A), each line read
// through a damping low-pass (even lines) and an allpass (B); two allpasses per side (C)
// diffuse the output taps. Plate: four series allpass diffusers (C) feed six damped combs
// (B) whose feedback alternates in sign; the output is tapped from the comb memories.
#pragma once

#include "engine/FastMath.h"
#include "engine/PerSample.h"
#include "engine/Relaxed.h"
#include "engine/SidePair.h"

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
    inline void process(float w[2], float rvbAmt) noexcept;

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
    // x1, x2, y1, y2, each for both sides.
    float toneState[4][2] = {};

private:
    // Coefficient of the spring's allpasses (products with it in double precision).
    static constexpr double kAllpass = 0.7071;

    inline void processSpring(float w[2], float rvbAmt) noexcept;
    inline void processPlate(float w[2], float rvbAmt) noexcept;
    inline FloatPair tone(FloatPair x) noexcept;
    // Distance behind the write index of the read index trunc(rvbMask - rvbScale * k), that
    // is ceil(rvbScale * k) samples, kept inside the memory whatever the rate.
    int tapTrail(double k) const noexcept;
};

TESSEL_PER_SAMPLE FloatPair Reverb::tone(FloatPair x) noexcept {
    const FloatPair y = toneB0 * x + toneB2 * loadPair(toneState[1]) -
                        toneA1 * loadPair(toneState[2]) - toneA2 * loadPair(toneState[3]);
    storePair(toneState[1], loadPair(toneState[0]));
    storePair(toneState[0], x);
    storePair(toneState[3], loadPair(toneState[2]));
    storePair(toneState[2], flushPair(y));
    return y;
}

TESSEL_PER_SAMPLE void Reverb::process(float w[2], float rvbAmt) noexcept {
    // Not yet allocated (or sized for another mask): pass the signal through untouched.
    if (memory[kLineC + 3].size() != static_cast<std::size_t>(rvbMask) + 1) return;
    if (rvbType == kPlate)
        processPlate(w, rvbAmt);
    else
        processSpring(w, rvbAmt);
    rvbWriteA = (rvbWriteA + 1) & rvbMask;
    rvbWriteB = (rvbWriteB + 1) & rvbMask;
}

TESSEL_PER_SAMPLE void Reverb::processSpring(float w[2], float rvbAmt) noexcept {
    const float g = rvbG, h = rvbH, m = rvbDampCoef;
    float* a[6];
    float* b[6];
    float* c[4];
    for (int k = 0; k < 6; ++k) a[k] = memory[kLineA + k].data();
    for (int k = 0; k < 6; ++k) b[k] = memory[kLineB + k].data();
    for (int k = 0; k < 4; ++k) c[k] = memory[kLineC + k].data();
    const int wa = rvbWriteA, wb = rvbWriteB, mask = rvbMask;
    auto readA = [&](int line, int k)
                     TESSEL_PER_SAMPLE_LAMBDA { return a[line][(wa - rvbTrailA[k]) & mask]; };
    auto readB = [&](int k) TESSEL_PER_SAMPLE_LAMBDA { return b[k][(wb - rvbTrailB[k]) & mask]; };
    auto readC = [&](int k) TESSEL_PER_SAMPLE_LAMBDA { return c[k][(wb - rvbTrailC[k]) & mask]; };
    // An allpass of coefficient 0.7071 on two memories at once (products in double):
    // returns x - 0.7071 * in and writes 0.7071 * that + in at the write index.
    auto allpass = [&](float* const line[2], FloatPair x, FloatPair in) TESSEL_PER_SAMPLE_LAMBDA {
        const DoublePair wide = toDouble(in);
        const FloatPair v = toFloat(toDouble(x) - kAllpass * wide);
        const FloatPair written = toFloat(kAllpass * toDouble(v) + wide);
        line[0][wb] = written[0];
        line[1][wb] = written[1];
        return v;
    };
    const float rL = w[0], rR = w[1];

    // Tank outputs two lines at a time, the even line through the damping low-pass and the
    // odd one plain, then an allpass on each.
    FloatPair u[3];
    for (int k = 0; k < 3; ++k) {
        const int even = 2 * k;
        const FloatPair tank = {rvbLp[even] + (readA(even, even) - rvbLp[even]) * m,
                                readA(even + 1, even + 1)};
        storePair(rvbLp + even, tank);
        u[k] = allpass(b + even, FloatPair{readB(even), readB(even + 1)}, tank);
    }
    // Cross-coupled pairs, each a little shorter-lived than the one before; mono input.
    const float sum = rR + rL;
    const float a0 = (u[0][1] * h + u[0][0]) * g + sum;
    const float a1 = u[0][1] * g + u[0][0];
    // The second and third pairs side by side: decays 0.975 and 0.95 in double.
    const FloatPair odd = {u[1][1], u[2][1]}, even = {u[1][0], u[2][0]};
    const DoublePair decay = {0.975, 0.95};
    const FloatPair fed =
        toFloat(toDouble((odd * h + even) * g) * decay + static_cast<double>(sum)); // a2, a4
    const FloatPair crossed = toFloat(toDouble(odd * g) * decay + toDouble(even));  // a3, a5
    a[0][wa] = a0;
    a[1][wa] = a1;
    a[2][wa] = fed[0];
    a[3][wa] = crossed[0];
    a[4][wa] = fed[1];
    a[5][wa] = crossed[1];
    // Output taps, then two allpasses per side (both sides at once).
    const float a5 = crossed[1];
    const FloatPair p = {readA(3, 1) + a1 + a5, readA(1, 1) + crossed[0] + a5};
    const FloatPair v = allpass(c, FloatPair{readC(0), readC(1)}, p);
    const FloatPair z = allpass(c + 2, FloatPair{readC(2), readC(3)}, v);
    const DoublePair bandPassed = toDouble(tone(z));
    const DoublePair dry = toDouble(loadPair(w));
    storePair(w, toFloat(dry + (0.1625 * bandPassed - dry) * static_cast<double>(rvbAmt)));
}

TESSEL_PER_SAMPLE void Reverb::processPlate(float w[2], float rvbAmt) noexcept {
    const float g = rvbG, m = rvbDampCoef;
    const float e = static_cast<float>(0.7 * static_cast<double>(rvbH.load()));
    const double comb = 0.7 * static_cast<double>(g);
    float* b[6];
    float* c[4];
    for (int k = 0; k < 6; ++k) b[k] = memory[kLineB + k].data();
    for (int k = 0; k < 4; ++k) c[k] = memory[kLineC + k].data();
    const int wb = rvbWriteB, mask = rvbMask;
    auto at = [&](int line, int trail)
                  TESSEL_PER_SAMPLE_LAMBDA { return b[line][(wb - trail) & mask]; };
    auto readC = [&](int k) TESSEL_PER_SAMPLE_LAMBDA { return c[k][(wb - rvbTrailC[k]) & mask]; };
    const float rL = w[0], rR = w[1];

    // Four diffusers in series, alternating in sign.
    const float x = rR + rL;
    const float t1 = readC(0) - e * x;
    c[0][wb] = e * t1 + x;
    const float t2 = readC(1) + e * t1;
    c[1][wb] = t1 - e * t2;
    const float t3 = readC(2) - e * t2;
    c[2][wb] = e * t3 + t2;
    const float t4 = readC(3) + e * t3;
    c[3][wb] = t3 - e * t4;
    // Six damped combs fed by the diffused signal, two at a time; feedback alternating in
    // sign: an even comb adds comb * t4 to its damped output and subtracts comb * that from
    // t4, an odd one the other way round (a product times -1 is exact, so each lane computes
    // what its own formula does).
    const DoublePair sign = {1.0, -1.0};
    const DoublePair fed = comb * static_cast<double>(t4) * sign;
    for (int k = 0; k < 6; k += 2) {
        FloatPair lp = loadPair(rvbLp + k);
        lp += (FloatPair{at(k, rvbTrailB[k]), at(k + 1, rvbTrailB[k + 1])} - lp) * m;
        storePair(rvbLp + k, lp);
        const FloatPair inner = toFloat(toDouble(lp) + fed);
        const FloatPair written = toFloat(static_cast<double>(t4) - comb * toDouble(inner) * sign);
        b[k][wb] = written[0];
        b[k + 1][wb] = written[1];
    }
    // Output taps from the comb memories at the diffusers' read indices and the write index.
    const FloatPair p = {at(3, rvbTrailC[2]) + at(0, rvbTrailC[0]) + b[4][wb],
                         at(2, rvbTrailC[3]) + at(1, rvbTrailC[1]) + b[5][wb]};
    const DoublePair bandPassed = toDouble(tone(p));
    const DoublePair dry = toDouble(loadPair(w));
    storePair(w, toFloat(dry + (0.3 * bandPassed - dry) * static_cast<double>(rvbAmt)));
}
