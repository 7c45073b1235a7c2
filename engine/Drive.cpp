// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Drive.h"

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
