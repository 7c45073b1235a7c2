// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Reverb.h"

#include <cstring>
#include <iterator>

#include "engine/FastMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

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

// Zeroes the count positions of a ring of mask + 1 floats from position from on, wrapping.
void zeroRing(float* line, int mask, int from, int count) {
    from &= mask;
    const int first = std::min(count, mask + 1 - from);
    std::fill_n(line + from, first, 0.0f);
    std::fill_n(line, count - first, 0.0f);
}

// Zeroes the positions of the ring interval [from, from + count) that lie outside the ring
// interval [keep, keep + keepCount), keepCount less than the ring.
void zeroOutside(float* line, int mask, int from, int count, int keep, int keepCount) {
    // The complement of the kept interval, intersected run by run with [from, from + count).
    const int size = mask + 1;
    const int other = (keep + keepCount) & mask;
    const int otherCount = size - keepCount;
    auto runs = [size, mask](int start, int n, int out[2][2]) {
        start &= mask;
        const int first = std::min(n, size - start);
        out[0][0] = start;
        out[0][1] = start + first;
        out[1][0] = 0;
        out[1][1] = n - first;
    };
    int a[2][2], b[2][2];
    runs(from, count, a);
    runs(other, otherCount, b);
    for (const auto& x : a)
        for (const auto& y : b) {
            const int lo = std::max(x[0], y[0]), hi = std::min(x[1], y[1]);
            if (lo < hi) std::fill(line + lo, line + hi, 0.0f);
        }
}

} // namespace

int Reverb::maskForRate(float dspRate) noexcept {
    if (dspRate < 50000.0f) return 32767;
    if (dspRate < 100000.0f) return 65535;
    if (dspRate <= 200000.0f) return 131071;
    return 262143;
}

std::vector<float> Reverb::poolFor(float dspRate) {
    const std::size_t stride = static_cast<std::size_t>(maskForRate(dspRate)) + 1 + kStagger;
    return std::vector<float>(stride * kLines, 0.0f);
}

void Reverb::allocate(float dspRate, std::vector<float>& zeroed) {
    rvbMask = maskForRate(dspRate);
    lineStride = static_cast<std::size_t>(rvbMask) + 1 + kStagger;
    if (zeroed.size() == lineStride * kLines)
        pool.swap(zeroed);
    else
        pool.assign(lineStride * kLines, 0.0f);
    for (float& v : rvbLp) v = 0.0f;
    for (auto& side : toneState)
        for (float& v : side) v = 0.0f;
    // Fresh memory is cleared through and through.
    for (CleanInterval& c : clean) c = {0, rvbMask + 1, samplesRun, true};
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
    // What each line holds in the right state, up to the write index before it moves.
    const int size = rvbMask + 1;
    int cleanStart[kLines], cleanLen[kLines];
    for (int k = 0; k < kLines; ++k) {
        cleanStart[k] = clean[k].start;
        cleanLen[k] = cleanLength(k);
    }

    rvbType = type == kPlate ? kPlate : kSpring;
    const double rate = dspRate;
    rvbWrite = rvbMask;
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

    // The taps now read behind the new write index: what they reach that still counts as
    // cleared but was never zeroed is zeroed now. A line the type does not write keeps its
    // interval as it is until a type that writes it returns.
    if (!pool.empty()) {
        for (int k = 0; k < kLines; ++k) {
            if (!typeWrites(k)) {
                clean[k] = {cleanStart[k], cleanLen[k], samplesRun, false};
                continue;
            }
            if (cleanLen[k] >= size) {
                clean[k] = {0, size, samplesRun, true};
                continue;
            }
            const int reach = farthestTap(k);
            zeroOutside(line(k), rvbMask, rvbWrite - reach, reach, cleanStart[k], cleanLen[k]);
            clean[k] = {(rvbWrite - reach) & rvbMask, reach, samplesRun, true};
        }
    }
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
    for (float& v : rvbLp) v = 0.0f;
    for (auto& side : toneState)
        for (float& v : side) v = 0.0f;
    if (pool.empty()) return;
    // Each line is zeroed as far behind the write index as a tap reaches; the writer passes
    // over the rest before any tap gets there.
    for (int k = 0; k < kLines; ++k) {
        if (!typeWrites(k)) {
            clean[k] = {rvbWrite, 0, samplesRun, false};
            continue;
        }
        const int reach = farthestTap(k);
        zeroRing(line(k), rvbMask, rvbWrite - reach, reach);
        clean[k] = {(rvbWrite - reach) & rvbMask, reach, samplesRun, true};
    }
}

int Reverb::farthestTap(int k) const noexcept {
    if (k >= kLineC) return rvbTrailC[k - kLineC];
    if (rvbType == kPlate) {
        if (k < kLineB) return 0;
        // The output taps read combs 0 to 3 at the diffusers' distances too.
        constexpr int kTapOf[6] = {0, 1, 3, 2, -1, -1};
        const int b = k - kLineB;
        const int tap = kTapOf[b] >= 0 ? rvbTrailC[kTapOf[b]] : 0;
        return std::max(rvbTrailB[b], tap);
    }
    if (k >= kLineB) return rvbTrailB[k - kLineB];
    // Lines A1 and A3 are also read at A1's distance for the output taps.
    return k == 1 || k == 3 ? std::max(rvbTrailA[k], rvbTrailA[1]) : rvbTrailA[k];
}

int Reverb::cleanLength(int k) const noexcept {
    const CleanInterval& c = clean[k];
    const int size = rvbMask + 1;
    if (!c.growing) return c.length;
    const std::int64_t grown = c.length + (samplesRun - c.mark);
    return grown >= size ? size : static_cast<int>(grown);
}

Reverb::Voice Reverb::voice() const noexcept {
    Voice v;
    for (int k = 0; k < kLines; ++k)
        v.lines[k] = pool.empty() ? nullptr : const_cast<float*>(line(k));
    v.rvbMask = rvbMask;
    v.rvbType = rvbType;
    v.rvbWrite = rvbWrite;
    std::copy(std::begin(rvbTrailA), std::end(rvbTrailA), v.rvbTrailA);
    std::copy(std::begin(rvbTrailB), std::end(rvbTrailB), v.rvbTrailB);
    std::copy(std::begin(rvbTrailC), std::end(rvbTrailC), v.rvbTrailC);
    v.rvbG = rvbG;
    v.rvbH = rvbH;
    v.rvbDampCoef = rvbDampCoef;
    std::copy(std::begin(rvbLp), std::end(rvbLp), v.rvbLp);
    v.toneB0 = toneB0;
    v.toneB2 = toneB2;
    v.toneA1 = toneA1;
    v.toneA2 = toneA2;
    std::memcpy(v.toneState, toneState, sizeof toneState);
    return v;
}

void Reverb::take(const Voice& v, int samples) noexcept {
    if (pool.empty()) return;
    rvbWrite = v.rvbWrite;
    std::copy(std::begin(v.rvbLp), std::end(v.rvbLp), rvbLp);
    std::memcpy(toneState, v.toneState, sizeof toneState);
    samplesRun += samples;
}
