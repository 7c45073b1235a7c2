// SPDX-License-Identifier: GPL-3.0-or-later
// A whole input run through an effect block by block, as a host runs it, and the measures
// the engine tests compare renders by: the largest sample difference and the largest level
// difference of short windows.
#pragma once

#include "support/EffectHost.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace blockrender {

struct Stereo {
    std::vector<float> left, right;
};

// Runs inL and inR (of equal length) through the effect in blocks whose sizes cycle through
// `sizes`. `before` is called with each block's index before it runs, `after` with its
// number of frames after it ran.
inline Stereo render(Drell& drell, const std::vector<float>& inL, const std::vector<float>& inR,
                     std::span<const int> sizes, const std::function<void(int)>& before = {},
                     const std::function<void(int)>& after = {}) {
    std::vector<float> left = inL, right = inR; // the effect takes its input unconst
    Stereo out{std::vector<float>(left.size()), std::vector<float>(left.size())};
    const int frames = static_cast<int>(left.size());
    for (int done = 0, block = 0; done < frames; ++block) {
        if (before) before(block);
        const int n =
            std::min(sizes[static_cast<std::size_t>(block) % sizes.size()], frames - done);
        run(drell, left.data() + done, right.data() + done, n, out.left.data() + done,
            out.right.data() + done);
        if (after) after(n);
        done += n;
    }
    return out;
}

// The largest difference of the samples in [from, to).
inline float largestDifference(std::span<const float> a, std::span<const float> b, std::size_t from,
                               std::size_t to) {
    float d = 0.0f;
    for (std::size_t i = from; i < to; ++i) d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
}

// The largest level difference in dB between a and the reference over the windows of
// `window` samples in [from, to), counting the windows where the reference is above
// -80 dBFS.
inline double largestWindowDb(std::span<const float> a, std::span<const float> reference,
                              std::size_t from, std::size_t to, std::size_t window) {
    double worst = 0.0;
    for (std::size_t start = from; start + window <= to; start += window) {
        double ea = 0.0, er = 0.0;
        for (std::size_t i = start; i < start + window; ++i) {
            ea += static_cast<double>(a[i]) * a[i];
            er += static_cast<double>(reference[i]) * reference[i];
        }
        if (er / static_cast<double>(window) > 1e-8)
            worst = std::max(worst, std::fabs(10.0 * std::log10(ea / er)));
    }
    return worst;
}

} // namespace blockrender
