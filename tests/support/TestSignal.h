// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' one source signal, seeded so renders repeat bit for bit: noise bursts, a falling
// sine, a quieter burst, then silence for the last 60 % so tails play out. Peak about 0.8.
// And the level the tests measure signals by.
#pragma once

#include <cmath>
#include <random>
#include <vector>

namespace testsignal {

inline std::vector<float> burstsAndSweep(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<float> x(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const float white = static_cast<float>(rng() >> 8) * (1.0f / 16777216.0f) - 0.5f;
        const float t = static_cast<float>(i) / static_cast<float>(frames);
        float v = 0.0f;
        if (t < 0.15f)
            v = 1.6f * white;
        else if (t < 0.35f)
            v = 0.8f * std::sin(0.05f * static_cast<float>(i) * (1.0f - t));
        else if (t < 0.40f)
            v = 0.3f * white;
        x[static_cast<std::size_t>(i)] = v;
    }
    return x;
}

// The root mean square of x over [from, to).
inline double rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

} // namespace testsignal
