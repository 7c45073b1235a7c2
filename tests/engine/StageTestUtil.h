// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers shared by the stage tests.
#pragma once

#include <cmath>
#include <random>

namespace stagetest {

// Zero or a normal float: neither denormal nor infinite nor NaN.
inline bool zeroOrNormal(float x) {
    return x == 0.0f || std::fpclassify(x) == FP_NORMAL;
}

// Seeded white noise in [-amplitude, amplitude].
class Noise {
public:
    explicit Noise(unsigned seed, float amplitude = 1.0f)
        : rng(seed), dist(-amplitude, amplitude) {}
    float operator()() { return dist(rng); }

private:
    std::mt19937 rng;
    std::uniform_real_distribution<float> dist;
};

constexpr float kRates[] = {4096.0f, 22050.0f, 44100.0f, 96000.0f, 192000.0f, 200000.0f};

} // namespace stagetest
