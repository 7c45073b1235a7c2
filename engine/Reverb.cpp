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
