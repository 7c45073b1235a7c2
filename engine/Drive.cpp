// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Drive.h"

#include <cmath>

void Drive::setLength(int n) noexcept {
    // Only the lengths the rings can hold; anything else falls back to the 44.1 kHz length.
    avgLen = (n >= 1 && n <= 16) ? n : 4;
    drivePos = 0;
}

void Drive::reset() noexcept {
    for (auto& ring : driveRing)
        for (float& v : ring) v = 0.0f;
    driveSum[0] = driveSum[1] = 0.0f;
}

void Drive::rebuildSums() noexcept {
    for (int s = 0; s < 2; ++s) {
        float sum = 0.0f;
        for (int i = 0; i < avgLen && i < 16; ++i) sum += driveRing[s][i];
        driveSum[s] = sum;
    }
}

void Drive::fillRings(const float* aL, const float* aR, int n, const float drive[2]) noexcept {
    const int from = n > avgLen ? n - avgLen : 0;
    int pos = drivePos < avgLen ? (drivePos + from) % avgLen : 0;
    for (int i = from; i < n; ++i) {
        driveRing[0][pos & 15] = std::fabs(aL[i]) * drive[i & 1];
        driveRing[1][pos & 15] = std::fabs(aR[i]) * drive[i & 1];
        if (++pos >= avgLen) pos = 0;
    }
    drivePos = pos;
}
