#include "engine/Reverb.h"

#include "engine/FastMath.h"

#include <algorithm>
#include <cmath>

namespace {

// Tap constants in units of rvbScale (spring: A0..A5, B0..B5, C0..C3; plate: B0..B5, C0..C3).
constexpr double kSpringA[6] = {32767 * 0.5,
                                32767 * 0.5,
                                39513.06570839413 * 0.5,
                                39513.06570839413 * 0.5,
                                47647.92275589291 * 0.5,
                                47647.92275589291 * 0.5};
constexpr double kSpringB[6] = {515.4478875, 515.4478875, 427.4463375,
                                427.4463375, 389.250225,  389.250225};
constexpr double kSpringC[4] = {2606.01705, 2568.42495, 2129.11335, 2160.07155};
constexpr double kPlateB[6] = {3182331.04 * 0.5,   2662541.5656 * 0.5, 3295698.3066 * 0.5,
                               2506079.1406 * 0.5, 3064032.3399 * 0.5, 2924267.9781 * 0.5};
constexpr double kPlateC[4] = {417287.745 * 0.75, 156341.1871 * 0.75, 304978.8525 * 0.75,
                               117807.1951 * 0.75};

constexpr double kAllpass = 0.7071;

} // namespace

int Reverb::maskForRate(float dspRate) noexcept {
    if (dspRate < 50000.0f) return 32767;
    if (dspRate < 100000.0f) return 65535;
    return 131071;
}

void Reverb::allocate(float dspRate) {
    rvbMask = maskForRate(dspRate);
    for (auto& line : memory) line.assign(static_cast<std::size_t>(rvbMask) + 1, 0.0f);
    for (float& v : rvbLp) v = 0.0f;
    for (auto& side : toneState)
        for (float& v : side) v = 0.0f;
    setType(rvbType, dspRate);
}

int Reverb::tapTrail(double k) const noexcept {
    double index = std::trunc(static_cast<double>(rvbMask) - static_cast<double>(rvbScale) * k);
    // At least one sample behind the write index, never before the memory's start.
    if (!(index <= rvbMask - 1)) index = rvbMask - 1;
    if (index < 0.0) index = 0.0;
    return rvbMask - static_cast<int>(index);
}

void Reverb::setType(int type, float dspRate) noexcept {
    rvbType = type == kPlate ? kPlate : kSpring;
    const double rate = dspRate;
    rvbWriteA = rvbWriteB = rvbMask;
    double w = 0.0, alpha = 0.0;
    if (rvbType == kSpring) {
        rvbScale = static_cast<float>(rate / 303187.5);
        for (int k = 0; k < 6; ++k) rvbTrailA[k] = tapTrail(kSpringA[k]);
        for (int k = 0; k < 6; ++k) rvbTrailB[k] = tapTrail(kSpringB[k]);
        for (int k = 0; k < 4; ++k) rvbTrailC[k] = tapTrail(kSpringC[k]);
        w = 5026.4 / rate; // about 800 Hz
        alpha = std::sin(w) / 0.2;
    } else {
        rvbScale = static_cast<float>(rate * 44.1 * 5.0 / 1445024700.0);
        for (int& trail : rvbTrailA) trail = 1; // unused by the plate
        for (int k = 0; k < 6; ++k) rvbTrailB[k] = tapTrail(kPlateB[k]);
        for (int k = 0; k < 4; ++k) rvbTrailC[k] = tapTrail(kPlateC[k]);
        w = 12566.0 / rate; // about 2000 Hz
        alpha = std::sin(w) / 0.12;
    }
    // Band-pass with 0 dB peak gain; b1 is 0.
    const double norm = 1.0 + alpha;
    toneB0 = static_cast<float>(alpha / norm);
    toneB2 = static_cast<float>(-alpha / norm);
    toneA1 = static_cast<float>(-2.0 * std::cos(w) / norm);
    toneA2 = static_cast<float>((1.0 - alpha) / norm);
    if (!std::isfinite(toneA1) || !std::isfinite(toneB0)) toneB0 = toneB2 = toneA1 = toneA2 = 0.0f;
}

void Reverb::setDamp(float rvbDamp, int type) noexcept {
    double d = rvbDamp;
    if (!(d >= 0.0)) d = 0.0;
    if (d > 1.0) d = 1.0;
    const double g0 = std::pow(0.5, 0.01 * std::pow(100.0, d));
    if (type == kPlate) {
        rvbG = static_cast<float>(g0);
        rvbH = static_cast<float>(std::pow(g0, 0.25));
        rvbDampCoef = static_cast<float>((1.0 - d) * 0.4 + 0.4);
    } else {
        rvbG = static_cast<float>(g0 * std::sqrt(0.56) * 0.7);
        rvbH = static_cast<float>(g0 * std::sqrt(0.56) * 0.3);
        rvbDampCoef = static_cast<float>((1.0 - d) * 0.52 + 0.2);
    }
}

void Reverb::reset() noexcept {
    for (auto& line : memory) std::fill(line.begin(), line.end(), 0.0f);
    for (float& v : rvbLp) v = 0.0f;
    for (auto& side : toneState)
        for (float& v : side) v = 0.0f;
}

float Reverb::tone(int side, float x) noexcept {
    float* z = toneState[side];
    const float y = toneB0 * x + toneB2 * z[1] - toneA1 * z[2] - toneA2 * z[3];
    z[1] = z[0];
    z[0] = x;
    z[3] = z[2];
    z[2] = fastmath::flush(y);
    return y;
}

void Reverb::process(float w[2], float rvbAmt) noexcept {
    // Not yet allocated (or sized for another mask): pass the signal through untouched.
    if (memory[kLineC + 3].size() != static_cast<std::size_t>(rvbMask) + 1) return;
    if (rvbType == kPlate)
        processPlate(w, rvbAmt);
    else
        processSpring(w, rvbAmt);
    rvbWriteA = (rvbWriteA + 1) & rvbMask;
    rvbWriteB = (rvbWriteB + 1) & rvbMask;
}

void Reverb::processSpring(float w[2], float rvbAmt) noexcept {
    const float g = rvbG, h = rvbH, m = rvbDampCoef;
    float* a[6];
    float* b[6];
    float* c[4];
    for (int k = 0; k < 6; ++k) a[k] = memory[kLineA + k].data();
    for (int k = 0; k < 6; ++k) b[k] = memory[kLineB + k].data();
    for (int k = 0; k < 4; ++k) c[k] = memory[kLineC + k].data();
    const int wa = rvbWriteA, wb = rvbWriteB, mask = rvbMask;
    auto readA = [&](int line, int k) { return a[line][(wa - rvbTrailA[k]) & mask]; };
    auto readB = [&](int k) { return b[k][(wb - rvbTrailB[k]) & mask]; };
    auto readC = [&](int k) { return c[k][(wb - rvbTrailC[k]) & mask]; };
    const float rL = w[0], rR = w[1];

    // Tank outputs: the even lines through the damping low-pass, the odd ones plain.
    for (int k = 0; k < 6; k += 2) {
        rvbLp[k] += (readA(k, k) - rvbLp[k]) * m;
        rvbLp[k + 1] = readA(k + 1, k + 1);
    }
    // An allpass of coefficient 0.7071 on each tank line's output.
    float u[6];
    for (int k = 0; k < 6; ++k) {
        u[k] = static_cast<float>(readB(k) - kAllpass * rvbLp[k]);
        b[k][wb] = static_cast<float>(kAllpass * u[k] + rvbLp[k]);
    }
    // Cross-coupled pairs, each a little shorter-lived than the one before; mono input.
    const float sum = rR + rL;
    const float a0 = (u[1] * h + u[0]) * g + sum;
    const float a1 = u[1] * g + u[0];
    const float a2 = static_cast<float>(static_cast<double>((u[3] * h + u[2]) * g) * 0.975 + sum);
    const float a3 = static_cast<float>(static_cast<double>(u[3] * g) * 0.975 + u[2]);
    const float a4 = static_cast<float>(static_cast<double>((u[5] * h + u[4]) * g) * 0.95 + sum);
    const float a5 = static_cast<float>(static_cast<double>(u[5] * g) * 0.95 + u[4]);
    a[0][wa] = a0;
    a[1][wa] = a1;
    a[2][wa] = a2;
    a[3][wa] = a3;
    a[4][wa] = a4;
    a[5][wa] = a5;
    // Output taps, then two allpasses per side.
    const float p[2] = {readA(3, 1) + a1 + a5, readA(1, 1) + a3 + a5};
    for (int s = 0; s < 2; ++s) {
        const float v = static_cast<float>(readC(s) - kAllpass * p[s]);
        c[s][wb] = static_cast<float>(kAllpass * v + p[s]);
        const float z = static_cast<float>(readC(s + 2) - kAllpass * v);
        c[s + 2][wb] = static_cast<float>(kAllpass * z + v);
        const float bandPassed = tone(s, z);
        w[s] = static_cast<float>(w[s] + (0.1625 * bandPassed - w[s]) * rvbAmt);
    }
}

void Reverb::processPlate(float w[2], float rvbAmt) noexcept {
    const float g = rvbG, m = rvbDampCoef;
    const float e = static_cast<float>(0.7 * static_cast<double>(rvbH.load()));
    const double comb = 0.7 * static_cast<double>(g);
    float* b[6];
    float* c[4];
    for (int k = 0; k < 6; ++k) b[k] = memory[kLineB + k].data();
    for (int k = 0; k < 4; ++k) c[k] = memory[kLineC + k].data();
    const int wb = rvbWriteB, mask = rvbMask;
    auto at = [&](int line, int trail) { return b[line][(wb - trail) & mask]; };
    auto readC = [&](int k) { return c[k][(wb - rvbTrailC[k]) & mask]; };
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
    // Six damped combs fed by the diffused signal, feedback alternating in sign.
    for (int k = 0; k < 6; ++k) {
        rvbLp[k] += (at(k, rvbTrailB[k]) - rvbLp[k]) * m;
        if (k % 2 == 0) {
            const float inner = static_cast<float>(comb * t4 + rvbLp[k]);
            b[k][wb] = static_cast<float>(t4 - comb * inner);
        } else {
            const float inner = static_cast<float>(rvbLp[k] - comb * t4);
            b[k][wb] = static_cast<float>(t4 + comb * inner);
        }
    }
    // Output taps from the comb memories at the diffusers' read indices and the write index.
    const float p[2] = {at(3, rvbTrailC[2]) + at(0, rvbTrailC[0]) + b[4][wb],
                        at(2, rvbTrailC[3]) + at(1, rvbTrailC[1]) + b[5][wb]};
    for (int s = 0; s < 2; ++s) {
        const float bandPassed = tone(s, p[s]);
        w[s] = static_cast<float>(w[s] + (0.3 * bandPassed - w[s]) * rvbAmt);
    }
}
