// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/AntiAliasFilter.h"

#include "engine/StretchMath.h"

#include <algorithm>
#include <cmath>

void AntiAliasFilter::design(float dspRate) noexcept {
    double rate = dspRate;
    if (!(rate >= 1.0)) rate = 44100.0; // no meaningful design without a rate
    const double fc = std::min(kDesignHz, kMaxShareOfRate * rate);
    constexpr double kPi = 3.141592653589793;
    const double k = 1.0 / std::tan(kPi * fc / rate);
    const double root2k = std::sqrt(2.0) * k;
    const double d = k * k + root2k + 1.0;
    aaB0 = static_cast<float>(1.0 / d);
    aaB1 = static_cast<float>(2.0 / d);
    aaB2 = static_cast<float>(1.0 / d);
    aaA1 = static_cast<float>(2.0 * (1.0 - k * k) / d);
    aaA2 = static_cast<float>((k * k - root2k + 1.0) / d);
}

void AntiAliasFilter::reset() noexcept {
    for (auto& stage : aaState)
        for (auto& state : stage) state[0] = state[1] = 0.0f;
}

void AntiAliasFilter::preset(const float a[2]) noexcept {
    // Left and right alternate through the states: four at a time.
    const stretchmath::Quad pair = {a[0], a[1], a[0], a[1]};
    float* states = &aaState[0][0][0];
    for (int i = 0; i < 16; i += 4) stretchmath::storeQuad(states + i, pair);
}
